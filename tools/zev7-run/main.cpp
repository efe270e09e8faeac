// zev7-run [--home DIR] [--db URL] [--station NAME] [--restart]
//          PORT:SCENARIO[:REPORT] [PORT:SCENARIO[:REPORT] ...]
//
// Runs the scenarios of several ports at once, exactly as the program's port threads do, on a
// server without a display: each scenario becomes its port's working copy, each port gets its
// thread, the threads share the registry and its mutexes, every protocol line and every call
// row is printed, questions are answered No as in batch mode. Every call goes into the results
// database and the port's report, which is finished at the end as batch mode finishes it:
// "Result\" REPORT, by default "Result\Result_Port_" N ".html". The exit code is 0 only when
// every scenario was completed and every call stored. The database is the one --db names, else
// ZEV7_DB, else "[База данных]" of the directory's ZEV7.ini, else the file (db_location.h).
// ZEV7_TIME_SCALE runs the clock faster, as for zev7-sim. Ctrl+C, SIGTERM or SIGHUP stops the ports
// cleanly ("Сценарий прерван!"). An output that is closed (a pipe into `head`) is no longer written
// to; the measurement goes on and the exit code is the run's. A fault leaves ZEV7.crash in the
// program directory.
// --restart continues the scenarios after their finished cycles, as the port window's Restart
// does; the port's working copy holds the states of an interrupted run. While a port runs, its
// run marker tells other processes of the program directory (zev7-db, a second zev7-run, the
// program's windows) so; a port marked by another process, or whose serial port another
// program holds open, is refused before its working copy is written.
//
// --answer PORT:SCENARIO (repeatable) runs a port as an answering station with the settings of
// that scenario's header (answer_station_run.h), before the calling ports start; with calling
// ports it is stopped once they have all ended, and the exit code is theirs; alone it runs until
// Ctrl+C or SIGTERM (exit code 0, or 1 when an error ended a station).
//
// The alerts of "[Оповещение]" in the program directory's ZEV7.ini are raised as in the
// program: a protocol line, a line on standard error, and the operator's command.
#include "answer_station_run.h"
#include "console_alerts.h"
#include "run_items.h"

#include "console_port_view.h"
#include "core/clocks.h"
#include "core/ini_file.h"
#include "core/port_run_marker.h"
#include "core/process_signals.h"
#include "core/program_dir.h"
#include "core/strings.h"
#include "db/db_connection.h"
#include "db/db_location.h"
#include "engine/alerts/alert_settings.h"
#include "engine/registry/port_registry.h"
#include "engine/report/result_report_db.h"
#include "engine/report/result_report_finish.h"
#include "engine/serial/serial_comm_port.h"
#include "engine/serial/serial_port_names.h"
#include "engine/supervisor/port_supervisor.h"
#include "engine/view/port_view_router.h"
#include "scenario/user_messages.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <atomic>
#include <map>
#include <memory>

using namespace zev7;

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitNotCompleted = 1;

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

}  // namespace

