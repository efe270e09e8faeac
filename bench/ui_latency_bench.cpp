// The desktop program under load: 32 ports (the most the 33-window limit lets one program show)
// run demo cycles against 32 answering stations of the in-process simulator, each port with its
// window open, all in one process on the time-scaled clock. A timer on the UI thread measures
// its own lateness; the program prints the percentiles of that latency and the process's
// resident memory. With PORTS and "graphs", fewer ports run, each with its five live graph
// windows open (as many as the window limit lets in: 6 ports fill the 33 windows).
//
//   QT_QPA_PLATFORM=offscreen ZEV7_TIME_SCALE=20 build/bin/bench_ui_latency [SECONDS [PORTS
//   [graphs]]]
#include "app/main_window.h"
#include "app/program.h"
#include "core/clocks.h"
#include "core/program_dir.h"
#include "db/db_connection.h"
#include "engine/registry/port_registry.h"
#include "engine/supervisor/port_supervisor.h"
#include "scenario/ole_date.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_templates.h"
#include "scenario/tel_number.h"
#include "scenario/user_messages.h"
#include "sim/modem_profile.h"
#include "sim/sim_config.h"
#include "sim/sim_link_port.h"
#include "ui/model/port_graph_data.h"
#include "ui/port/tform_data.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace zev7;

namespace {

constexpr int kMostPorts = 32;
constexpr int kStationOffset = kMostPorts;  // port N calls the station on port N + 32
constexpr int kTickMs = 10;                 // the probe timer's interval
constexpr int kDefaultSeconds = 60;
constexpr double kDefaultScale = 20.0;

TelNumber number(int digits) {
    TelNumber n{};
    clearNumber(n);
    setNumberField(n, NUM_ON_ATX, QString::number(digits));
    rebuildNumberText(n);
    return n;
}

QByteArray callerNumber(int port) {
    return QByteArray::number(1000000 + port);
}

// Kilobytes of a line of /proc/self/status ("VmRSS:", "VmHWM:").
long statusKb(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key)) {
            return line.mid(static_cast<qsizetype>(qstrlen(key)))
                .trimmed()
                .split(' ')
                .first()
                .toLong();
        }
    }
    return -1;
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(p / 100.0 * static_cast<double>(values.size() - 1));
    return values[at];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("ZEV7_TIME_SCALE")) {
        qputenv("ZEV7_TIME_SCALE", QByteArray::number(kDefaultScale));
    }
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : kDefaultSeconds;
    const int ports =
        argc > 2 ? std::clamp(QByteArray(argv[2]).toInt(), 1, kMostPorts) : kMostPorts;
    const bool graphs = argc > 3 && QByteArray(argv[3]) == "graphs";
    QTemporaryDir home;
    setProgramDir(home.path());
    ensureProgramFolders();
    ConsoleMessages messages(false);
    DbConnection::setup(&messages);

    ScaledClock clock(ScaledClock::scaleFromEnvironment());
    SimConfig config = SimConfig::demo();
    config.modems.clear();
    for (int port = 1; port <= ports; ++port) {
        SimModemSpec caller;
        caller.port = port;
        caller.number = callerNumber(port);
        config.modems.push_back(caller);
        SimModemSpec station;
        station.port = port + kStationOffset;
        station.number = callerNumber(port + kStationOffset);
        applyAnswerSettings(station.profile, AnswerSettingsSpec{});
        config.modems.push_back(station);
    }
    std::unique_ptr<SimNetwork> network = buildNetwork(config, clock);

    for (int port = 1; port <= ports; ++port) {
        ScenarHeader header = templateHeader(toOleDate(clock.now()));
        header.outNumber = number(1000000 + port);
        CycleRecord cycle = templateCycle();
        cycle.inNumber = number(1000000 + port + kStationOffset);
        cycle.state = 0;
        const std::vector<CycleRecord> cycles{cycle};
        writeScenarioFile(programPath(QStringLiteral("Scenar/bench%1.scn").arg(port)), header,
                          cycles, messages);
    }

    Program program(ProgramSetup{
        clock, PortRegistry::instance(),
        [&network](int port) -> std::unique_ptr<CommPort> {
            return std::make_unique<SimLinkPort>(*network, port);
        },
        [ports](int port) {
            return (port <= ports || (port > kStationOffset && port <= kStationOffset + ports))
                       ? PortPresence::Free
                       : PortPresence::Absent;
        },
        &messages});
    TMainForm& window = program.mainWindow();
    window.resize(1280, 900);
    window.show();
    CommandLine line;
    for (int port = 1; port <= ports; ++port) {
        line.windows.push_back({port, QStringLiteral("bench%1.scn").arg(port), false});
    }
    program.start(line);
    int graphWindows = 0;
    for (int port = 1; port <= ports && graphs; ++port) {
        auto* form = qobject_cast<TForm_Data*>(window.portWindow(port));
        for (int kind = 0; kind < kGraphKinds && form != nullptr; ++kind) {
            const int before = window.childWindowCount();
            form->openGraph(kind);
            graphWindows += window.childWindowCount() - before;
        }
    }
    for (int port = 1; port <= ports; ++port) {
        window.portWindows().command(window.portWindow(port), ScenarioCommand::Start);
    }

    std::vector<double> lateness;
    QElapsedTimer since;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const double late = static_cast<double>(since.nsecsElapsed()) / 1e6 - kTickMs;
        lateness.push_back(std::max(0.0, late));
        since.restart();
    });
    since.start();
    probe.start(kTickMs);
    QTimer::singleShot(seconds * 1000, &app, [&] {
        probe.stop();
        const int running = program.supervisor().runningCount();
        std::printf(
            "ports %d running %d, graph windows %d, %zu samples over %d s, time scale "
            "%.0f\n",
            ports, running, graphWindows, lateness.size(), seconds, clock.scale());
        std::printf("UI event latency ms: p50 %.2f  p99 %.2f  max %.2f\n", percentile(lateness, 50),
                    percentile(lateness, 99), percentile(lateness, 100));
        // The work the ports did meanwhile: the test calls stored in the results database.
        QSqlQuery calls(DbConnection::main());
        const bool counted =
            calls.exec(QStringLiteral("SELECT COUNT(*) FROM Table_Seans")) && calls.next();
        std::printf("test calls stored by the ports: %lld\n",
                    counted ? calls.value(0).toLongLong() : -1LL);
        std::printf("RSS MB: now %.1f  peak %.1f\n", statusKb("VmRSS:") / 1024.0,
                    statusKb("VmHWM:") / 1024.0);
        std::fflush(stdout);
        window.closeWithoutAsking();
    });
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);
    return QApplication::exec();
}
