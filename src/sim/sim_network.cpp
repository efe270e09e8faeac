#include "sim/sim_network.h"

#include "core/strings.h"
#include "teliq/frequency_band.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace zev7 {

namespace {

constexpr int kMinPort = 1;
constexpr int kMaxPort = 64;

}  // namespace

SimNetwork::SimNetwork(Clock& clock, const SimNetworkSettings& settings)
    : clock_(clock), settings_(settings), faults_(settings.seed) {
    faults_.setProbabilities(settings.faults);
}

SimNetwork::~SimNetwork() = default;

SimNetworkSettings SimNetwork::settings() const {
    std::lock_guard lock(mutex_);
    return settings_;
}

// ---- Building ------------------------------------------------------------------------------

bool SimNetwork::addModem(const SimModemSpec& spec, QString* error) {
    std::lock_guard lock(mutex_);
    QString why;
    if (spec.port < kMinPort || spec.port > kMaxPort) {
        why = txt(str::SimPortRange).arg(spec.port);
    } else if (subscribers_.count(spec.port) != 0) {
        why = txt(str::SimPortTaken).arg(spec.port);
    }
    if (!why.isEmpty()) {
        if (error != nullptr) {
            *error = why;
        }
        return false;
    }
    Subscriber& s = subscribers_[spec.port];
    s.port = spec.port;
    s.number = spec.number;
    s.modem = std::make_unique<SimModem>(spec.port, spec.model, static_cast<ModemLine&>(*this));
    s.modem->setStoredProfile(spec.profile);
    s.modem->setGain(spec.gain);
    return true;
}

QList<int> SimNetwork::ports() const {
    std::lock_guard lock(mutex_);
    QList<int> out;
    for (const auto& [port, s] : subscribers_) {
        out.append(port);
    }
    return out;
}

bool SimNetwork::hasModem(int port) const {
    std::lock_guard lock(mutex_);
    return find(port) != nullptr;
}

QByteArray SimNetwork::number(int port) const {
    std::lock_guard lock(mutex_);
    const Subscriber* s = find(port);
    return s != nullptr ? s->number : QByteArray();
}

// ---- Faults and switches -------------------------------------------------------------------

void SimNetwork::setFaultProbability(SimFault fault, double p) {
    std::lock_guard lock(mutex_);
    faults_.setProbability(fault, p);
}

void SimNetwork::injectFault(SimFault fault) {
    std::lock_guard lock(mutex_);
    faults_.injectOnce(fault);
}

void SimNetwork::setUnplugged(int port, bool unplugged) {
    std::lock_guard lock(mutex_);
    advanceLocked(nowLocked());
    if (Subscriber* s = find(port)) {
        s->modem->setUnplugged(unplugged);
        if (unplugged) {
            // Whatever was on the cable is lost with it.
            s->modem->input().clear();
            s->modem->output().clear();
            outputQueued(port);
        }
    }
}

void SimNetwork::setSilent(int port, bool silent) {
    std::lock_guard lock(mutex_);
    advanceLocked(nowLocked());
    if (Subscriber* s = find(port)) {
        s->modem->setSilent(silent);
    }
}

void SimNetwork::setReplyFilter(int port, SimModem::ReplyFilter filter) {
    std::lock_guard lock(mutex_);
    if (Subscriber* s = find(port)) {
        s->modem->setReplyFilter(std::move(filter));
    }
}

void SimNetwork::setTrafficLog(TrafficSink sink) {
    std::lock_guard lock(mutex_);
    sink_ = std::move(sink);
}

// ---- Looking at the lines ------------------------------------------------------------------

SimUs SimNetwork::nowUs() {
    std::lock_guard lock(mutex_);
    const SimUs now = nowLocked();
    advanceLocked(now);
    return now;
}

std::optional<Tone> SimNetwork::heardTone(int port) {
    std::lock_guard lock(mutex_);
    const SimUs now = nowLocked();
    advanceLocked(now);
    return find(port) != nullptr ? heard(port, now) : std::nullopt;
}

