#include "db_commands.h"

#include "core/strings.h"
#include "db/db_check.h"
#include "db/db_connection.h"
#include "db/db_location.h"
#include "db/db_maintenance.h"
#include "db/db_schema.h"
#include "db/server_spool.h"
#include "dbquery/period_text.h"
#include "dbtransfer/import_source.h"
#include "dbtransfer/result_export.h"
#include "dbtransfer/result_import.h"
#include "dbtransfer/server_source.h"
#include "dbtransfer/spool_push.h"
#include "scenario/user_messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <memory>

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
    // A server keeps its own files; its VACUUM gives the space back as it goes.
    const bool inFile = DbConnection::options().server.isEmpty();
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
    if (inFile) {
        io.result(txt(str::DbToolSize).arg(before).arg(databaseBytes()));
    }
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
    for (const StationContents& s : c.stations) {
        io.result(txt(str::DbToolStatsStation).arg(s.name).arg(s.cycles).arg(s.calls));
    }
    return kDbExitOk;
}

// The import's progress as lines: a new stage, every tenth of the way, the end.
ImportCallbacks progressLines(const DbCommandIo& io) {
    constexpr int kStep = 10;
    auto lastStage = std::make_shared<QString>();
    auto lastGauge = std::make_shared<int>(-kStep);
    ImportCallbacks callbacks;
    callbacks.progress = [=](int gauge, const QString& stage) {
        if (stage != *lastStage || gauge >= *lastGauge + kStep ||
            (gauge == 100 && *lastGauge < 100)) {
            *lastStage = stage;
            *lastGauge = gauge;
            io.progress(txt(str::DbToolProgress).arg(gauge, 3).arg(stage));
        }
    };
    callbacks.interrupted = io.interrupted;
    return callbacks;
}

// What an import or a copy did, as messages and lines, and its exit code.
int importOutcome(const ImportResult& r, UserMessages& messages, const DbCommandIo& io,
                  const QString& summary) {
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
    io.result(summary);
    if (r.failed > 0) {
        messages.warning(txt(str::ImportSomeFailed).arg(r.failed).arg(r.error));
    }
    return r.outcome == ImportOutcome::Done && !r.interrupted && r.failed == 0 ? kDbExitOk
                                                                               : kDbExitRefused;
}

// The spool a station kept while the server was out of reach, sent by hand.
int push(UserMessages& messages, const DbCommandIo& io) {
    QSqlDatabase spool = DbConnection::spoolForThisThread();
    if (!spool.isOpen()) {
        messages.error(txt(str::DbToolCannotRead).arg(DbConnection::lastOpenError()));
        return kDbExitRefused;
    }
    ServerSpool waiting(spool);
    QList<int> cycles;
    QString error;
    if (waiting.cycles(&cycles, &error) && cycles.isEmpty()) {
        io.result(txt(str::DbToolPushNothing));
        return kDbExitOk;
    }
    const SpoolPushResult r = pushSpool(DbConnection::main(), waiting, 0, progressLines(io));
    if (r.import.outcome == ImportOutcome::Refused) {
        messages.show(MessageIcon::Warning, txt(str::CaptionError), r.error);
    } else if (!r.error.isEmpty()) {
        messages.error(txt(str::ImportCannotWrite).arg(r.error));
    }
    if (r.import.interrupted) {
        io.result(txt(str::ImportInterrupted));
    }
    io.result(txt(str::DbToolPushSummary).arg(r.sent).arg(r.left));
    return r.done() ? kDbExitOk : kDbExitRefused;
}

// The source of a copy: the station's server, its program or database directory (its file),
// or a folder of Paradox tables; null after a message.
std::unique_ptr<ImportSource> copySource(const QString& from, const DbOptions& target,
                                         UserMessages& messages) {
    QSqlDatabase server = DbConnection::main();
    if (from.contains(QLatin1String("://"))) {
        QString error;
        const std::optional<DbLocation> source = DbLocation::fromUrl(from, &error);
        if (!source) {
            messages.error(error);
            return nullptr;
        }
        if (source->url() == DbLocation::fromOptions(target).url()) {
            messages.error(txt(str::DbToolSourceIsTarget));
            return nullptr;
        }
        return std::make_unique<ServerImportSource>(source->toOptions(target), server);
    }
    QString directory = from;
    // The station's program directory names its database directory.
    const QString inside = QDir(from).filePath(QString::fromLatin1(kDatabaseDirName));
    if (hasSqliteSource(inside)) {
        directory = inside;
    }
    if (!QFileInfo(directory).isDir()) {
        messages.error(txt(str::DbToolNoSource).arg(QDir::toNativeSeparators(from)));
        return nullptr;
    }
    return openImportSource(directory, server);
}

