// The serial path at the line's pace: one port polls the level ("A/" after "AT%V", as a test
// call does) through the program's real channel against zev7-sim over a pseudo-terminal, at
// real time and at ZEV7_TIME_SCALE 20, for a fixed number of exchanges; the same exchanges
// through the in-process link on the manual clock beside them. Printed per run: the program's
// CPU time and context switches per exchange (getrusage of the polling thread), the
// simulator's own CPU time and context switches per exchange (/proc), and the polls per
// simulated second against the line's limit: every "A/" exchange keeps the line busy for its
// probe, the probe's echo, the "/" and the 8 bytes of the rest of the reply, 11 bytes of
// 1 + 8 + 2 bits at 9600 baud (79.3 exchanges a second). Opening the port raises the polling
// thread's priority as it does a port thread's; the load average is printed beside the figures.
// Of the program's CPU time, the part spent handing bytes to the terminal is printed apart: a
// pseudo-terminal passes every write on through a kernel worker, and waking that worker on
// another processor costs the writer far more on some virtual machines than on others.
// BENCH_DEBUG=1 prints the first missed replies, BENCH_SIMLOG=FILE keeps the simulator's log.
//
//   build/bin/bench_serial_line [EXCHANGES [SCALE...]]   (default 1000 exchanges, scales 1 20)
#include "core/clocks.h"
#include "engine/modem/modem_channel.h"
#include "engine/serial/serial_comm_port.h"
#include "forwarding_port.h"
#include "sim/sim_config.h"
#include "sim/sim_link_port.h"
#include "support/recording_messages.h"

#include <sched.h>
#include <sys/resource.h>
#include <time.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

using namespace zev7;

namespace {

constexpr int kPort = 1;  // the demo network's caller
constexpr int kDefaultExchanges = 1000;
constexpr int kWarmUp = 20;
constexpr int kStartWaitMs = 10000;
constexpr int kInProcessFactor = 100;
constexpr int kBareSleepUs = 6300;  // half an exchange at real time

struct Usage {
    double cpuUs = 0;
    double switches = 0;
    double preempted = 0;  // of the switches, those where the thread was ready to go on
};

double threadCpuUs() {
    timespec cpu{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    return static_cast<double>(cpu.tv_sec) * 1e6 + static_cast<double>(cpu.tv_nsec) / 1e3;
}

// The polling thread's CPU time to the nanosecond, and its context switches.
Usage threadUsage() {
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return {threadCpuUs(), static_cast<double>(u.ru_nvcsw + u.ru_nivcsw),
            static_cast<double>(u.ru_nivcsw)};
}

// Adds up the polling thread's CPU time inside write().
class WriteTimedPort : public ForwardingPort {
public:
    WriteTimedPort(std::unique_ptr<CommPort> inner, double& writeUs)
        : ForwardingPort(std::move(inner)), writeUs_(writeUs) {}
    std::int64_t write(const QByteArray& data) override {
        const double start = threadCpuUs();
        const std::int64_t written = ForwardingPort::write(data);
        writeUs_ += threadCpuUs() - start;
        return written;
    }

private:
    double& writeUs_;
};

// The simulator's main thread (it serves every terminal): CPU time from schedstat, in
// nanoseconds, and its context switches from status.
Usage processUsage(qint64 pid) {
    Usage u;
    QFile sched(QStringLiteral("/proc/%1/schedstat").arg(pid));
    if (sched.open(QIODevice::ReadOnly)) {
        u.cpuUs = sched.readAll().split(' ').value(0).toDouble() / 1000.0;
    }
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.endsWith("ctxt_switches:") || line.contains("ctxt_switches:")) {
                u.switches += line.mid(line.indexOf(':') + 1).trimmed().toDouble();
            }
        }
    }
    return u;
}

QString loadAverage() {
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).section(' ', 0, 2)
                                       : QStringLiteral("?");
}