std::optional<double> SimNetwork::heardLevel(int port, BandFilter filter) {
    const std::optional<Tone> tone = heardTone(port);
    if (!tone || !filterHears(filter, tone->hz)) {
        return std::nullopt;
    }
    return tone->levelDbm;
}

std::optional<Tone> SimNetwork::sentTone(int port) {
    std::lock_guard lock(mutex_);
    advanceLocked(nowLocked());
    const Subscriber* s = find(port);
    return s != nullptr ? transmitOf(*s) : std::nullopt;
}

bool SimNetwork::isOffHook(int port) {
    std::lock_guard lock(mutex_);
    advanceLocked(nowLocked());
    const Subscriber* s = find(port);
    return s != nullptr && s->offHook;
}

int SimNetwork::ringCount(int port) {
    std::lock_guard lock(mutex_);
    advanceLocked(nowLocked());
    const Subscriber* s = find(port);
    return s != nullptr ? s->modem->ringCount() : 0;
}

ModemProfile SimNetwork::profile(int port) {
    std::lock_guard lock(mutex_);
    advanceLocked(nowLocked());
    const Subscriber* s = find(port);
    return s != nullptr ? s->modem->profile() : ModemProfile{};
}

ModemProfile SimNetwork::storedProfile(int port) {
    std::lock_guard lock(mutex_);
    advanceLocked(nowLocked());
    const Subscriber* s = find(port);
    return s != nullptr ? s->modem->storedProfile() : ModemProfile{};
}

// ---- Serial side ---------------------------------------------------------------------------

bool SimNetwork::attach(int port) {
    std::lock_guard lock(mutex_);
    advanceLocked(nowLocked());
    Subscriber* s = find(port);
    if (s == nullptr || s->modem->attached()) {
        return false;
    }
    s->modem->setAttached(true);
    s->modem->output().clear();
    outputQueued(port);
    return true;
}

void SimNetwork::detach(int port) {
    std::lock_guard lock(mutex_);
    advanceLocked(nowLocked());
    if (Subscriber* s = find(port)) {
        s->modem->setAttached(false);
        s->modem->output().clear();
        outputQueued(port);
    }
}

SimUs SimNetwork::sendToModem(int port, const QByteArray& bytes, SimUs start) {
    std::lock_guard lock(mutex_);
    const SimUs now = nowLocked();
    advanceLocked(now);
    Subscriber* s = find(port);
    if (s == nullptr || s->modem->unplugged()) {
        return now;
    }
    s->modem->input().send(bytes, std::min(start, now));
    inputChanged(*s);
    return s->modem->input().idleAt();
}

QByteArray SimNetwork::takeFromModem(int port, qsizetype max) {
    std::lock_guard lock(mutex_);
    const SimUs now = nowLocked();
    advanceLocked(now);
    Subscriber* s = find(port);
    return s != nullptr ? s->modem->output().take(now, max) : QByteArray();
}

qsizetype SimNetwork::pendingFromModem(int port) {
    std::lock_guard lock(mutex_);
    const SimUs now = nowLocked();
    advanceLocked(now);
    Subscriber* s = find(port);
    return s != nullptr ? s->modem->output().arrived(now) : 0;
}

SimUs SimNetwork::arrivalFromModem(int port, qsizetype index) {
    std::lock_guard lock(mutex_);
    advanceLocked(nowLocked());
    Subscriber* s = find(port);
    return s != nullptr ? s->modem->output().arrivalOf(index) : kNever;
}

