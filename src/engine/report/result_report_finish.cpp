#include "engine/report/result_report_finish.h"

#include "core/file_writes.h"
#include "core/program_dir.h"
#include "core/strings.h"
#include "core/text_codec.h"
#include "engine/report/result_report.h"
#include "engine/report/result_report_lines.h"
#include "scenario/batch_failure.h"
#include "scenario/user_messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrl>

namespace zev7 {

namespace {

constexpr int kExtensionCut = 5;  // ".html"
constexpr char kReportExtension[] = ".html";
// Characters a bitmap name may keep as they are inside the report's image reference; every
// other one is written %-escaped so that the browser finds the file by exactly its name.
constexpr char kPlainNameChars[] = " !$&'()+,;=@[]^{}";

struct BitmapMove {
    QString from;
    QString to;
};

QString resultFolder() {
    return programPath(QStringLiteral("Result"));
}

bool sameFile(const QString& a, const QString& b) {
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    if (fa.exists() && fb.exists()) {
        return fa == fb;
    }
    return QDir::cleanPath(fa.absoluteFilePath()) == QDir::cleanPath(fb.absoluteFilePath());
}

void reportSaveFailure(UserMessages& messages, int port, const QString& finalPath,
                       const QString& error) {
    messages.error(txt(str::ReportCannotSave)
                       .arg(port)
                       .arg(QDir::toNativeSeparators(finalPath) + ": " + error));
    endBatchOnError(messages);
}

QByteArray referenceName(const QString& fileName) {
    return QUrl::toPercentEncoding(fileName, QByteArray(kPlainNameChars));
}

void moveBitmaps(const QList<BitmapMove>& moves) {
    for (const BitmapMove& m : moves) {
        if (sameFile(m.from, m.to) || !QFile::exists(m.from)) {
            continue;
        }
        QFile::remove(m.to);
        QFile::rename(m.from, m.to);
    }
}

}  // namespace

ReportSaveDialog reportSaveDialog(int port) {
    ReportSaveDialog d;
    d.title = txt(str::ReportSaveTitle) + QStringLiteral(" -") + txt(str::ProtocolPort) +
              QLatin1Char(':') + QString::number(port);
    d.directory = resultFolder();
    d.filters = {txt(str::ReportFilesFilter) + QStringLiteral(" (*.html)"),
                 txt(str::AllFilesFilter) + QStringLiteral(" (*.*)")};
    d.fileName = QStringLiteral("Result_Port_%1").arg(port);
    return d;
}

QString defaultReportName(int port) {
    return QStringLiteral("Result_Port_%1").arg(port) + QLatin1String(kReportExtension);
}

QString bitmapBaseName(const QString& finalPath) {
    QString name = QFileInfo(finalPath).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        name.remove(dot, kExtensionCut);
    }
    return name;
}

bool copyReportWithBitmaps(const QString& workingPath, const QString& finalPath, QString* error) {
    QFile in(workingPath);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = in.errorString();
        return false;
    }
    QSaveFile out(finalPath);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = out.errorString();
        return false;
    }
    static const QRegularExpression kReference(
        QStringLiteral("ResultComPort\\d+(_Graphic\\d+\\.bmp)"));
    const QString base = bitmapBaseName(finalPath);
    const QDir fromDir = QFileInfo(workingPath).absoluteDir();
    const QDir toDir = QFileInfo(finalPath).absoluteDir();
    QList<BitmapMove> moves;
    while (!in.atEnd()) {
        QByteArray line = in.readLine();
        if (line.isEmpty() && in.error() != QFileDevice::NoError) {
            *error = in.errorString();
            out.cancelWriting();
            return false;
        }
        // The reference is plain ASCII, so the line can be searched byte for byte.
        const QRegularExpressionMatch m = kReference.match(QString::fromLatin1(line));
        if (m.hasMatch()) {
            const QString oldName = m.captured(0);
            const QString newName = base + m.captured(1);
            moves.append({fromDir.filePath(oldName), toDir.filePath(newName)});
            line.replace(m.capturedStart(0), m.capturedLength(0), referenceName(newName));
        }
        if (out.write(line) != line.size()) {
            *error = out.errorString();
            out.cancelWriting();
            return false;
        }
    }
    if (const QString failure = commitSaveFile(out); !failure.isEmpty()) {
        *error = failure;
        return false;
    }
    in.close();
    moveBitmaps(moves);
    QFile::remove(workingPath);
    return true;
}

std::optional<QString> FinishResultReport(int port, UserMessages& messages,
                                          const AskReportSavePath& askPath) {
    const QString working = workingReportPath(port);
    if (!QFile::exists(working)) {
        messages.error(txt(str::ReportCannotOpen).arg(port));
        return std::nullopt;
    }
    const ReportSaveDialog dialog = reportSaveDialog(port);
    bool closed = false;
    for (;;) {
        const std::optional<QString> chosen = askPath ? askPath(dialog) : std::nullopt;
        if (!chosen || chosen->isEmpty()) {
            return std::nullopt;
        }
        QString path = QDir(dialog.directory).absoluteFilePath(*chosen);
        if (!QFileInfo(path).fileName().contains(QLatin1Char('.'))) {
            path += QLatin1String(kReportExtension);
        }
        // Saved under its own name the working report is finished where it is: there is
        // nothing to copy, and overwriting it would delete what is about to be kept.
        const bool inPlace = sameFile(path, working);
        if (!inPlace && QFileInfo::exists(path) &&
            !messages.askYesNo(txt(str::ScenarioExistsName) + QStringLiteral(" '") +
                               QDir::toNativeSeparators(path) + QStringLiteral("' ") +
                               txt(str::ScenarioExistsOverwrite))) {
            continue;
        }
        if (!closed) {
            if (!appendToWorkingReport(port, reportClosingLines(), messages)) {
                return std::nullopt;
            }
            closed = true;
        }
        if (inPlace) {
            return working;
        }
        QString error;
        if (copyReportWithBitmaps(working, path, &error)) {
            return path;
        }
        // Nothing was lost: the working report is still there; the user chooses another name.
        reportSaveFailure(messages, port, path, error);
    }
}

QString batchReportPath(int port, const QString& reportName) {
    const QString name = reportName.trimmed().isEmpty() ? defaultReportName(port) : reportName;
    return programPath(QStringLiteral("Result\\") + name);
}

std::optional<QString> FinishBatchResultReport(int port, UserMessages& messages,
                                               const QString& reportName) {
    const QString working = workingReportPath(port);
    const QString path = batchReportPath(port, reportName);
    if (!QFile::exists(working)) {
        messages.error(txt(str::ReportCannotOpen).arg(port));
        endBatchOnError(messages);
        return std::nullopt;
    }
    if (sameFile(path, working)) {
        return working;
    }
    QString error;
    if (!copyReportWithBitmaps(working, path, &error)) {
        reportSaveFailure(messages, port, path, error);
        return std::nullopt;
    }
    return path;
}

}  // namespace zev7
