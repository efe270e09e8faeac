// zev7-sim --home DIR [--config FILE] [--time-scale K] [--log FILE]
//
// Runs the simulated network (the demo network without --config) and exposes each modem as a
// pseudo-terminal linked at DIR/dev/COM<N>, until Ctrl+C or SIGTERM. Start the program with
// the same time scale (ZEV7_TIME_SCALE) so that both agree on every tone and time-out.
// A fault leaves ZEV7.crash in DIR.
#include "core/clocks.h"
#include "core/process_signals.h"
#include "core/program_dir.h"
#include "core/strings.h"
#include "core/thread_priority.h"
#include "sim/pty_host.h"
#include "sim/sim_config.h"
#include "sim/traffic_log.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <cmath>

using namespace zev7;

namespace {

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

std::optional<double> parseScale(const QString& text) {
    bool ok = false;
    const double k = text.toDouble(&ok);
    return ok && std::isfinite(k) && k >= 1.0 ? std::optional<double>(k) : std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    installFaultReport("zev7-sim");
    QCommandLineParser parser;
    parser.setApplicationDescription(txt(str::SimUsage));
    parser.addHelpOption();
    const QCommandLineOption homeOption(QStringLiteral("home"), txt(str::SimOptionHome),
                                        QStringLiteral("DIR"));
    const QCommandLineOption configOption(QStringLiteral("config"), txt(str::SimOptionConfig),
                                          QStringLiteral("FILE"));
    const QCommandLineOption scaleOption(QStringLiteral("time-scale"), txt(str::SimOptionScale),
                                         QStringLiteral("K"));
    const QCommandLineOption logOption(QStringLiteral("log"), txt(str::SimOptionLog),
                                       QStringLiteral("FILE"));
    parser.addOptions({homeOption, configOption, scaleOption, logOption});
    parser.process(app);

    if (!parser.isSet(homeOption) || parser.value(homeOption).isEmpty()) {
        err() << txt(str::SimNoHome) << "\n" << txt(str::SimUsage) << "\n";
        return 2;
    }
    // The simulator's home is the program directory of the program it serves.
    setProgramDir(parser.value(homeOption));
    installFaultReport("zev7-sim");

    SimConfig config;
    if (parser.isSet(configOption)) {
        const SimConfigResult loaded = loadSimConfig(parser.value(configOption));
        if (!loaded.config) {
            for (const QString& e : loaded.errors) {
                err() << e << "\n";
            }
            return 1;
        }
        for (const QString& w : loaded.warnings) {
            err() << w << "\n";
        }
        config = *loaded.config;
    } else {
        config = SimConfig::demo();
        out() << txt(str::SimDemoNetwork) << "\n";
    }

    // The option first, then the environment the program reads too, then the file.
    double scale = config.timeScale.value_or(1.0);
    if (qEnvironmentVariableIsSet("ZEV7_TIME_SCALE")) {
        const QString env = qEnvironmentVariable("ZEV7_TIME_SCALE");
        const auto k = parseScale(env);
        if (!k) {
            err() << txt(str::SimBadScale).arg(env) << "\n";
            return 2;
        }
        scale = *k;
    }
    if (parser.isSet(scaleOption)) {
        const auto k = parseScale(parser.value(scaleOption));
        if (!k) {
            err() << txt(str::SimBadScale).arg(parser.value(scaleOption)) << "\n";
            return 2;
        }
        scale = *k;
    }
    RealClock realClock;
    ScaledClock scaledClock(scale);
    Clock& clock = scale > 1.0 ? static_cast<Clock&>(scaledClock) : realClock;

    std::unique_ptr<SimNetwork> network = buildNetwork(config, clock);
    TrafficLogFile log;
    if (parser.isSet(logOption)) {
        QString why;
        if (!log.open(parser.value(logOption), &why)) {
            err() << txt(str::SimCannotLog).arg(parser.value(logOption), why) << "\n";
            return 1;
        }
        network->setTrafficLog([&log](const TrafficEntry& e) { log.write(e); });
    }

    PtyHost host(*network, parser.value(homeOption));
    QString why;
    if (!host.start(&why)) {
        err() << why << "\n";
        return 1;
    }
    for (const PtyLink& link : host.links()) {
        const QByteArray number = network->number(link.port);
        const SimModemSpec* spec = nullptr;
        for (const SimModemSpec& m : config.modems) {
            if (m.port == link.port) {
                spec = &m;
            }
        }
        out() << txt(str::SimLinkLine)
                     .arg(link.port)
                     .arg(link.linkPath, link.devicePath,
                          number.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(number),
                          spec != nullptr ? modelName(spec->model) : QString())
              << "\n";
    }
    out() << txt(str::SimRunning).arg(scale) << "\n";
    // Every modem's replies leave from this thread: on a busy machine they must still leave
    // when due, or a scaled run's tones pass the program's polls by.
    if (!raiseThreadPriority() && scale > 1.0) {
        err() << txt(str::SimNoPriority) << "\n";
    }
    out().flush();

    host.runUntilInterrupted();
    host.stop();
    if (const QString stalls = stallReport(scaledClock.stalls()); !stalls.isEmpty()) {
        out() << stalls << "\n";
    }
    out() << txt(str::SimStopped) << "\n";
    return 0;
}
