#include "db_commands.h"

#include "core/strings.h"
#include "db/db_check.h"
#include "db/db_connection.h"
#include "db/db_maintenance.h"
#include "db/db_schema.h"
#include "dbquery/period_text.h"
#include "dbtransfer/result_export.h"
#include "dbtransfer/result_import.h"
#include "scenario/user_messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>

namespace zev7 {

namespace {

// The file with its log: what the disk really holds.
qint64 databaseBytes() {
    qint64 bytes = 0;
    for (const char* suffix : {"", "-wal"}) {
        bytes += QFileInfo(DbConnection::filePath() + QLatin1String(suffix)).size();
    }
    return bytes;
}

int compact(const DbCommandIo& io) {
    const qint64 before = databaseBytes();
    CompactionCallbacks callbacks;
    callbacks.progress = [&](int gauge, const QString& label) {
        // The last label is the result, printed below.
        if (label.endsWith(txt(str::CompactTableSuffix))) {
            io.progress(txt(str::DbToolProgress).arg(gauge, 3).arg(label));
        }
    };
    callbacks.interrupted = io.interrupted;
    const CompactionResult result = compactDatabase(callbacks);
    bool allPacked = true;
    for (qsizetype i = 0; i < result.tables.size(); ++i) {
        if (result.codes[i] != 0) {
            allPacked = false;
            io.result(txt(str::DbToolPackFailed).arg(result.tables[i]).arg(result.codes[i]));
        }
    }
    io.result(result.finalLabel);
    io.result(txt(str::DbToolSize).arg(before).arg(databaseBytes()));
    return allPacked && !result.interrupted ? kDbExitOk : kDbExitRefused;
}

// The database windows' working tables hold only their last selection.
int clearWorkingTables(const DbCommandIo& io) {
    bool allCleared = true;
    for (const char* table : {table::TempCycle, table::TempResSeans, table::TempResCycle}) {
        const QString name = QString::fromLatin1(table);
        const int code = ClearTable(name);
        allCleared = allCleared && code == 0;
        io.result(code == 0 ? txt(str::DbToolCleared).arg(name)
                            : txt(str::DbToolClearFailed).arg(name).arg(code));
    }
    return allCleared ? kDbExitOk : kDbExitRefused;
}

int check(const DbCommandIo& io) {
    const QStringList problems =
        checkDatabase(DbConnection::main(), [&](int step, int steps, const QString& label) {
            io.progress(txt(str::DbToolStep).arg(step).arg(steps).arg(label));
        });
    for (const QString& p : problems) {
        io.result(p);
    }
    io.result(problems.isEmpty() ? txt(str::DbToolCheckOk)
                                 : txt(str::DbToolCheckProblems).arg(problems.size()));
    return problems.isEmpty() ? kDbExitOk : kDbExitRefused;
}

int stats(UserMessages& messages, const DbCommandIo& io) {
    DbContents c;
    if (!readDatabaseContents(DbConnection::main(), c)) {
        messages.error(txt(str::DbToolCannotRead).arg(DbConnection::main().lastError().text()));
        return kDbExitRefused;
    }
    const QString dateFormat = QStringLiteral("dd.MM.yyyy");
    const QString days = c.firstDay.isValid() ? txt(str::DbToolStatsDays)
                                                    .arg(c.firstDay.toString(dateFormat),
                                                         c.lastDay.toString(dateFormat))
                                              : txt(str::DbToolStatsNoDays);
    io.result(txt(str::DbToolStats)
                  .arg(c.cycles)
                  .arg(c.calls)
                  .arg(c.outgoingNumbers)
                  .arg(c.incomingNumbers)
                  .arg(days));
    return kDbExitOk;
}

// The import of the window "Ввод результатов", its checks and messages, its progress as lines.
int import(const QString& source, UserMessages& messages, const DbCommandIo& io) {
    if (!QFileInfo(source).isDir()) {
        messages.error(txt(str::DbToolNoSource).arg(QDir::toNativeSeparators(source)));
        return kDbExitRefused;
    }
    if (isOwnDatabaseDirectory(source)) {
        io.result(txt(str::DbToolImportOwn));
        return kDbExitRefused;
    }
    constexpr int kStep = 10;
    QString lastStage;
    int lastGauge = -kStep;
    ImportCallbacks callbacks;
    callbacks.progress = [&](int gauge, const QString& stage) {
        if (stage != lastStage || gauge >= lastGauge + kStep || (gauge == 100 && lastGauge < 100)) {
            lastStage = stage;
            lastGauge = gauge;
            io.progress(txt(str::DbToolProgress).arg(gauge, 3).arg(stage));
        }
    };
    callbacks.interrupted = io.interrupted;
    const ImportResult r = ResultImporter(DbConnection::main()).run(source, callbacks);
    if (r.outcome == ImportOutcome::Refused) {
        messages.show(MessageIcon::Warning, txt(str::CaptionError), r.message);
        return kDbExitRefused;
    }
    if (r.outcome == ImportOutcome::Failed) {
        messages.error(txt(str::ImportCannotWrite).arg(r.error));
    }
    if (r.interrupted) {
        io.result(txt(str::ImportInterrupted));
    }
    io.result(txt(str::ImportSummary).arg(r.sourceCycles).arg(r.imported).arg(r.present));
    if (r.failed > 0) {
        messages.warning(txt(str::ImportSomeFailed).arg(r.failed).arg(r.error));
    }
    return r.outcome == ImportOutcome::Done && !r.interrupted && r.failed == 0 ? kDbExitOk
                                                                               : kDbExitRefused;
}

// A day of --from or --to; nothing typed is no bound.
bool exportDay(const QString& text, std::optional<QDate>& day, UserMessages& messages) {
    if (text.isEmpty()) {
        return true;
    }
    const QDate d = dateFromText(text.trimmed());
    if (!d.isValid()) {
        messages.error(txt(str::DbToolExportDate).arg(text));
        return false;
    }
    day = d;
    return true;
}

// Rows go out as they are read; a line on the progress every so many.
constexpr qint64 kExportProgressLines = 100000;

int exportResults(const DbExportOptions& o, UserMessages& messages, const DbCommandIo& io) {
    ExportRequest request;
    const QString format = o.format.trimmed().toLower();
    if (format == QLatin1String("csv")) {
        request.format = ExportFormat::Csv;
    } else if (format == QLatin1String("json")) {
        request.format = ExportFormat::JsonLines;
    } else {
        messages.error(txt(str::DbToolExportFormat).arg(o.format));
        return kDbExitUsage;
    }
    if (o.calls && o.cycles) {
        messages.error(txt(str::DbToolExportRows));
        return kDbExitUsage;
    }
    request.rows = o.calls ? ExportRows::Calls : ExportRows::Cycles;
    if (!exportDay(o.from, request.from, messages) || !exportDay(o.to, request.to, messages)) {
        return kDbExitUsage;
    }
    QFile out(o.output);
    const bool opened = o.output.isEmpty() ? out.open(stdout, QIODevice::WriteOnly)
                                           : out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (!opened) {
        messages.error(
            txt(str::DbToolExportOpen).arg(QDir::toNativeSeparators(o.output), out.errorString()));
        return kDbExitRefused;
    }
    ResultExport exporter(DbConnection::main());
    const qint64 total = exporter.countRows(request);
    ExportCallbacks callbacks;
    callbacks.progress = [&](qint64 rows) {
        if (rows % kExportProgressLines == 0 && rows > 0) {
            io.progress(txt(str::DbToolExportProgress).arg(rows).arg(total));
        }
    };
    callbacks.interrupted = io.interrupted;
    const bool done = exporter.run(request, out, callbacks);
    out.close();
    if (exporter.interrupted()) {
        io.result(txt(str::DbToolExportInterrupted));
        return kDbExitRefused;
    }
    if (!done) {
        messages.error(txt(str::DbToolExportFailed).arg(exporter.lastError()));
        return kDbExitRefused;
    }
    io.progress(txt(str::DbToolExportDone).arg(exporter.rowsWritten()));
    return kDbExitOk;
}

}  // namespace

bool isMaintenanceCommand(const QString& command) {
    return command == QLatin1String("compact") || command == QLatin1String("clear-work") ||
           command == QLatin1String("check") || command == QLatin1String("import");
}

bool dbCommandTakesArgument(const QString& command) {
    return command == QLatin1String("import");
}

bool knownDbCommand(const QString& command) {
    return isMaintenanceCommand(command) || command == QLatin1String("stats") ||
           command == QLatin1String("export");
}

int runDbCommand(const QString& command, UserMessages& messages, const DbCommandIo& io,
                 const QString& argument, const DbExportOptions& exportOptions) {
    const QString path = DbConnection::filePath();
    // Looking must not create a database where there was none; an import may fill a new one.
    if (command != QLatin1String("import") && !QFileInfo(path).isFile()) {
        messages.error(txt(str::DbToolNoDatabase).arg(QDir::toNativeSeparators(path)));
        return kDbExitRefused;
    }
    if (!DbConnection::setup(&messages)) {
        return kDbExitRefused;
    }
    int code = kDbExitUsage;
    if (command == QLatin1String("compact")) {
        code = compact(io);
    } else if (command == QLatin1String("clear-work")) {
        code = clearWorkingTables(io);
    } else if (command == QLatin1String("check")) {
        code = check(io);
    } else if (command == QLatin1String("stats")) {
        code = stats(messages, io);
    } else if (command == QLatin1String("import")) {
        code = import(argument, messages, io);
    } else if (command == QLatin1String("export")) {
        code = exportResults(exportOptions, messages, io);
    }
    DbConnection::shutdown();
    return code;
}

}  // namespace zev7
