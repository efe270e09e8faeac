#include "core/process_signals.h"

#include "core/program_dir.h"
#include "core/strings.h"

#include <QDateTime>
#include <QFile>

namespace zev7 {

namespace {
// Enough of the report to find the mark of an earlier start; a report is far smaller.
constexpr qint64 kReportReadLimit = 1024 * 1024;
}  // namespace

QString faultReportPath() {
    return programPath(QString::fromLatin1(kFaultReportFileName));
}

QString takeUnmentionedFaultReport() {
    const QString path = faultReportPath();
    const QByteArray mark = QByteArray(str::FaultReportMentioned);
    {
        QFile report(path);
        if (!report.open(QIODevice::ReadOnly) || report.read(kReportReadLimit).contains(mark)) {
            return {};
        }
    }
    // The report stays as evidence; a line says that it has been mentioned.
    QFile report(path);
    if (report.open(QIODevice::WriteOnly | QIODevice::Append)) {
        const QString now =
            QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
        report.write("\n" + mark + now.toUtf8() + "\n");
    }
    return path;
}

}  // namespace zev7
