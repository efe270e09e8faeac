#include "engine/report/result_report.h"

#include "core/named_mutex.h"
#include "core/program_dir.h"
#include "core/strings.h"
#include "core/text_codec.h"
#include "engine/report/graph_bitmaps.h"
#include "engine/report/result_report_file.h"
#include "engine/report/result_report_lines.h"
#include "scenario/batch_failure.h"
#include "scenario/user_messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace zev7 {

namespace {

void reportError(UserMessages& messages, const QString& text) {
    messages.error(text);
    endBatchOnError(messages);
}

}  // namespace

QString workingReportPath(int port) {
    return programPath(QStringLiteral("Result\\ResultComPort%1.html").arg(port));
}

bool appendToWorkingReport(int port, const QStringList& lines, UserMessages& messages) {
    const QString path = workingReportPath(port);
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Unbuffered: the section goes to the system here, where a failed write can still be
    // taken back.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        reportError(messages, txt(str::ReportCannotOpen).arg(port));
        return false;
    }
    if (!lockReportFile(file)) {
        file.close();
        reportError(messages, txt(str::ReportCannotOpen).arg(port));
        return false;
    }
    // The section goes in whole or not at all: a write cut short by a full disk is taken back,
    // so the report keeps its last whole section and the next section can follow it.
    const qint64 before = file.size();
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += toCp1251(line) + '\n';
    }
    const bool allWritten = file.write(bytes) == bytes.size() && syncReportFile(file);
    if (!allWritten) {
        file.resize(before);
        reportError(messages, txt(str::ReportCannotWriteFile).arg(path, file.errorString()));
    }
    unlockReportFile(file);
    file.close();
    return allWritten;
}

void removeOldResultFiles(int port) {
    QFile::remove(workingReportPath(port));
    removeOldGraphBitmaps(port);
}

ResultReport::ResultReport(int port, UserMessages& messages, NamedMutex* reportMutex,
                           const Clock& clock, GraphBitmapSource* graphs)
    : port_(port), messages_(messages), mutex_(reportMutex), clock_(clock), graphs_(graphs) {}

bool ResultReport::writeSection(const DatabaseStep& databaseStep,
                                const std::function<QStringList()>& lines) {
    // A port whose partner hangs inside the mutex goes on without it after the wait.
    std::optional<NamedMutexLocker> lock;
    if (mutex_ != nullptr) {
        lock.emplace(*mutex_, clock_);
    }
    if (databaseStep) {
        databaseStep();
    }
    return appendToWorkingReport(port_, lines(), messages_);
}

bool ResultReport::writeHead(const ScenarHeader& header, const DatabaseStep& databaseStep) {
    return writeSection(databaseStep, [&] { return reportHeadLines(header); });
}

bool ResultReport::writeCycleHead(int cycleNumber, double cycleStartOle, const CycleRecord& cycle,
                                  const DatabaseStep& databaseStep) {
    return writeSection(databaseStep,
                        [&] { return cycleHeadLines(cycleNumber, cycleStartOle, cycle); });
}

bool ResultReport::writeCallTableHead(const DatabaseStep& databaseStep) {
    return writeSection(databaseStep, [] { return callTableHeadLines(); });
}

bool ResultReport::writeCallRow(const CallRowTexts& cells, const DatabaseStep& databaseStep) {
    return writeSection(databaseStep, [&] { return QStringList{callRowLine(cells)}; });
}

bool ResultReport::writeCycleEnd(const ResultGrid& grid, const DatabaseStep& databaseStep,
                                 const QString& confidenceLine) {
    // The pictures come from the windows on the UI thread: taken before the report mutex, so
    // that a busy window never holds up another port's report.
    const QStringList pictures = SaveGraphBitmaps(port_, graphs_);
    return writeSection(databaseStep, [&] {
        QStringList lines = cycleResultLines(grid, confidenceLine);
        lines << pictures;
        return lines;
    });
}

}  // namespace zev7