QByteArray SimNetwork::waitFromModem(int port, qsizetype count, SimUs deadline) {
    std::unique_lock lock(mutex_);
    const double scale = clock_.scale() > 0.0 ? clock_.scale() : 1.0;
    for (;;) {
        const SimUs now = nowLocked();
        advanceLocked(now);
        Subscriber* s = find(port);
        if (s == nullptr) {
            return {};
        }
        SerialWire& output = s->modem->output();
        if (output.arrived(now) >= count || now >= deadline) {
            return output.take(now, count);
        }
        // Whatever the modem sends next comes one byte time after its cause at the earliest.
        SimUs wake = std::min(deadline, output.arrivalOf(count - 1));
        if (const SimUs input = s->modem->nextInputUs(); input != kNever) {
            wake = std::min(wake, input + kByteUs);
        }
        if (!s->sendingEvents.empty()) {
            wake = std::min(wake, *s->sendingEvents.begin() + kByteUs);
        }
        const auto realUs = static_cast<std::int64_t>(
            std::ceil(static_cast<double>(std::max<SimUs>(wake - now, 1)) / scale));
        s->sent.wait_for(lock, std::chrono::microseconds(realUs));
    }
}

SimUs SimNetwork::runFromModem(int port, qsizetype most) {
    std::lock_guard lock(mutex_);
    advanceLocked(nowLocked());
    Subscriber* s = find(port);
    return s != nullptr ? s->modem->output().runArrival(most) : kNever;
}

std::vector<int> SimNetwork::takeOutputChanges() {
    std::lock_guard lock(mutex_);
    advanceLocked(nowLocked());
    std::vector<int> out;
    out.swap(outputChanges_);
    for (int port : out) {
        outputChanged_[static_cast<std::size_t>(port)] = false;
    }
    return out;
}

bool SimNetwork::hasOutputChanges() {
    std::lock_guard lock(mutex_);
    return !outputChanges_.empty();
}

SimUs SimNetwork::nextEventUs() {
    std::lock_guard lock(mutex_);
    advanceLocked(nowLocked());
    return nextEventLocked();
}

void SimNetwork::purge(int port, bool receive, bool transmit) {
    std::lock_guard lock(mutex_);
    const SimUs now = nowLocked();
    advanceLocked(now);
    if (Subscriber* s = find(port)) {
        if (receive) {
            s->modem->output().dropArrived(now);
        }
        if (transmit) {
            s->modem->input().dropNotStarted(now);
            inputChanged(*s);
        }
    }
}

bool SimNetwork::ctsOn(int port) {
    std::lock_guard lock(mutex_);
    const Subscriber* s = find(port);
    return s != nullptr && !s->modem->unplugged();
}

SimUs SimNetwork::inputIdleAt(int port) {
    std::lock_guard lock(mutex_);
    const Subscriber* s = find(port);
    return s != nullptr ? s->modem->input().idleAt() : 0;
}

void SimNetwork::advance() {
    std::lock_guard lock(mutex_);
    advanceLocked(nowLocked());
}

// ---- Time ----------------------------------------------------------------------------------

SimUs SimNetwork::nowLocked() const {
    // Never behind what has been processed: another thread may have moved the network on
    // between this thread's reading of the clock and its taking the lock.
    return std::max(clock_.tickUs(), processed_);
}

SimUs SimNetwork::nextEventLocked() {
    // Stale entries at the front go; the first valid one is the next byte anywhere.
    while (!inputs_.empty()) {
        const auto [arrival, port] = *inputs_.begin();
        const Subscriber* s = find(port);
        if (s != nullptr && s->modem->nextInputUs() == arrival) {
            break;
        }
        inputs_.erase(inputs_.begin());
    }
    const SimUs event = events_.empty() ? kNever : events_.begin()->first.first;
    const SimUs byte = inputs_.empty() ? kNever : inputs_.begin()->first;
    return std::min(event, byte);
}

void SimNetwork::inputChanged(const Subscriber& s) {
    const SimUs next = s.modem->nextInputUs();
    if (next != kNever) {
        inputs_.emplace(next, s.port);
    }
}

