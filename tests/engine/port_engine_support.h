// A bench for the port engine: a temporary program directory, the simulated network on a
// manual clock, a registry, a recording port view and recording messages; scenarios written
// as working copies; engines driven step by step to their end; the protocol file read back.
#pragma once

#include "core/clocks.h"
#include "core/program_dir.h"
#include "core/text_codec.h"
#include "engine/port/port_engine.h"
#include "engine/registry/port_registry.h"
#include "scenario/ole_date.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_templates.h"
#include "scenario/tel_number.h"
#include "sim/sim_config.h"
#include "sim/sim_link_port.h"
#include "support/plain_number.h"
#include "support/recording_messages.h"
#include "support/recording_port_view.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QMutex>

#include <functional>

#include <map>
#include <memory>
#include <vector>

// Readable texts in the failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace zev7::porttest {

inline constexpr int kCaller = 1;
inline constexpr int kStation = 2;
inline constexpr int kSecondCaller = 3;
// More steps than any scenario of these tests needs: a run that does not end is a fault.
inline constexpr int kStepLimit = 2'000'000;

using test::plainNumber;

inline TelNumber numberFromFields(std::initializer_list<const char*> fields) {
    TelNumber n{};
    int i = 0;
    for (const char* f : fields) {
        setNumberField(n, i++, QString::fromUtf8(f));
    }
    rebuildNumberText(n);
    return n;
}

// A serial port that remembers what was written and every read's time-out.
class RecordingLinkPort : public CommPort {
public:
    struct Read {
        std::int64_t n = 0;
        int timeoutMs = 0;
        QByteArray written;  // the last write before this read
    };

    explicit RecordingLinkPort(std::unique_ptr<CommPort> inner) : inner_(std::move(inner)) {}
    bool open(const LineSettings& s) override { return inner_->open(s); }
    OpenFailure openFailure() const override { return inner_->openFailure(); }
    bool isOpen() const override { return inner_->isOpen(); }
    bool purge() override { return inner_->purge(); }
    std::int64_t write(const QByteArray& data) override {
        lastWrite_ = data;
        return inner_->write(data);
    }
    bool flush() override { return inner_->flush(); }
    QByteArray read(std::int64_t n, int timeoutMs) override {
        reads.push_back({n, timeoutMs, lastWrite_});
        return inner_->read(n, timeoutMs);
    }
    std::int64_t bytesPending() override { return inner_->bytesPending(); }
    ModemStatus modemStatus() override { return inner_->modemStatus(); }
    void close() override { inner_->close(); }
    QString errorString() const override { return inner_->errorString(); }

    std::vector<Read> reads;

private:
    std::unique_ptr<CommPort> inner_;
    QByteArray lastWrite_;
};

// The manual clock with a hook that runs after every sleep: a test changes the network at a
// moment of its choosing while the engine waits.
class HookClock : public ManualClock {
public:
    void sleepMs(std::int64_t ms) override {
        ManualClock::sleepMs(ms);
        if (onSleep) {
            onSleep(tickMs());
        }
    }
    std::function<void(std::int64_t)> onSleep;
};

// What the result writer was given, call by call.
struct SinkRecord {
    int port = 0;
    bool finish = false;  // FinishResultReport rather than a section
    ResultSection mode = ResultSection::ReportHead;
    int cycleNumber = 0;
    int callNumber = 0;
    int executionNumber = 0;
    double cycleStart = 0.0;
    int calls = 0;
    int outcome = resultCodeValue(ResultCode::None);
    bool endedEarly = false;
    bool interrupted = false;
    QString inNumber;
    QString verdict;
};

class RecordingResultSink : public ResultSink {
public:
    RecordingResultSink(std::vector<SinkRecord>& records, std::vector<int>& deletions)
        : records_(records), deletions_(deletions) {}
    void deleteOldResults(int port) override { deletions_.push_back(port); }
    void WriteResultSection(ResultSection mode, const ResultContext& c) override {
        records_.push_back(record(false, mode, c));
    }
    void FinishResultReport(const ResultContext& c) override {
        records_.push_back(record(true, ResultSection::ReportHead, c));
    }

private:
    static SinkRecord record(bool finish, ResultSection mode, const ResultContext& c) {
        SinkRecord r;
        r.port = c.port;
        r.finish = finish;
        r.mode = mode;
        r.cycleNumber = c.cycleNumber;
        r.callNumber = c.callNumber;
        r.executionNumber = c.executionNumber;
        r.cycleStart = c.statistics->cycleStart();
        r.calls = c.statistics->calls();
        r.outcome = resultCodeValue(c.call->outcome);
        r.endedEarly = c.endedEarly;
        r.interrupted = c.interrupted;
        r.inNumber = c.cycle != nullptr ? numberText(c.cycle->inNumber) : QString();
        r.verdict = c.summary[kSummaryVerdictRow - 1][1];
        return r;
    }
    std::vector<SinkRecord>& records_;
    std::vector<int>& deletions_;
};

struct Traffic {
    double s = 0.0;  // seconds on the clock
    int port = 0;
    bool toModem = true;
    QByteArray bytes;
};

class PortBench : public ::testing::Test {
protected:
    explicit PortBench(const SimConfig& config = SimConfig::demo()) : config_(config) {
        EXPECT_TRUE(home_.isValid());
        network_ = buildNetwork(config_, clock_);
        network_->setTrafficLog([this](const TrafficEntry& e) {
            traffic_.push_back({usToSeconds(e.timeUs), e.port, e.toModem, e.bytes});
        });
    }

