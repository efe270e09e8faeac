// The simulated telephone network: measuring modems with subscriber numbers on lines of one
// exchange. It gives dial tone, collects the dialled digits stage by stage, routes a call to
// the modem whose number the digits end with, rings it with ringback to the caller, connects
// the two with the line's attenuation, lets an answering station run its answer signal and
// release, and sends clear-back. Faults can be drawn or injected for every loss outcome.
//
// Time is the engine clock's, in microseconds. Nothing runs by itself: every call on the
// network first brings it up to the clock's present moment, so a manual clock that jumps
// works, and every modem sees events in the order of their times. All public members are
// thread-safe; the traffic-log sink is called under the network's lock and must not call back.
#pragma once

#include "core/clock.h"
#include "sim/fault_injector.h"
#include "sim/modem_line.h"
#include "sim/sim_modem.h"

#include <QList>
#include <QString>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace zev7 {

struct SimNetworkSettings {
    double attenuationDb = 6.0;  // between any two modems, both ways
    double dialToneDbm = -10.0;
    double ringbackDbm = -10.0;
    double busyDbm = -10.0;
    double congestionDbm = -10.0;
    double clearBackDbm = -10.0;
    // A line that has dialled digits reaching nobody keeps its dial tone this long for more
    // digits, then gets busy tone.
    SimUs digitWait = 20 * kUsPerSecond;
    std::uint64_t seed = 1;
    FaultProbabilities faults{};
};

struct SimModemSpec {
    int port = 1;         // COM<port>
    QByteArray number{};  // subscriber number, digits
    SimModel model = SimModel::Lx;
    int gain = kDefaultModemGain;
    ModemProfile profile = ModemProfile::factory();  // stored, and loaded at start
};

class SimNetwork : private ModemLine {
public:
    using TrafficSink = std::function<void(const TrafficEntry&)>;

    explicit SimNetwork(Clock& clock, const SimNetworkSettings& settings = {});
    ~SimNetwork() override;
    SimNetwork(const SimNetwork&) = delete;
    SimNetwork& operator=(const SimNetwork&) = delete;

    Clock& clock() const { return clock_; }
    SimNetworkSettings settings() const;

    // ---- Building -------------------------------------------------------------------------
    // False (with the reason) for a port already taken or outside 1..64.
    bool addModem(const SimModemSpec& spec, QString* error = nullptr);
    QList<int> ports() const;
    bool hasModem(int port) const;
    QByteArray number(int port) const;

    // ---- Faults and test switches ---------------------------------------------------------
    void setFaultProbability(SimFault fault, double p);
    // The next decision of the fault's kind takes it, whatever the probabilities say.
    void injectFault(SimFault fault);
    void setUnplugged(int port, bool unplugged);
    void setSilent(int port, bool silent);
    void setReplyFilter(int port, SimModem::ReplyFilter filter);
    void setTrafficLog(TrafficSink sink);

    // ---- Looking at the lines (now) -------------------------------------------------------
    SimUs nowUs();
    std::optional<Tone> heardTone(int port);
    // The level the port's line carries through the filter, nullopt for silence in that band.
    std::optional<double> heardLevel(int port, BandFilter filter);
    // What the port's modem sends into its line now (its answer signal or generated tone).
    std::optional<Tone> sentTone(int port);
    bool isOffHook(int port);
    int ringCount(int port);
    ModemProfile profile(int port);
    ModemProfile storedProfile(int port);