int main(int argc, char** argv) {
    // From the first moment: a stop that comes during start-up ends the run cleanly too.
    // A closed terminal (SIGHUP) stops the ports as cleanly as Ctrl+C: each modem on-hook,
    // each protocol ending with "Сценарий прерван!".
    catchStopSignals();
    ignoreBrokenPipe();
    QCoreApplication app(argc, argv);
    installFaultReport("zev7-run");
    QCommandLineParser parser;
    parser.setApplicationDescription(txt(str::RunUsage));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption homeOption(QStringLiteral("home"), txt(str::RunOptionHome),
                                        QStringLiteral("DIR"));
    parser.addOption(homeOption);
    const QCommandLineOption answerOption(QStringLiteral("answer"), txt(str::RunOptionAnswer),
                                          QStringLiteral("PORT:SCENARIO"));
    parser.addOption(answerOption);
    const QCommandLineOption restartOption(QStringLiteral("restart"), txt(str::RunOptionRestart));
    parser.addOption(restartOption);
    const QCommandLineOption dbOption(QStringLiteral("db"), txt(str::DbToolOptionDb),
                                      QStringLiteral("URL"));
    parser.addOption(dbOption);
    const QCommandLineOption stationOption(QStringLiteral("station"), txt(str::DbToolOptionStation),
                                           QStringLiteral("NAME"));
    parser.addOption(stationOption);
    parser.addPositionalArgument(QStringLiteral("PORT:SCENARIO[:REPORT]"),
                                 txt(str::RunArgumentItem));
    if (!parser.parse(QCoreApplication::arguments())) {
        err() << parser.errorText() << "\n" << txt(str::RunUsage) << "\n";
        return kExitUsage;
    }
    if (parser.isSet(helpOption)) {
        parser.showHelp(0);
    }

    QStringList errors;
    const QStringList answerValues = parser.values(answerOption);
    // Answering stations alone need no calling port.
    const auto items = answerValues.isEmpty() || !parser.positionalArguments().isEmpty()
                           ? parseRunItems(parser.positionalArguments(), errors)
                           : std::make_optional(std::vector<RunItem>{});
    const auto stationItems =
        items ? AnswerStationRun::parse(answerValues, *items, errors) : std::nullopt;
    if (!items || !stationItems) {
        for (const QString& e : errors) {
            err() << e << "\n";
        }
        err() << txt(str::RunUsage) << "\n";
        return kExitUsage;
    }
    // The same K as the simulator's: a value it would refuse is refused here too.
    const QString scaleText = qEnvironmentVariable("ZEV7_TIME_SCALE");
    bool scaleOk = scaleText.isEmpty();
    const double scale = ScaledClock::scaleFromEnvironment();
    if (!scaleOk) {
        const double k = scaleText.toDouble(&scaleOk);
        scaleOk = scaleOk && k == scale;
    }
    if (!scaleOk) {
        err() << txt(str::SimBadScale).arg(scaleText) << "\n";
        return kExitUsage;
    }
    if (parser.isSet(homeOption)) {
        // A mistyped folder must not grow a whole program tree of its own.
        const QString home = parser.value(homeOption);
        if (!QFileInfo(home).isDir()) {
            err() << txt(str::RunNoHome).arg(QDir::toNativeSeparators(home)) << "\n";
            return kExitUsage;
        }
        setProgramDir(home);
        installFaultReport("zev7-run");
    }
    // A database that cannot be named is a wrong command line, found before any port is touched.
    QString placeError;
    const std::optional<DbLocation> place =
        DbLocation::forTool(parser.value(dbOption), parser.value(stationOption), &placeError);
    if (!place) {
        err() << placeError << "\n";
        return kExitUsage;
    }
    ConsoleMessages messages(false);
    if (!ensureProgramFolders()) {
        messages.error(txt(str::SimDirFailed).arg(programDir()));
        return kExitNotCompleted;
    }
    // A port that another process runs keeps its working copy; the marker of each port is
    // given back when the port has ended.
    std::map<int, std::unique_ptr<PortRunMarker>> markers;
    for (const RunItem& item : *items) {
        auto marker = std::make_unique<PortRunMarker>(item.port);
        if (!marker->acquire()) {
            messages.error(txt(str::RunPortBusy)
                               .arg(item.port)
                               .arg(QDir::toNativeSeparators(PortRunMarker::path(item.port))));
            return kExitNotCompleted;
        }
        markers[item.port] = std::move(marker);
    }
    // A serial port that another program holds open (a terminal, a program that takes no
    // marker) would fail the run after its working copy had been rewritten.
    for (const RunItem& item : *items) {
        if (probePort(item.port) == PortPresence::Busy) {
            messages.error(txt(str::RunPortInUse)
                               .arg(item.port)
                               .arg(QDir::toNativeSeparators(serialDeviceName(item.port))));
            return kExitNotCompleted;
        }
    }
    for (const RunItem& item : *items) {
        if (!prepareWorkingCopy(item, parser.isSet(restartOption), messages)) {
            return kExitNotCompleted;
        }
    }

    RealClock realClock;
    ScaledClock scaledClock(scale);
    Clock& clock = scale > 1.0 ? static_cast<Clock&>(scaledClock) : realClock;

    ConsolePortView console(messages);
    // The workers' calls reach the console on this thread, in order, without waiting.
    PortViewRouter router;
    router.setDefaultView(&console);
    PortRegistry& registry = PortRegistry::instance();
    PortServices services{clock, messages, router, registry, {}, {}};
    // A value of "[Оповещение]" that is refused switches its alert off; the run goes on.
    ConsoleAlerts alerts;
    {
        IniFile ini(programPath(QString::fromLatin1(kConfigFileName)));
        ini.load();
        QStringList problems;
        services.alerts = AlertServices{readAlertSettings(ini, problems), &alerts};
        for (const QString& problem : problems) {
            messages.warning(problem);
        }
    }
    services.makePort = [&clock](int port) -> std::unique_ptr<CommPort> {
        return SerialCommPort::forPortNumber(port, clock);
    };
    // A database that cannot be set up is reported; the ports still run and write reports.
    DbConnection::setup(&messages, place->toOptions());
    std::map<int, QString> reportNames;
    for (const RunItem& item : *items) {
        reportNames[item.port] = item.report;
    }
    // Test calls the database did not take, over all ports: the run is then no success.
    std::atomic<int> unstoredCalls{0};
    services.makeResults = [&](int port) -> std::unique_ptr<ResultSink> {
        ReportFinishing finishing;
        finishing.batchReportName = [reportNames](int p) { return reportNames.at(p); };
        return makeDatabaseReportSink(port, messages, registry.resultFilesMutex(), clock, nullptr,
                                      std::move(finishing), &unstoredCalls);
    };
    PortSupervisor supervisor(services, &router);
    AnswerStationRun stations(supervisor, messages, console);

    // Stations first; the calling ports once every station has written its settings. When the
    // calling ports have all ended, the stations are stopped; when everything has been joined,
    // the run is over.
    bool stopping = false;
    int callingRunning = 0;
    const auto startCallingPorts = [&] {
        if (stopping) {
            return;
        }
        for (const RunItem& item : *items) {
            const int code = supervisor.startPort(item.port);
            if (code != 0) {
                messages.show(MessageIcon::Warning, txt(str::CaptionError),
                              txt(str::RunNotStarted).arg(item.port).arg(code));
            }
            callingRunning += supervisor.portRunning(item.port) ? 1 : 0;
        }
        if (callingRunning == 0 && !items->empty()) {
            stations.requestStop();
            supervisor.stopAll();
        }
    };
    QObject::connect(&supervisor, &PortSupervisor::portEnded, &app, [&](int port) {
        markers.erase(port);
        if (--callingRunning == 0) {
            stations.requestStop();
        }
    });
    QObject::connect(&supervisor, &PortSupervisor::allEnded, &app, [&] {
        // A station that failed before the calling ports started leaves nothing to wait for.
        if (callingRunning == 0) {
            app.quit();
        }
    });
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &app, [&] {
        if (!stopping) {
            stopping = true;
            err() << txt(str::RunStopping) << "\n";
            err().flush();
            stations.requestStop();
            supervisor.stopAll();
        }
    });

    if (!stations.start(*stationItems, startCallingPorts)) {
        stations.requestStop();
        supervisor.stopAll();
    }
    if (supervisor.runningCount() > 0) {
        app.exec();
    }
    router.close();
    if (const QString stalls = stallReport(scaledClock.stalls()); !stalls.isEmpty()) {
        out() << stalls << "\n";
    }
    if (items->empty()) {
        out() << txt(stations.failed() ? str::RunAnswerFailed : str::RunAnswerStopped) << "\n";
        return stations.failed() ? kExitNotCompleted : 0;
    }

    bool completed = true;
    for (const RunItem& item : *items) {
        completed = completed && registry.runOutcome(item.port) == RunOutcome::Completed;
    }
    // Only a report that was written is named: a port whose modem never answered has none.
    for (const RunItem& item : *items) {
        const QString report = batchReportPath(item.port, item.report);
        if (QFileInfo::exists(report)) {
            out() << txt(str::RunReportsAt).arg(item.port).arg(QDir::toNativeSeparators(report))
                  << "\n";
        }
    }
    out() << txt(str::RunDatabaseAt).arg(DbConnection::location()) << "\n";
    const int unstored = unstoredCalls.load();
    if (unstored > 0) {
        out() << txt(str::RunCallsNotStored).arg(unstored) << "\n";
    }
    const char* summary = !completed     ? str::RunNotCompleted
                          : unstored > 0 ? str::RunCompletedNotStored
                                         : str::RunCompleted;
    out() << txt(summary) << "\n";
    return completed && unstored == 0 ? 0 : kExitNotCompleted;
}