    // The demo scenario: outgoing 1111111, one cycle calling 2222222 with 5..20 attempts.
    ScenarHeader header() const {
        ScenarHeader h = templateHeader(toOleDate(clock_.now()));
        h.outNumber = plainNumber("1111111");
        return h;
    }
    CycleRecord cycle(const char* number = "2222222") const {
        CycleRecord c = templateCycle();
        c.inNumber = plainNumber(number);
        c.minAttempts = 5;
        c.maxAttempts = 20;
        c.state = static_cast<std::int32_t>(CycleState::Waiting);
        return c;
    }

    void writeScenario(int port, ScenarHeader h, const std::vector<CycleRecord>& cycles) {
        ASSERT_TRUE(writeScenarioFile(workingCopyPath(port), h, cycles, messages_));
    }

    PortServices services() {
        PortServices s{clock_, messages_, view_, registry_, {}, {}};
        s.makeResults = [this](int) -> std::unique_ptr<ResultSink> {
            return std::make_unique<RecordingResultSink>(results_, deletions_);
        };
        s.makePort = [this](int port) -> std::unique_ptr<CommPort> {
            auto link =
                std::make_unique<RecordingLinkPort>(std::make_unique<SimLinkPort>(*network_, port));
            links_[port] = link.get();
            return link;
        };
        return s;
    }

    std::unique_ptr<PortEngine> engine(int port) {
        return std::make_unique<PortEngine>(port, services());
    }

    // load, open and run to the end; false when the step limit was reached.
    bool run(PortEngine& e) {
        if (e.load() == ScenarioLoad::Loaded) {
            e.open();
        }
        for (int i = 0; i < kStepLimit; ++i) {
            if (!e.runOnce()) {
                return true;
            }
        }
        return false;
    }
    // Steps until the condition holds or the run ends.
    template <class Pred>
    bool stepUntil(PortEngine& e, Pred pred) {
        for (int i = 0; i < kStepLimit; ++i) {
            if (pred()) {
                return true;
            }
            if (!e.runOnce()) {
                return pred();
            }
        }
        return false;
    }

    QStringList protocolFile(int port) const {
        QFile f(programPath(QStringLiteral("Protocol\\ProtocolComPort") + QString::number(port) +
                            QStringLiteral(".txt")));
        if (!f.open(QIODevice::ReadOnly)) {
            return {};
        }
        QStringList lines = fromCp1251(f.readAll()).split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty()) {
            lines.removeLast();
        }
        return lines;
    }

    // The protocol's messages: the lines without their date, time and port prefix.
    QStringList messagesOf(const QStringList& lines) const {
        QStringList out;
        for (const QString& l : lines) {
            const qsizetype i = l.indexOf(QStringLiteral("Порт: "));
            const qsizetype j = i < 0 ? -1 : l.indexOf(QLatin1Char(' '), i + 6);
            out.append(j < 0 ? l : l.mid(j + 1).trimmed());
        }
        return out;
    }

    // The result sections written, in order (FinishResultReport as -1).
    std::vector<int> sections() const {
        std::vector<int> out;
        for (const SinkRecord& r : results_) {
            out.push_back(r.finish ? -1 : static_cast<int>(r.mode));
        }
        return out;
    }

    // The outcomes of the calls written to the results, in order.
    std::vector<int> callOutcomes() const {
        std::vector<int> out;
        for (const SinkRecord& r : results_) {
            if (!r.finish && r.mode == ResultSection::CallRow) {
                out.push_back(r.outcome);
            }
        }
        return out;
    }

    // Command lines the program sent to a port's modem.
    QList<QByteArray> commands(int port) const {
        QList<QByteArray> out;
        for (const Traffic& t : traffic_) {
            if (t.port == port && t.toModem) {
                out.append(t.bytes);
            }
        }
        return out;
    }

    // The modem's reply to the next "ATH0" sent while `armed` holds loses its last byte, once:
    // that hang-up fails.
    void cutOnHookReplyOnce(int port, std::function<bool()> armed = {}) {
        network_->setReplyFilter(
            port, [this, port, armed, done = false](const QByteArray& reply) mutable {
                if (done || lastCommand(port) != "ATH0\r" || (armed && !armed())) {
                    return reply;
                }
                done = true;
                return reply.chopped(1);
            });
    }
    QByteArray lastCommand(int port) const {
        for (auto t = traffic_.rbegin(); t != traffic_.rend(); ++t) {
            if (t->port == port && t->toModem) {
                return t->bytes;
            }
        }
        return {};
    }

    std::vector<CycleRecord> workingCopyCycles(int port) const {
        return readScenarioFile(workingCopyPath(port)).cycles;
    }
    ScenarHeader workingCopyHeader(int port) const {
        return readScenarioFile(workingCopyPath(port)).header;
    }

    SimConfig config_;
    test::TempHome home_{test::TempHome::WithFolders};
    HookClock clock_;
    std::unique_ptr<SimNetwork> network_;
    PortRegistry registry_;
    RecordingPortView view_;
    RecordingMessages messages_;
    std::vector<Traffic> traffic_;
    std::vector<SinkRecord> results_;
    std::vector<int> deletions_;
    std::map<int, RecordingLinkPort*> links_;
};

// The station of the demo network with other answering settings.
inline SimConfig stationConfig(double durationS, double delayOffS = 4.0, int toneBand = 0) {
    SimConfig c = SimConfig::demo();
    AnswerSettingsSpec a;
    a.durationS = durationS;
    a.delayOffS = delayOffS;
    a.toneBand = toneBand;
    for (SimModemSpec& m : c.modems) {
        if (m.port == kStation) {
            applyAnswerSettings(m.profile, a);
        }
    }
    return c;
}

}  // namespace zev7::porttest
