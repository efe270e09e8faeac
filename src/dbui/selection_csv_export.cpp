#include "dbui/selection_csv_export.h"

#include "core/program_dir.h"
#include "core/strings.h"
#include "scenario/user_messages.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QProgressDialog>
#include <algorithm>

namespace zev7 {

namespace {

// The progress appears only for an export that takes longer than this.
constexpr int kProgressDelayMs = 500;

}  // namespace

SelectionCsvExport::SelectionCsvExport(QSqlDatabase db, UserMessages& messages)
    : db_(std::move(db)), messages_(messages) {}

std::optional<CsvTarget> SelectionCsvExport::askTarget(QWidget* parent) const {
    if (chooseTarget) {
        return chooseTarget();
    }
    const QString folder = programPath(QStringLiteral("Result"));
    QDir().mkpath(folder);
    const QString cycles = txt(str::CsvExportCyclesFilter);
    const QString calls = txt(str::CsvExportCallsFilter);
    QString chosen = cycles;
    const QString path = QFileDialog::getSaveFileName(
        parent, txt(str::CsvExportCaption), QDir(folder).filePath(txt(str::CsvExportFileName)),
        cycles + QStringLiteral(";;") + calls, &chosen);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return CsvTarget{path, chosen == calls};
}

bool SelectionCsvExport::run(QWidget* parent, const SqlFilter& filter,
                             const QList<int>& excludedCycleIds) {
    const std::optional<CsvTarget> target = askTarget(parent);
    if (!target) {
        return false;
    }
    const QString shownPath = QDir::toNativeSeparators(target->path);
    QFile file(target->path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        messages_.error(txt(str::ExportCannotWrite).arg(shownPath, file.errorString()));
        return false;
    }
    ExportRequest request;
    request.format = ExportFormat::Csv;
    request.rows = target->calls ? ExportRows::Calls : ExportRows::Cycles;
    request.workingSelection = true;
    request.filter = filter;
    request.excludedCycleIds = excludedCycleIds;

    ResultExport exporter(db_);
    const qint64 total = exporter.countRows(request);
    QProgressDialog progress(txt(str::CsvExportProgress), txt(str::CsvExportCancel), 0,
                             static_cast<int>(std::max<qint64>(total, 0)), parent);
    progress.setWindowTitle(txt(str::CsvExportCaption));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelayMs);
    ExportCallbacks callbacks;
    callbacks.progress = [&](qint64 rows) { progress.setValue(static_cast<int>(rows)); };
    callbacks.interrupted = [&] { return progress.wasCanceled(); };
    const bool done = exporter.run(request, file, callbacks);
    progress.reset();
    file.close();
    if (exporter.interrupted()) {
        messages_.warning(txt(str::CsvExportStopped).arg(shownPath));
        return false;
    }
    if (!done) {
        messages_.error(txt(str::ExportCannotWrite).arg(shownPath, exporter.lastError()));
        return false;
    }
    messages_.show(MessageIcon::Information, txt(str::CsvExportCaption),
                   txt(str::CsvExportSaved).arg(exporter.rowsWritten()).arg(shownPath));
    return true;
}

}  // namespace zev7
