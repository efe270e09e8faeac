// zev7-db [--home DIR] [--db URL] compact | clear-work | check | stats | import SOURCE
// zev7-db [--home DIR] [--db URL] push
// zev7-db [--to URL] copy --from DIR
// zev7-db [--home DIR] [--db URL] export [--format csv|json] [--from DAY] [--to DAY]
//         [--station NAME] [--calls|--cycles] [--output FILE]
//
// Upkeep of the results database of a program directory on a server without a display (the
// database chosen by --db, ZEV7_DB, "[База данных]" of the directory's ZEV7.ini, else the file):
// the compaction of "Сжатие БД", emptying the database windows' working tables, an integrity
// check, and how many cycles and calls it holds over which days. Compaction, emptying and the
// check are refused while a port of the directory runs a scenario (zev7-run, the program's
// windows), and so is the import of another database's results ("Ввод результатов"). Ctrl+C
// stops the compaction after the table under way, and the import at once (cycles whole).
// A station on a server sends by hand what it kept while the server was out of reach (push,
// refused while a port of the directory runs: the port sends it itself), and a station moving
// onto a server copies all its results there (copy: a copy stopped goes on where it stopped).
// "export" writes the calls or cycles as CSV or JSON Lines for other programs (ResultExport).
#include "db_commands.h"

#include "core/port_run_marker.h"
#include "core/program_dir.h"
#include "core/strings.h"
#include "db/db_location.h"
#include "scenario/user_messages.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <csignal>

using namespace zev7;

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void onStopSignal(int) {
    stopSignal = 1;
}

void printLine(FILE* stream, const QString& line) {
    QTextStream s(stream);
    s << line << "\n";
    s.flush();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(txt(str::DbToolUsage));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption homeOption(QStringLiteral("home"), txt(str::DbToolOptionHome),
                                        QStringLiteral("DIR"));
    parser.addOption(homeOption);
    const QCommandLineOption dbOption(QStringLiteral("db"), txt(str::DbToolOptionDb),
                                      QStringLiteral("URL"));
    // --from and --to: the station directory and the server of "copy", the days of "export".
    const QCommandLineOption fromOption(QStringLiteral("from"), txt(str::DbToolOptionFrom),
                                        QStringLiteral("DIR|URL|dd.mm.yy"));
    const QCommandLineOption toOption(QStringLiteral("to"), txt(str::DbToolOptionTo),
                                      QStringLiteral("URL|dd.mm.yy"));
    const QCommandLineOption formatOption(QStringLiteral("format"), txt(str::DbToolOptionFormat),
                                          QStringLiteral("csv|json"), QStringLiteral("csv"));
    const QCommandLineOption stationOption(
        QStringLiteral("station"), txt(str::DbToolOptionExportStation), QStringLiteral("NAME"));
    const QCommandLineOption callsOption(QStringLiteral("calls"), txt(str::DbToolOptionCalls));
    const QCommandLineOption cyclesOption(QStringLiteral("cycles"), txt(str::DbToolOptionCycles));
    const QCommandLineOption outputOption(QStringLiteral("output"), txt(str::DbToolOptionOutput),
                                          QStringLiteral("FILE"));
    parser.addOptions({dbOption, fromOption, toOption, formatOption, stationOption, callsOption,
                       cyclesOption, outputOption});
    parser.addPositionalArgument(
        QStringLiteral("COMMAND"),
        QStringLiteral("compact | clear-work | check | stats | import | push | copy | export"));
    if (!parser.parse(QCoreApplication::arguments())) {
        printLine(stderr, parser.errorText() + QLatin1Char('\n') + txt(str::DbToolUsage));
        return kDbExitUsage;
    }
    if (parser.isSet(helpOption)) {
        parser.showHelp(0);
    }
    const QStringList args = parser.positionalArguments();
    if (args.isEmpty() || !knownDbCommand(args[0]) ||
        args.size() != (dbCommandTakesArgument(args[0]) ? 2 : 1)) {
        printLine(stderr, txt(str::DbToolUsage));
        return kDbExitUsage;
    }
    if (parser.isSet(homeOption)) {
        setProgramDir(parser.value(homeOption));
    }
    QString placeError;
    // The --to of a copy is its server; the --to of an export is a day.
    const bool copying = args[0] == QLatin1String("copy");
    const std::optional<DbLocation> place = DbLocation::forTool(
        parser.value(copying && parser.isSet(toOption) ? toOption : dbOption), {}, &placeError);
    if (!place) {
        printLine(stderr, placeError);
        return kDbExitUsage;
    }

    ConsoleMessages messages(false);
    if (isMaintenanceCommand(args[0])) {
        const QList<int> running = PortRunMarker::runningPorts();
        if (!running.isEmpty()) {
            messages.show(MessageIcon::Warning, txt(str::CaptionWarning),
                          txt(str::MaintenancePortsRunning));
            QStringList ports;
            for (int port : running) {
                ports << QStringLiteral("COM%1").arg(port);
            }
            printLine(stderr, txt(str::DbToolPortsList).arg(ports.join(QStringLiteral(", "))));
            return kDbExitRefused;
        }
    }

    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    DbCommandIo io;
    io.progress = [](const QString& line) { printLine(stderr, line); };
    io.result = [](const QString& line) { printLine(stdout, line); };
    io.interrupted = [] { return stopSignal != 0; };
    DbCommandArgs commandArgs;
    commandArgs.argument = args.value(1);
    DbExportOptions& exportOptions = commandArgs.exportOptions;
    if (copying) {
        commandArgs.copyFrom = parser.value(fromOption);
    } else {
        exportOptions.from = parser.value(fromOption);
        exportOptions.to = parser.value(toOption);
    }
    exportOptions.format = parser.value(formatOption);
    if (parser.isSet(stationOption)) {
        exportOptions.station = parser.value(stationOption);
    }
    exportOptions.calls = parser.isSet(callsOption);
    exportOptions.cycles = parser.isSet(cyclesOption);
    exportOptions.output = parser.value(outputOption);
    return runDbCommand(args[0], place->toOptions(), messages, io, commandArgs);
}
