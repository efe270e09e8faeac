// zev7-db [--home DIR] compact | clear-work | check | stats | import SOURCE | export [OPTIONS]
//
// Upkeep of the results database of a program directory on a server without a display:
// the compaction of "Сжатие БД", emptying the database windows' working tables, an integrity
// check, and how many cycles and calls it holds over which days. Compaction, emptying and the
// check are refused while a port of the directory runs a scenario (zev7-run, the program's
// windows), and so is the import of another database's results ("Ввод результатов"). Ctrl+C
// stops the compaction after the table under way, and the import at once (cycles whole).
// "export" writes the calls or cycles as CSV or JSON Lines for other programs (ResultExport).
#include "db_commands.h"

#include "core/port_run_marker.h"
#include "core/program_dir.h"
#include "core/strings.h"
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
    const QCommandLineOption formatOption(QStringLiteral("format"), txt(str::DbToolOptionFormat),
                                          QStringLiteral("csv|json"), QStringLiteral("csv"));
    const QCommandLineOption fromOption(QStringLiteral("from"), txt(str::DbToolOptionFrom),
                                        QStringLiteral("dd.mm.yy"));
    const QCommandLineOption toOption(QStringLiteral("to"), txt(str::DbToolOptionTo),
                                      QStringLiteral("dd.mm.yy"));
    const QCommandLineOption callsOption(QStringLiteral("calls"), txt(str::DbToolOptionCalls));
    const QCommandLineOption cyclesOption(QStringLiteral("cycles"), txt(str::DbToolOptionCycles));
    const QCommandLineOption outputOption(QStringLiteral("output"), txt(str::DbToolOptionOutput),
                                          QStringLiteral("FILE"));
    parser.addOptions(
        {formatOption, fromOption, toOption, callsOption, cyclesOption, outputOption});
    parser.addPositionalArgument(
        QStringLiteral("COMMAND"),
        QStringLiteral("compact | clear-work | check | stats | import | export"));
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
    DbExportOptions exportOptions;
    exportOptions.format = parser.value(formatOption);
    exportOptions.from = parser.value(fromOption);
    exportOptions.to = parser.value(toOption);
    exportOptions.calls = parser.isSet(callsOption);
    exportOptions.cycles = parser.isSet(cyclesOption);
    exportOptions.output = parser.value(outputOption);
    return runDbCommand(args[0], messages, io, args.value(1), exportOptions);
}