    // ---- The serial side, for SimLinkPort and the pseudo-terminal host -------------------
    // One user at a time: false when the port is attached already (or has no modem).
    bool attach(int port);
    void detach(int port);
    // Puts bytes on the line to the modem now (or from `start`, when that is earlier: the
    // moment the computer wrote them); returns when the last one will have arrived.
    SimUs sendToModem(int port, const QByteArray& bytes, SimUs start = kNever);
    // Bytes from the modem that have arrived by now, at most max.
    QByteArray takeFromModem(int port, qsizetype max);
    // On a clock that runs by itself: waits until `count` bytes from the modem have arrived or
    // the clock reaches deadline, and takes at most `count` of them. The wait ends early when
    // the modem sends, and wakes by itself only for this port's own events.
    QByteArray waitFromModem(int port, qsizetype count, SimUs deadline);
    qsizetype pendingFromModem(int port);
    // When the index-th waiting byte from the modem arrives; kNever when not sent yet.
    SimUs arrivalFromModem(int port, qsizetype index);
    // When the run of back-to-back bytes from the modem that starts with the oldest waiting
    // byte has arrived, counting at most `most` bytes; kNever when nothing waits.
    SimUs runFromModem(int port, qsizetype most);
    // The ports whose modems have put bytes on the line (or lost them) since the last call.
    std::vector<int> takeOutputChanges();
    // Whether a port has put bytes on the line since the last takeOutputChanges(), without
    // moving the network on: what the network did while being asked something else.
    bool hasOutputChanges();
    // The next moment something happens anywhere in the network; kNever when nothing waits.
    SimUs nextEventUs();
    // Drops what has arrived from the modem (receive) and what has not started towards it
    // (transmit), as a serial port's purge does.
    void purge(int port, bool receive, bool transmit);
    bool ctsOn(int port);
    SimUs inputIdleAt(int port);
    // Brings the network up to the clock.
    void advance();

private:
    struct LineSource {
        enum class Kind { Silence, Tone, FarEnd };
        Kind kind = Kind::Silence;
        CadencedTone tone;
        int farPort = 0;
    };
    struct Subscriber {
        int port = 0;
        QByteArray number;
        std::unique_ptr<SimModem> modem;
        bool offHook = false;
        LineSource line;
        std::optional<Tone> answerTone;
        std::uint64_t callId = 0;
        // When events that make this modem send fall due (its resumes, its rings).
        std::multiset<SimUs> sendingEvents;
        // Signalled when the modem has sent, for a reader waiting on the port.
        std::condition_variable sent;
    };
    struct Call {
        enum class Phase { DialTone, AwaitDigits, Dialling, Failed, Ringing, Connected, Cleared };
        std::uint64_t id = 0;
        int caller = 0;
        int callee = 0;
        Phase phase = Phase::DialTone;
        QByteArray digits;
        std::uint64_t dialEpoch = 0;  // stages of a dial that was stopped are dropped
        std::uint64_t epoch = 0;      // everything else scheduled for the call
        AnswerPlan plan;
        std::optional<SimFault> answerFault;
        bool listening = false;
    };
    struct Event {
        enum class Kind {
            Resume,
            StageStart,
            StageEnd,
            Ring,
            ToneOn,
            ToneOff,
            Release,
            DigitTimeout
        };
        Kind kind = Kind::Resume;
        int port = 0;
        std::uint64_t callId = 0;
        std::uint64_t token = 0;  // Resume: the modem's line; the others: the call's epoch
        QByteArray digits;
    };

    // ModemLine, called by the modems under the lock.
    void offHook(int port, SimUs t) override;
    void onHook(int port, SimUs t) override;
    bool isOffHook(int port) const override;
    void dial(int port, SimUs t, const DialPlan& plan) override;
    void cancelDial(int port, SimUs t) override;
    bool answer(int port, SimUs t) override;
    void resumeAt(int port, SimUs t, std::uint64_t token) override;
    void transmitChanged(int port, SimUs t) override;
    std::optional<Tone> heard(int port, SimUs t) const override;
    void log(const TrafficEntry& entry) override;
    void outputQueued(int port) override;

    SimUs nowLocked() const;
    SimUs nextEventLocked();
    void inputChanged(const Subscriber& s);
    void advanceLocked(SimUs t);
    void process(const Event& e, SimUs t);
    void schedule(SimUs t, Event e);
    // The port whose modem an event makes send (a resume, a ring), or 0.
    static int sendingPort(const Event& e);
    Subscriber* find(int port);
    const Subscriber* find(int port) const;
    Call* callOf(const Subscriber& s);
    Call* findCall(std::uint64_t id, std::uint64_t epoch);

    void startCall(Subscriber& s, SimUs t);
    void route(Call& c, SimUs t);
    void ring(Call& c, SimUs t);
    void connect(Call& c, SimUs t, bool withAnswerSignal);
    void toneOff(Call& c, SimUs t);
    void checkHearing(Call& c, SimUs t);
    void releaseByCallee(Call& c, SimUs t);
    void endCall(Call& c);
    void failLine(Subscriber& s, SimFault fault, SimUs t);
    std::optional<Tone> transmitOf(const Subscriber& s) const;
    Subscriber* findByDigits(const QByteArray& digits);
    static void setSilence(Subscriber& s);
    static void setTone(Subscriber& s, const CadencedTone& tone);

    mutable std::mutex mutex_;
    Clock& clock_;
    SimNetworkSettings settings_;
    FaultInjector faults_;
    std::map<int, Subscriber> subscribers_;
    std::map<std::uint64_t, Call> calls_;
    std::multimap<std::pair<SimUs, std::uint64_t>, Event> events_;
    // The next byte on its way to each modem, earliest first: (arrival, port). An entry whose
    // modem has another next byte by now is stale and dropped when met.
    std::set<std::pair<SimUs, int>> inputs_;
    std::vector<int> outputChanges_;
    std::vector<bool> outputChanged_;
    std::uint64_t nextSequence_ = 0;
    std::uint64_t nextCallId_ = 1;
    SimUs processed_ = 0;
    TrafficSink sink_;
};

}  // namespace zev7