void SimNetwork::outputQueued(int port) {
    if (port < 0 || port > kMaxPort) {
        return;
    }
    if (outputChanged_.empty()) {
        outputChanged_.assign(kMaxPort + 1, false);
    }
    if (!outputChanged_[static_cast<std::size_t>(port)]) {
        outputChanged_[static_cast<std::size_t>(port)] = true;
        outputChanges_.push_back(port);
    }
    if (Subscriber* s = find(port)) {
        s->sent.notify_all();
    }
}

void SimNetwork::advanceLocked(SimUs t) {
    for (;;) {
        const SimUs next = nextEventLocked();
        if (next > t) {
            break;
        }
        processed_ = std::max(processed_, next);
        // A byte and an event at the same moment: the event first.
        const bool eventFirst = !events_.empty() && events_.begin()->first.first <= next;
        if (!eventFirst) {
            const int port = inputs_.begin()->second;
            inputs_.erase(inputs_.begin());
            Subscriber& s = *find(port);
            s.modem->receiveNext();
            inputChanged(s);
            continue;
        }
        const auto first = events_.begin();
        const Event e = first->second;
        events_.erase(first);
        if (Subscriber* s = find(sendingPort(e))) {
            if (const auto it = s->sendingEvents.find(next); it != s->sendingEvents.end()) {
                s->sendingEvents.erase(it);
            }
        }
        process(e, next);
    }
    processed_ = std::max(processed_, t);
}

void SimNetwork::schedule(SimUs t, Event e) {
    if (Subscriber* s = find(sendingPort(e))) {
        s->sendingEvents.insert(t);
    }
    events_.emplace(std::make_pair(t, nextSequence_++), std::move(e));
}

int SimNetwork::sendingPort(const Event& e) {
    return e.kind == Event::Kind::Resume || e.kind == Event::Kind::Ring ? e.port : 0;
}

void SimNetwork::process(const Event& e, SimUs t) {
    if (e.kind == Event::Kind::Resume) {
        if (Subscriber* s = find(e.port)) {
            s->modem->resume(e.token, t);
        }
        return;
    }
    if (e.kind == Event::Kind::StageStart || e.kind == Event::Kind::StageEnd) {
        const auto it = calls_.find(e.callId);
        if (it == calls_.end() || it->second.dialEpoch != e.token) {
            return;
        }
        Call& c = it->second;
        if (e.kind == Event::Kind::StageStart) {
            if (c.phase == Call::Phase::DialTone || c.phase == Call::Phase::AwaitDigits) {
                // The first digit ends the dial tone.
                c.phase = Call::Phase::Dialling;
                ++c.epoch;
                setSilence(*find(c.caller));
            }
        } else if (c.phase == Call::Phase::Dialling) {
            c.digits += e.digits;
            route(c, t);
        }
        return;
    }
    Call* c = findCall(e.callId, e.token);
    if (c == nullptr) {
        return;
    }
    switch (e.kind) {
        case Event::Kind::Ring:
            if (c->phase == Call::Phase::Ringing) {
                ring(*c, t);
            }
            break;
        case Event::Kind::ToneOn:
            if (c->phase == Call::Phase::Connected) {
                find(c->callee)->answerTone = c->plan.tone;
                if (c->answerFault != SimFault::LongAnswerSignal) {
                    schedule(t + c->plan.duration,
                             {Event::Kind::ToneOff, 0, c->id, c->epoch, QByteArray()});
                }
            }
            break;
        case Event::Kind::ToneOff:
            if (c->phase == Call::Phase::Connected) {
                toneOff(*c, t);
            }
            break;
        case Event::Kind::Release:
            if (c->phase == Call::Phase::Connected) {
                releaseByCallee(*c, t);
            }
            break;
        case Event::Kind::DigitTimeout:
            if (c->phase == Call::Phase::AwaitDigits) {
                // The exchange gave up waiting for more digits.
                setTone(*find(c->caller), busyTone(settings_.busyDbm, t));
                c->phase = Call::Phase::Failed;
            }
            break;
        default:
            break;
    }
}