// All results of a station (its file, its Paradox tables or its own server) onto the server; a
// cycle the server has is skipped, so a copy that was stopped goes on where it stopped.
int copy(const QString& from, const DbOptions& target, UserMessages& messages,
         const DbCommandIo& io) {
    const std::unique_ptr<ImportSource> source = copySource(from, target, messages);
    if (!source) {
        return kDbExitRefused;
    }
    const ImportResult r = ResultImporter(DbConnection::main()).run(*source, progressLines(io));
    return importOutcome(r, messages, io,
                         txt(str::DbToolCopySummary)
                             .arg(r.sourceCycles)
                             .arg(r.imported)
                             .arg(r.completed)
                             .arg(r.present));
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
    const ImportResult r = ResultImporter(DbConnection::main()).run(source, progressLines(io));
    return importOutcome(
        r, messages, io,
        txt(str::ImportSummary).arg(r.sourceCycles).arg(r.imported).arg(r.present));
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

// The station of --station, held to what a station's name may be.
bool exportStation(const QString& text, QString& station, UserMessages& messages) {
    DbLocation probe;
    probe.station = text.trimmed();
    if (probe.station.isEmpty()) {
        messages.error(txt(str::DbToolExportNoStation));
        return false;
    }
    const QString problem = probe.problem();
    if (!problem.isEmpty()) {
        messages.error(problem);
        return false;
    }
    station = probe.station;
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
    if (o.station && !exportStation(*o.station, request.station, messages)) {
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
           command == QLatin1String("check") || command == QLatin1String("import") ||
           command == QLatin1String("push");
}

bool isServerCommand(const QString& command) {
    return command == QLatin1String("push") || command == QLatin1String("copy");
}

bool dbCommandTakesArgument(const QString& command) {
    return command == QLatin1String("import");
}

bool knownDbCommand(const QString& command) {
    return isMaintenanceCommand(command) || command == QLatin1String("stats") ||
           command == QLatin1String("copy") || command == QLatin1String("export");
}

int runDbCommand(const QString& command, const DbOptions& options, UserMessages& messages,
                 const DbCommandIo& io, const DbCommandArgs& args) {
    const QString& from = args.copyFrom;
    const QString path = DbConnection::filePath();
    // Looking must not create a database where there was none; an import or a copy may fill a
    // new one. A server's database is made by its administrator; the tables in it are ours to
    // make. What push sends is the station's own file.
    const bool needsFile = command == QLatin1String("push") ||
                           (options.server.isEmpty() && command != QLatin1String("import") &&
                            command != QLatin1String("copy"));
    if (needsFile && !QFileInfo(path).isFile()) {
        messages.error(txt(str::DbToolNoDatabase).arg(QDir::toNativeSeparators(path)));
        return kDbExitRefused;
    }
    if (isServerCommand(command) && options.server.isEmpty()) {
        messages.error(txt(str::DbToolNoServer));
        return kDbExitUsage;
    }
    if (command == QLatin1String("copy") && from.isEmpty()) {
        messages.error(txt(str::DbToolNoCopySource));
        return kDbExitUsage;
    }
    if (!DbConnection::setup(&messages, options)) {
        return kDbExitRefused;
    }
    if (!options.server.isEmpty()) {
        io.progress(txt(str::DbToolServerAt).arg(options.server));
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
        code = import(args.argument, messages, io);
    } else if (command == QLatin1String("push")) {
        code = push(messages, io);
    } else if (command == QLatin1String("copy")) {
        code = copy(from, options, messages, io);
    } else if (command == QLatin1String("export")) {
        code = exportResults(args.exportOptions, messages, io);
    }
    DbConnection::shutdown();
    return code;
}

}  // namespace zev7