// Exchanges a second the line allows for the repeat command: its reply, the probe and the
// probe's echo (the "/" and its echo overlap with the reply) at the measuring line settings.
double lineLimit() {
    const LineSettings s = LineSettings::measuring();
    const int bits = 1 + s.dataBits + (s.parity ? 1 : 0) + s.stopBits;
    const int bytes = kRepeatCommand.replyLength + 2;
    return static_cast<double>(s.baud) / (bits * bytes);
}

struct Run {
    int exchanges = 0;
    int failures = 0;
    Usage program;
    double programWriteUs = 0;  // of the program's CPU time, that spent in the port's write()
    Usage simulator;
    double simulatedSeconds = 0;
};

// Off-hook on dial tone, one level query, then the repeat command as the tone polling sends it.
// `writeUs` is what the channel's port adds its write() time to, if it does.
Run poll(ModemChannel& channel, Clock& clock, int exchanges, qint64 simPid,
         const double* writeUs = nullptr) {
    Run r;
    channel.ModemSendGetData(kOffHook);
    channel.ModemSendGetData(kReadLevel);
    for (int i = 0; i < kWarmUp; ++i) {
        channel.ModemSendGetData(kRepeatCommand);
    }
    const double w0 = writeUs != nullptr ? *writeUs : 0;
    const Usage p0 = threadUsage();
    const Usage s0 = simPid > 0 ? processUsage(simPid) : Usage{};
    const std::int64_t t0 = clock.tickUs();
    for (int i = 0; i < exchanges; ++i) {
        if (!channel.ModemSendGetData(kRepeatCommand)) {
            if (r.failures++ < 5 && qEnvironmentVariableIsSet("BENCH_DEBUG")) {
                std::fprintf(stderr, "failed %d at %.6f s: reply [%s]\n", i,
                             static_cast<double>(clock.tickUs()) / 1e6,
                             channel.lastReply().toPercentEncoding().constData());
            }
            // A missed reply counts once: the next exchange starts afresh, as the next poll of
            // a test call does after the user chose to go on.
            channel.setErrorCode(ModemErrorCode::None);
        }
    }
    const std::int64_t t1 = clock.tickUs();
    const Usage p1 = threadUsage();
    const double w1 = writeUs != nullptr ? *writeUs : 0;
    const Usage s1 = simPid > 0 ? processUsage(simPid) : Usage{};
    channel.ModemSendGetData(kOnHook);
    r.exchanges = exchanges;
    r.program = {p1.cpuUs - p0.cpuUs, p1.switches - p0.switches, p1.preempted - p0.preempted};
    r.programWriteUs = w1 - w0;
    r.simulator = {s1.cpuUs - s0.cpuUs, s1.switches - s0.switches, 0};
    r.simulatedSeconds = static_cast<double>(t1 - t0) / 1e6;
    return r;
}

void print(const char* what, const Run& r, bool withLine) {
    const double n = r.exchanges > 0 ? r.exchanges : 1;
    std::printf("%-24s program %7.2f us %5.2f switches (%4.2f preempted)", what,
                r.program.cpuUs / n, r.program.switches / n, r.program.preempted / n);
    if (withLine) {
        const double rate = r.simulatedSeconds > 0 ? r.exchanges / r.simulatedSeconds : 0;
        std::printf(" | simulator %7.2f us %5.2f switches | %6.2f polls/s = %5.1f %% of %.1f",
                    r.simulator.cpuUs / n, r.simulator.switches / n, rate,
                    100.0 * rate / lineLimit(), lineLimit());
    }
    std::printf(" | failed %d of %d\n", r.failures, r.exchanges);
    if (withLine) {
        std::printf("%-24s of the program's time %.2f us in write(), %.2f us the rest\n", "",
                    r.programWriteUs / n, (r.program.cpuUs - r.programWriteUs) / n);
    }
}

// What one wake-up of a sleeping thread costs on this machine, with nothing else done: an
// exchange waits at least twice (the probe's echo, the reply), each wait at least this much.
Usage bareWakeUp() {
    constexpr int kWakeUps = 200;
    const Usage u0 = threadUsage();
    for (int i = 0; i < kWakeUps; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(kBareSleepUs));
    }
    const Usage u1 = threadUsage();
    return {(u1.cpuUs - u0.cpuUs) / kWakeUps, (u1.switches - u0.switches) / kWakeUps, 0};
}