// ---- Lookup --------------------------------------------------------------------------------

SimNetwork::Subscriber* SimNetwork::find(int port) {
    const auto it = subscribers_.find(port);
    return it != subscribers_.end() ? &it->second : nullptr;
}

const SimNetwork::Subscriber* SimNetwork::find(int port) const {
    const auto it = subscribers_.find(port);
    return it != subscribers_.end() ? &it->second : nullptr;
}

SimNetwork::Call* SimNetwork::callOf(const Subscriber& s) {
    const auto it = calls_.find(s.callId);
    return it != calls_.end() ? &it->second : nullptr;
}

SimNetwork::Call* SimNetwork::findCall(std::uint64_t id, std::uint64_t epoch) {
    const auto it = calls_.find(id);
    return it != calls_.end() && it->second.epoch == epoch ? &it->second : nullptr;
}

SimNetwork::Subscriber* SimNetwork::findByDigits(const QByteArray& digits) {
    Subscriber* best = nullptr;
    for (auto& [port, s] : subscribers_) {
        if (!s.number.isEmpty() && digits.endsWith(s.number) &&
            (best == nullptr || s.number.size() > best->number.size())) {
            best = &s;
        }
    }
    return best;
}

// ---- The modems' side of the line ----------------------------------------------------------

void SimNetwork::offHook(int port, SimUs t) {
    Subscriber* s = find(port);
    if (s == nullptr || s->offHook) {
        return;
    }
    s->offHook = true;
    if (Call* c = callOf(*s)) {
        // Lifting the handset on a ringing line takes the call, without an answer signal.
        if (c->phase == Call::Phase::Ringing && c->callee == port) {
            connect(*c, t, false);
        }
        return;
    }
    startCall(*s, t);
}

void SimNetwork::onHook(int port, SimUs t) {
    Subscriber* s = find(port);
    if (s == nullptr || !s->offHook) {
        return;
    }
    s->offHook = false;
    s->answerTone.reset();
    setSilence(*s);
    Call* c = callOf(*s);
    if (c == nullptr) {
        return;
    }
    if (c->caller == port) {
        endCall(*c);
    } else {
        releaseByCallee(*c, t);
    }
}

bool SimNetwork::isOffHook(int port) const {
    const Subscriber* s = find(port);
    return s != nullptr && s->offHook;
}

void SimNetwork::dial(int port, SimUs t, const DialPlan& plan) {
    Subscriber* s = find(port);
    if (s == nullptr) {
        return;
    }
    if (!s->offHook) {
        offHook(port, t);
    }
    Call* c = callOf(*s);
    if (c == nullptr || c->caller != port) {
        return;  // digits from an answered line go nowhere
    }
    ++c->dialEpoch;
    for (const DialStagePlan& stage : plan.stages) {
        if (stage.digits.isEmpty()) {
            continue;
        }
        schedule(stage.firstDigit, {Event::Kind::StageStart, 0, c->id, c->dialEpoch, {}});
        schedule(stage.end, {Event::Kind::StageEnd, 0, c->id, c->dialEpoch, stage.digits});
    }
}

void SimNetwork::cancelDial(int port, SimUs) {
    Subscriber* s = find(port);
    if (s == nullptr) {
        return;
    }
    if (Call* c = callOf(*s); c != nullptr && c->caller == port) {
        ++c->dialEpoch;
    }
}

bool SimNetwork::answer(int port, SimUs t) {
    Subscriber* s = find(port);
    if (s == nullptr) {
        return false;
    }
    Call* c = callOf(*s);
    if (c == nullptr || c->phase != Call::Phase::Ringing || c->callee != port) {
        return false;
    }
    s->offHook = true;
    connect(*c, t, s->modem->profile().answerSetup);
    return true;
}

void SimNetwork::resumeAt(int port, SimUs t, std::uint64_t token) {
    schedule(t, {Event::Kind::Resume, port, 0, token, {}});
}