Run inProcess(int exchanges) {
    ManualClock clock;
    std::unique_ptr<SimNetwork> network = buildNetwork(SimConfig::demo(), clock);
    RecordingMessages messages;
    ModemChannel channel(kPort, std::make_unique<SimLinkPort>(*network, kPort), clock, messages);
    if (!channel.openPort()) {
        return {};
    }
    return poll(channel, clock, exchanges, 0);
}

bool overPty(double scale, int exchanges, Run* out) {
    QTemporaryDir home;
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.setStandardOutputFile(QProcess::nullDevice());
    sim.start(QStringLiteral(ZEV7_SIM_PATH),
              QStringList{QStringLiteral("--home"), home.path(), QStringLiteral("--time-scale"),
                          QString::number(scale)} +
                  (qEnvironmentVariableIsSet("BENCH_SIMLOG")
                       ? QStringList{QStringLiteral("--log"), qEnvironmentVariable("BENCH_SIMLOG")}
                       : QStringList{}));
    if (!sim.waitForStarted()) {
        std::fprintf(stderr, "zev7-sim did not start\n");
        return false;
    }
    const QString device = QDir(home.path()).filePath(QStringLiteral("dev/COM%1").arg(kPort));
    for (int waited = 0; !QFileInfo::exists(device) && waited < kStartWaitMs; waited += 10) {
        QThread::msleep(10);
    }
    RealClock real;
    ScaledClock scaled(scale);
    Clock& clock = scale > 1.0 ? static_cast<Clock&>(scaled) : real;
    RecordingMessages messages;
    messages.setDefaultAnswer(true);
    bool ok = false;
    {
        double writeUs = 0;
        ModemChannel channel(kPort,
                             std::make_unique<WriteTimedPort>(
                                 std::make_unique<SerialCommPort>(device, clock), writeUs),
                             clock, messages);
        if (channel.openPort()) {
            *out = poll(channel, clock, exchanges, sim.processId(), &writeUs);
            ok = true;
        } else {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(device));
        }
    }
    if (sim.state() != QProcess::Running) {
        std::fprintf(stderr, "zev7-sim ended early: exit %d, status %d\n", sim.exitCode(),
                     static_cast<int>(sim.exitStatus()));
    }
    sim.terminate();
    if (!sim.waitForFinished(kStartWaitMs)) {
        sim.kill();
        sim.waitForFinished();
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int exchanges = args.size() > 1 ? std::max(1, args[1].toInt()) : kDefaultExchanges;
    QList<double> scales;
    for (qsizetype i = 2; i < args.size(); ++i) {
        scales.append(std::max(1.0, args[i].toDouble()));
    }
    if (scales.isEmpty()) {
        scales = {1.0, 20.0};
    }
    std::printf("load average %s, %d exchanges \"A/\" per run\n", qPrintable(loadAverage()),
                exchanges);
    // The in-process exchange costs microseconds: many more of them for a steady figure.
    print("in-process, manual clock", inProcess(exchanges * kInProcessFactor), false);
    const Usage wake = bareWakeUp();
    std::printf("%-24s program %7.2f us %5.2f switches (a sleep of %d us, nothing else)\n",
                "bare wake-up", wake.cpuUs, wake.switches, kBareSleepUs);
    int status = 0;
    for (double scale : scales) {
        Run r;
        if (!overPty(scale, exchanges, &r)) {
            status = 1;
            continue;
        }
        const QByteArray what = QStringLiteral("pty, time scale %1").arg(scale).toLatin1();
        print(what.constData(), r, true);
        // Opening the port raised the polling thread's priority, as it does a port thread's.
        const bool realTime = (::sched_getscheduler(0) & ~SCHED_RESET_ON_FORK) == SCHED_RR;
        std::printf("%-24s polled at %s\n", "",
                    realTime ? "real-time priority, as a port thread"
                             : "ordinary priority (real time refused)");
    }
    std::printf("load average %s\n", qPrintable(loadAverage()));
    return status;
}