void SimNetwork::transmitChanged(int port, SimUs t) {
    Subscriber* s = find(port);
    if (s == nullptr) {
        return;
    }
    if (Call* c = callOf(*s); c != nullptr && c->caller == port) {
        checkHearing(*c, t);
    }
}

std::optional<Tone> SimNetwork::heard(int port, SimUs t) const {
    const Subscriber* s = find(port);
    if (s == nullptr || !s->offHook) {
        return std::nullopt;
    }
    switch (s->line.kind) {
        case LineSource::Kind::Silence:
            return std::nullopt;
        case LineSource::Kind::Tone:
            return s->line.tone.onAt(t) ? std::optional<Tone>(s->line.tone.tone) : std::nullopt;
        case LineSource::Kind::FarEnd: {
            const Subscriber* far = find(s->line.farPort);
            std::optional<Tone> tone = far != nullptr ? transmitOf(*far) : std::nullopt;
            if (tone) {
                tone->levelDbm -= settings_.attenuationDb;
            }
            return tone;
        }
    }
    return std::nullopt;
}

void SimNetwork::log(const TrafficEntry& entry) {
    if (sink_) {
        sink_(entry);
    }
}

// ---- Calls ---------------------------------------------------------------------------------

void SimNetwork::startCall(Subscriber& s, SimUs t) {
    Call c;
    c.id = nextCallId_++;
    c.caller = s.port;
    s.callId = c.id;
    if (const auto fault = faults_.draw(FaultPoint::DialTone)) {
        failLine(s, *fault, t);
        c.phase = Call::Phase::Failed;
    } else {
        setTone(s, dialTone(settings_.dialToneDbm, t));
        c.phase = Call::Phase::DialTone;
    }
    calls_.emplace(c.id, c);
}

void SimNetwork::route(Call& c, SimUs t) {
    Subscriber& caller = *find(c.caller);
    Subscriber* callee = findByDigits(c.digits);
    if (callee == nullptr) {
        // Nobody yet: the exchange asks for more digits with a new dial tone.
        if (const auto fault = faults_.draw(FaultPoint::SecondDialTone)) {
            failLine(caller, *fault, t);
            c.phase = Call::Phase::Failed;
            return;
        }
        setTone(caller, dialTone(settings_.dialToneDbm, t));
        c.phase = Call::Phase::AwaitDigits;
        ++c.epoch;
        schedule(t + settings_.digitWait, {Event::Kind::DigitTimeout, 0, c.id, c.epoch, {}});
        return;
    }
    if (const auto fault = faults_.draw(FaultPoint::Ringback)) {
        failLine(caller, *fault, t);
        c.phase = Call::Phase::Failed;
        return;
    }
    if (callee == &caller || callee->offHook || callee->callId != 0) {
        setTone(caller, busyTone(settings_.busyDbm, t));
        c.phase = Call::Phase::Failed;
        return;
    }
    c.callee = callee->port;
    callee->callId = c.id;
    c.phase = Call::Phase::Ringing;
    ++c.epoch;
    setTone(caller, ringbackTone(settings_.ringbackDbm, t));
    ring(c, t);
}

void SimNetwork::ring(Call& c, SimUs t) {
    Subscriber& callee = *find(c.callee);
    callee.modem->ring(t);
    const AnswerPlan plan = callee.modem->answerPlan();
    if (plan.autoAnswer && callee.modem->ringCount() >= plan.rings) {
        callee.offHook = true;
        connect(c, t, true);
        return;
    }
    // Ring and ringback share the cadence: the next ring starts with the next burst.
    schedule(t + kRingPeriodUs, {Event::Kind::Ring, c.callee, c.id, c.epoch, {}});
}

void SimNetwork::connect(Call& c, SimUs t, bool withAnswerSignal) {
    Subscriber& caller = *find(c.caller);
    Subscriber& callee = *find(c.callee);
    callee.modem->ringsStopped();
    callee.offHook = true;
    c.phase = Call::Phase::Connected;
    ++c.epoch;
    caller.line = {LineSource::Kind::FarEnd, {}, callee.port};
    callee.line = {LineSource::Kind::FarEnd, {}, caller.port};
    if (!withAnswerSignal) {
        return;
    }
    c.plan = callee.modem->answerPlan();
    c.answerFault = faults_.draw(FaultPoint::Answer);
    if (c.answerFault == SimFault::NoAnswerSignal) {
        schedule(t + c.plan.delayOn + c.plan.duration,
                 {Event::Kind::ToneOff, 0, c.id, c.epoch, {}});
    } else {
        schedule(t + c.plan.delayOn, {Event::Kind::ToneOn, 0, c.id, c.epoch, {}});
    }
}

void SimNetwork::toneOff(Call& c, SimUs t) {
    find(c.callee)->answerTone.reset();
    c.listening = c.plan.toneBand != 0 && c.answerFault != SimFault::ToneNotHeard;
    schedule(t + c.plan.delayOff, {Event::Kind::Release, 0, c.id, c.epoch, {}});
    checkHearing(c, t);
}

void SimNetwork::checkHearing(Call& c, SimUs t) {
    if (!c.listening || c.phase != Call::Phase::Connected) {
        return;
    }
    const std::optional<Tone> tone = transmitOf(*find(c.caller));
    if (!tone || toneBandFor(tone->hz) != c.plan.toneBand ||
        tone->levelDbm - settings_.attenuationDb < c.plan.toneThresholdDbm) {
        return;
    }
    // The station heard the calling side: it releases at once.
    releaseByCallee(c, t);
}

void SimNetwork::releaseByCallee(Call& c, SimUs t) {
    Subscriber& callee = *find(c.callee);
    callee.offHook = false;
    callee.answerTone.reset();
    callee.callId = 0;
    setSilence(callee);
    c.phase = Call::Phase::Cleared;
    c.listening = false;
    ++c.epoch;
    Subscriber& caller = *find(c.caller);
    if (c.answerFault == SimFault::NoClearBack) {
        setSilence(caller);
    } else {
        setTone(caller, busyTone(settings_.clearBackDbm, t));
    }
}

void SimNetwork::endCall(Call& c) {
    if (Subscriber* callee = c.callee != 0 ? find(c.callee) : nullptr;
        callee != nullptr && callee->callId == c.id) {
        if (c.phase == Call::Phase::Ringing) {
            callee->modem->ringsStopped();
        } else if (c.phase == Call::Phase::Connected) {
            // The caller hung up first: the station's line is released with it.
            callee->offHook = false;
            callee->answerTone.reset();
            setSilence(*callee);
        }
        callee->callId = 0;
    }
    find(c.caller)->callId = 0;
    calls_.erase(c.id);
}

void SimNetwork::failLine(Subscriber& s, SimFault fault, SimUs t) {
    switch (fault) {
        case SimFault::BusyDialTone:
        case SimFault::BusySecondDialTone:
        case SimFault::BusyRingback:
            setTone(s, busyTone(settings_.busyDbm, t));
            break;
        case SimFault::CongestionDialTone:
        case SimFault::CongestionSecondDialTone:
        case SimFault::CongestionRingback:
            setTone(s, congestionTone(settings_.congestionDbm, t));
            break;
        default:
            setSilence(s);
            break;
    }
}

std::optional<Tone> SimNetwork::transmitOf(const Subscriber& s) const {
    if (!s.offHook) {
        return std::nullopt;
    }
    if (s.answerTone) {
        return s.answerTone;
    }
    return s.modem->generatorTone();
}

void SimNetwork::setSilence(Subscriber& s) {
    s.line = LineSource{};
}

void SimNetwork::setTone(Subscriber& s, const CadencedTone& tone) {
    s.line = {LineSource::Kind::Tone, tone, 0};
}

}  // namespace zev7
