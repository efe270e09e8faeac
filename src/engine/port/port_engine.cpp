#include "engine/port/port_engine.h"

#include "core/strings.h"
#include "engine/modem/modem_commands.h"
#include "engine/protocol/protocol_file.h"
#include "engine/protocol/protocol_line.h"
#include "engine/registry/port_registry.h"
#include "engine/view/port_view.h"
#include "scenario/ole_date.h"
#include "scenario/port_event.h"
#include "scenario/scenario_file.h"
#include "scenario/tel_number.h"
#include "teliq/level_decoder.h"

namespace zev7 {

namespace {

constexpr std::int32_t state(CycleState s) {
    return static_cast<std::int32_t>(s);
}

// An answering modem between cycles looks for rings this often.
constexpr int kRingLookMs = 500;
// A ring is reported at most once in this time, whichever port hears it.
constexpr std::int64_t kRingReportIntervalMs = 8000;
// Nothing to start: the next look in a second.
constexpr int kIdleMs = 1000;
// The enumerated number is being called by another port: the next look in a second.
constexpr int kNumberWaitMs = 1000;
// Before the first call of a cycle the line is left alone: an answering station that has
// just released it comes back to rest.
constexpr int kCycleStartWaitMs = 8000;
// The pause after a call counts from the moment it was closed, less this for the hang-up.
constexpr std::int64_t kPauseAllowanceMs = 500;
constexpr double kMsPerSecond = 1000.0;

std::unique_ptr<ResultSink> makeResults(const PortServices& services, int port) {
    std::unique_ptr<ResultSink> sink;
    if (services.makeResults) {
        sink = services.makeResults(port);
    }
    return sink != nullptr ? std::move(sink) : std::make_unique<NullResultSink>();
}

std::unique_ptr<CommPort> makePort(const PortServices& services, int port) {
    return services.makePort ? services.makePort(port) : nullptr;
}

}  // namespace

PortEngine::PortEngine(int port, const PortServices& services)
    : port_(port),
      clock_(services.clock),
      messages_(services.messages),
      view_(services.view),
      registry_(services.registry),
      results_(makeResults(services, port)),
      protocol_(port, services.clock, services.view, services.messages),
      alerts_(port, services.alerts, services.clock, protocol_),
      channel_(std::make_unique<ModemChannel>(port, makePort(services, port), services.clock,
                                              services.messages, static_cast<ChannelHost*>(this))),
      setup_(*channel_),
      call_(*channel_, services.clock,
            [this](CallStatus s) { view_.callStatus(port_, callNumber_, s); }),
      scheduler_(port, header_, cycles_, services.registry, services.clock) {}

PortEngine::~PortEngine() = default;

// ---- The run -------------------------------------------------------------------------------

ScenarioLoad PortEngine::load() {
    registry_.setRunState(port_, PortRunState::InUse);
    registry_.setRunOutcome(port_, RunOutcome::None);
    const QString path = workingCopyPath(port_);
    const ScenarioLoad result = readPortScenario(path, header_, cycles_, messages_);
    if (result == ScenarioLoad::Refused) {
        channel_->requestStop();
        return result;
    }
    if (result != ScenarioLoad::Loaded) {
        const ModemErrorCode code = modemErrorOf(result);
        channel_->setErrorCode(code);
        channel_->ShowModemError(txt(str::CaptionError), code,
                                 result == ScenarioLoad::NoFile ? path : QString());
        channel_->requestStop();
    }
    return result;
}

void PortEngine::open() {
    if (stopping()) {
        return;
    }
    if (!channel_->openPort()) {
        channel_->requestStop();
        return;
    }
    portOpen_ = true;
    call_.result().reset();
    results_->deleteOldResults(port_);
    removeProtocolFile(port_);
    reportEvent(PortEvent::ScenarioStarted);
    writeResults(ResultSection::ReportHead);
    channel_->setGain(kDefaultGain);
    CheckCycleFreq();
    if (!stopping()) {
        if (header_.aaBetweenCycles != 0) {
            setAnsweringMode();
        } else {
            reportEvent(PortEvent::CallingMode);
            answeringMode_ = false;
            view_.modePanel(port_, ModePanel::Calling);
        }
    }
    mainState_ = MainState::SelectCycle;
}

bool PortEngine::runOnce() {
    if (terminated_) {
        return false;
    }
    if (stopping()) {
        Exit();
    } else {
        step();
    }
    return !terminated_;
}

void PortEngine::Execute() {
    while (runOnce()) {
    }
}

void PortEngine::requestStop() {
    interrupted_.store(true);
    channel_->requestStop();
}

void PortEngine::endAfterFault(const QString& what) {
    faulted_ = true;
    completed_ = false;
    fault_ = txt(str::ThreadFault).arg(what);
    protocol_.AppendProtocolLine(fault_);
    if (portOpen_) {
        // Closing the port drops DTR: a modem left in a call hangs up.
        channel_->closePort();
        portOpen_ = false;
    }
    endRun();
}

RunOutcome PortEngine::outcome() const {
    if (faulted_) {
        return RunOutcome::Failed;
    }
    if (completed_) {
        return RunOutcome::Completed;
    }
    return interrupted_.load() ? RunOutcome::Interrupted : RunOutcome::Failed;
}

// ---- ChannelHost ---------------------------------------------------------------------------

void PortEngine::reportStatus(PortEvent event) {
    reportEvent(event);
}

bool PortEngine::answeringNow() const {
    return header_.aaBetweenCycles != 0 && answeringMode_;
}

bool PortEngine::inTestCall() const {
    return mainState_ == MainState::CallStep || mainState_ == MainState::Polling;
}

void PortEngine::restartTestCall() {
    // A failed exchange inside a call (hanging up included) makes the call again from its
    // first step. Outside a call (start-up, answering set-up, exit) there is no call to
    // restart: the state stays, so the port never dials without a cycle.
    if (inTestCall() || mainState_ == MainState::FinishCall) {
        call_.stopPolling();
        mainState_ = MainState::CallStep;
        callStep_ = CallStep::StartOfCall;
        // The aborted attempt may have left the line off-hook, still in its call.
        lineMayBeHeld_ = true;
    }
}

void PortEngine::stopPolling() {
    call_.stopPolling();
}

void PortEngine::levelSample(std::uint16_t word) {
    call_.levelSample(word);
}

void PortEngine::bringToFront() {
    view_.bringToFront(port_);
}

void PortEngine::pendingMessage(const QString& text) {
    protocol_.AppendProtocolLine(text);
}

// ---- Modem set-up --------------------------------------------------------------------------

void PortEngine::CheckCycleFreq() {
    if (!setup_.startUp() || !setup_.identify()) {
        return;
    }
    for (std::size_t i = 0; i < cycles_.size() && !stopping(); ++i) {
        const CycleRecord& c = cycles_[i];
        // Excluded and finished cycles are not run; they are neither judged nor counted.
        if (c.state == state(CycleState::Excluded) || c.state >= state(CycleState::Cancelled)) {
            continue;
        }
        currentCycle_ = static_cast<int>(i) + 1;
        chooseAnswerFilter(static_cast<int>(i));
    }
    currentCycle_ = 0;
}

bool PortEngine::chooseAnswerFilter(int cycleIndex) {
    if (channel_->modelType() == 0) {
        channel_->ShowModemError(QString(), ModemErrorCode::WrongModel, QString());
        channel_->setErrorCode(ModemErrorCode::WrongModel);
        channel_->requestStop();
        return false;
    }
    CycleRecord& c = cycles_.at(static_cast<std::size_t>(cycleIndex));
    if (const auto filter = answerFilterFor(c.aaFrequency)) {
        answerFilter_ = filter;
        return true;
    }
    c.state = state(CycleState::Cancelled);
    ++header_.finishedCycles;
    saveScenario();
    reportCycleEvent(PortEvent::CycleCancelledFrequency, cycleIndex);
    return false;
}

bool PortEngine::EverySeans() {
    if (!setup_.resetForCall() || !setup_.identify()) {
        return false;
    }
    if (!chooseAnswerFilter(currentCycle_ - 1)) {
        if (!stopping()) {
            abandonCycle();
        }
        return false;
    }
    return setup_.configureForCall(view_.speakerOn(port_));
}

void PortEngine::setAnsweringMode() {
    if (!setup_.answeringModeSetUp(header_, view_.speakerOn(port_))) {
        return;
    }
    reportEvent(PortEvent::AnsweringMode);
    answeringMode_ = true;
    view_.modePanel(port_, ModePanel::Answering);
    setup_.identify();
    if (!stopping()) {
        setup_.storeProfile();
    }
}

void PortEngine::setCallingMode() {
    answeringMode_ = false;
    view_.modePanel(port_, ModePanel::Calling);
    reportEvent(PortEvent::CallingMode);
}

// ---- Main loop -----------------------------------------------------------------------------

void PortEngine::step() {
    channel_->AnalysState();
    if (stopping()) {
        return;
    }
    switch (mainState_) {
        case MainState::SelectCycle:
            selectCycle();
            break;
        case MainState::CallStep:
            runCallStep();
            break;
        case MainState::FinishCall:
            finishCall();
            break;
        case MainState::WaitNumber:
            waitForNumber();
            break;
        case MainState::Polling:
            break;
    }
    if (!stopping() && call_.polling() && currentCycle_ > 0) {
        apply(call_.poll(cycle()));
    }
}

void PortEngine::selectCycle() {
    if (answeringNow()) {
        clock_.sleepMs(kRingLookMs);
        SharedTick& next = registry_.nextRingReport();
        if (channel_->GetChar() && (!next.isSet() || clock_.tickMs() >= next.value())) {
            reportEvent(PortEvent::RingReceived);
            next.set(clock_.tickMs() + kRingReportIntervalMs);
        }
    }
    const double now = toOleDate(clock_.now());
    const CycleScheduler::Selection s = scheduler_.selectCycle(now);
    if (s.changed) {
        saveScenario();
    }
    for (const CycleScheduler::Event& e : s.events) {
        reportCycleEvent(e.event, e.cycleIndex);
    }
    if (s.cycleIndex < 0) {
        // Only with no cycle under way: a scenario whose finished count disagrees with its
        // cycle states (a damaged or hand-made file) must not start over beneath its cycle.
        repeatScenario(now);
        clock_.sleepMs(kIdleMs);
        return;
    }
    currentCycle_ = s.cycleIndex + 1;
    if (!stopping()) {
        startCycle();
    }
}

void PortEngine::repeatScenario(double nowOle) {
    switch (scheduler_.repeatScenario(nowOle)) {
        case CycleScheduler::Repetition::NotDue:
            return;
        case CycleScheduler::Repetition::Complete:
            reportEvent(PortEvent::ScenarioFinished);
            mainState_ = MainState::Polling;
            completed_ = true;
            channel_->requestStop();
            return;
        case CycleScheduler::Repetition::NextPass:
            saveScenario();
            currentCycle_ = 0;
            return;
    }
}

void PortEngine::startCycle() {
    const QDateTime now = clock_.now();
    stats_.reset(toOleDate(now));
    cycleUnderWay_ = true;
    reportEvent(PortEvent::CycleStarted);
    callNumber_ = 1;
    call_.result().reset();
    mainState_ = MainState::CallStep;
    callStep_ = CallStep::StartOfCall;
    channel_->WaitTicks(kCycleStartWaitMs);
    if (header_.aaBetweenCycles != 0) {
        setCallingMode();
    }
    call_.buildDialList(cycle().inNumber);
    CycleStartInfo info;
    info.outNumberText = numberText(header_.outNumber);
    info.startText = formatDateTimeMinutes(now);
    info.cycleNumber = currentCycle_;
    info.inNumberText = numberText(cycle().inNumber);
    info.executionNumber = scheduler_.executionNumber();
    view_.cycleStarted(port_, info);
    writeResults(ResultSection::CycleHead);
    writeResults(ResultSection::CallTableHead);
}

void PortEngine::runCallStep() {
    if (currentCycle_ == 0) {
        mainState_ = MainState::SelectCycle;
        return;
    }
    switch (callStep_) {
        case CallStep::StartOfCall:
            // A call made again after a failure first releases the line of the aborted
            // attempt: going off-hook inside that call would find no dial tone and count a
            // loss the network never caused.
            if (lineMayBeHeld_) {
                if (!channel_->ModemSendGetData(kOnHook)) {
                    break;
                }
                lineMayBeHeld_ = false;
            }
            if (EverySeans() && !stopping() && !channel_->failed()) {
                apply(call_.startOfCall(cycle()));
            }
            break;
        case CallStep::Dial:
            apply(call_.dialStage(cycle()));
            break;
        case CallStep::AnswerSetUp:
            if (answerFilter_) {
                apply(call_.answerSetUp(cycle(), *answerFilter_));
            } else {
                restartTestCall();
            }
            break;
        case CallStep::ClearBack:
            apply(call_.clearBack(cycle()));
            break;
    }
}

void PortEngine::apply(const CallTransition& t) {
    switch (t.kind) {
        case CallTransition::Kind::Stay:
            break;
        case CallTransition::Kind::Poll:
            mainState_ = MainState::Polling;
            break;
        case CallTransition::Kind::CallStep:
            mainState_ = MainState::CallStep;
            callStep_ = t.callStep;
            break;
        case CallTransition::Kind::FinishCall:
            mainState_ = MainState::FinishCall;
            break;
    }
}

void PortEngine::waitForNumber() {
    if (scheduler_.claimNumber(cycle().inNumber)) {
        numberClaimed_ = true;
        startCycle();
        return;
    }
    if (numberClaimed_) {
        numberClaimed_ = false;
        reportEvent(PortEvent::CyclePostponed);
    }
    // Another port calls the number: look again in a while rather than spin.
    clock_.sleepMs(kNumberWaitMs);
}

void PortEngine::finishCall() {
    const bool stopAfter = lineHeldAlarm();
    const bool onHook = channel_->ModemSendGetData(kOnHook);
    if (stopping()) {
        // The user's stop, or a No to "continue?" after a failed hang-up: the run ends with
        // this call unaccounted.
        return;
    }
    if (!onHook) {
        // The failure has had its retry, and the restart releases the line before the next
        // call. The call's outcome was decided before the hang-up: it is accounted under its
        // own number, and a stop answered to the line-held question still ends the run, with
        // the modem restored and the report finished as after any stop.
        channel_->setErrorCode(ModemErrorCode::None);
    }
    const std::int64_t t0 = clock_.tickMs();
    if (call_.result().complete) {
        call_.result().close(toOleDate(clock_.now()));
        accountCall();
    }
    if (stopAfter) {
        channel_->requestStop();
        return;
    }
    const double pauseMs = cycle().pause * kMsPerSecond;
    const double rest = pauseMs - static_cast<double>((clock_.tickMs() - t0) + kPauseAllowanceMs);
    if (rest > 0) {
        channel_->WaitTicks(static_cast<int>(rest));
    }
    channel_->resetRetries();
    if (callNumber_ < stats_.callLimit(cycle(), callNumber_)) {
        ++callNumber_;
        call_.result().reset();
        mainState_ = MainState::CallStep;
        callStep_ = CallStep::StartOfCall;
        return;
    }
    completeCycle();
}

bool PortEngine::lineHeldAlarm() {
    const std::optional<LineHeldAlarm> alarm = stats_.checkLineHeld(cycle(), call_.result());
    if (!alarm) {
        return false;
    }
    view_.bringToFront(port_);
    for (int i = 0; i < kLineHeldBeeps; ++i) {
        view_.beep(port_);
        clock_.sleepMs(kLineHeldBeepPauseMs);
    }
    // The held line can be heard on the modem's speaker while the operator decides.
    channel_->ModemSendGetData(kSpeakerOn, {.waitForRing = true});
    const bool goOn = view_.askLineHeld(
        port_, lineHeldCaption(port_),
        lineHeldText(numberText(header_.outNumber), numberText(cycle().inNumber), alarm->outcome));
    return !goOn;
}

void PortEngine::accountCall() {
    CallResult& call = call_.result();
    stats_.account(call.outcome);
    call.complete = false;
    const CycleRecord& c = cycle();
    callRow_ = callRowTexts(callNumber_, call, c.aaNominalLevel);
    summary_ = summaryTexts(stats_, c, callNumber_);
    CallRefresh refresh;
    refresh.callNumber = callNumber_;
    refresh.row = callRow_;
    refresh.summary = summary_;
    refresh.meetsNorm = stats_.meetsNorm(c, callNumber_);
    refresh.confidence = LossConfidence(stats_.losses(), stats_.calls(),
                                        CycleStatistics::normInForce(c, callNumber_));
    refresh.pies = pieValues(stats_);
    refresh.points = callGraphPoints(call, c.aaNominalLevel);
    view_.callAccounted(port_, refresh);
    writeResults(ResultSection::CallRow);
    alerts_.callAccounted(call.outcome, alertNumbers());
}

void PortEngine::completeCycle() {
    writeResults(ResultSection::CycleEnd);
    reportEvent(PortEvent::CycleFinished);
    alerts_.cycleJudged(stats_.meetsNorm(cycle(), callNumber_), alertNumbers());
    scheduler_.releaseNumber();
    cycleUnderWay_ = false;
    CycleRecord& c = cycle();
    if (NextNumber(c)) {
        mainState_ = MainState::WaitNumber;
        c.state = state(CycleState::Waiting);
        numberClaimed_ = true;
        return;
    }
    mainState_ = MainState::SelectCycle;
    c.state = state(CycleState::Done);
    ++header_.finishedCycles;
    saveScenario();
    if (header_.aaBetweenCycles != 0) {
        setAnsweringMode();
    }
}

void PortEngine::abandonCycle() {
    scheduler_.releaseNumber();
    cycleUnderWay_ = false;
    call_.stopPolling();
    currentCycle_ = 0;
    mainState_ = MainState::SelectCycle;
}

// ---- Exit ----------------------------------------------------------------------------------

void PortEngine::Exit() {
    if (portOpen_) {
        view_.bringToFront(port_);
        if (!channel_->failed()) {
            setup_.exitRestore(answeringMode_);
            if (interrupted_.load()) {
                if (cycleUnderWay_ && stats_.calls() > 0) {
                    writeResults(ResultSection::CycleEnd);
                }
                reportEvent(PortEvent::ScenarioInterrupted);
            }
            // The end of the run sends what the spool still holds when the server is back.
            const int lossesBefore = results_->serverLosses();
            const int returnsBefore = results_->serverReturns();
            results_->FinishResultReport(resultContext());
            reportServerChanges(lossesBefore, returnsBefore);
        } else {
            completed_ = false;
            reportEvent(PortEvent::ScenarioFinished);
        }
        channel_->closePort();
        portOpen_ = false;
    }
    endRun();
}

void PortEngine::endRun() {
    if (outcome() == RunOutcome::Failed) {
        alerts_.runFailed(failureReason(), alertNumbers());
    }
    releasePort();
    protocol_.close();
    channel_->setTerminating();
    terminated_ = true;
}

void PortEngine::releasePort() {
    registry_.setRunOutcome(port_, outcome());
    const bool resume = setup_.answeredBeforeStart();
    view_.runFinished(port_, resume);
    registry_.setRunState(port_, PortRunState::Free);
    scheduler_.releaseNumber();
    view_.refreshScheme();
    if (!resume) {
        view_.modePanel(port_, ModePanel::NotSet);
    }
}

// ---- Reports -------------------------------------------------------------------------------

void PortEngine::reportEvent(PortEvent event) {
    const QString number = currentCycle_ > 0 ? numberText(cycle().inNumber) : QString();
    protocol_.AppendProtocolLine(eventMessage(event, currentCycle_, number));
}

void PortEngine::reportCycleEvent(PortEvent event, int cycleIndex) {
    const CycleRecord& c = cycles_.at(static_cast<std::size_t>(cycleIndex));
    protocol_.AppendProtocolLine(eventMessage(event, cycleIndex + 1, numberText(c.inNumber)));
}

void PortEngine::writeResults(ResultSection section) {
    const int failuresBefore = results_->storeFailures();
    const int lossesBefore = results_->serverLosses();
    const int returnsBefore = results_->serverReturns();
    results_->WriteResultSection(section, resultContext());
    reportServerChanges(lossesBefore, returnsBefore);
    if (results_->storeFailures() == failuresBefore) {
        return;
    }
    // The message box tells that something was lost; the protocol keeps which cycle and call.
    const int call = section == ResultSection::CallRow ? callNumber_ : 0;
    const QString number = currentCycle_ > 0 ? numberText(cycle().inNumber) : QString();
    protocol_.AppendProtocolLine(dbFailureMessage(currentCycle_, number, call));
}

void PortEngine::reportServerChanges(int lossesBefore, int returnsBefore) {
    const bool lost = results_->serverLosses() != lossesBefore;
    const bool back = results_->serverReturns() != returnsBefore;
    // Both in one step: the server came back and went away again, or the other way round; the
    // last line tells where the results go now.
    const bool awayNow = results_->serverLosses() > results_->serverReturns();
    if (back && (!lost || awayNow)) {
        protocol_.AppendProtocolLine(txt(str::ProtocolServerBack));
    }
    if (lost) {
        protocol_.AppendProtocolLine(txt(str::ProtocolServerAway));
    }
    if (back && lost && !awayNow) {
        protocol_.AppendProtocolLine(txt(str::ProtocolServerBack));
    }
}

ResultContext PortEngine::resultContext() const {
    ResultContext c;
    c.port = port_;
    c.header = &header_;
    c.cycle = currentCycle_ > 0 ? &cycle() : nullptr;
    c.cycleNumber = currentCycle_;
    c.executionNumber = scheduler_.executionNumber();
    c.callNumber = callNumber_;
    c.call = &call_.result();
    c.statistics = &stats_;
    c.callRow = callRow_;
    c.summary = summary_;
    c.endedEarly = currentCycle_ > 0 && stats_.endsEarly(cycle(), callNumber_);
    c.interrupted = interrupted_.load();
    return c;
}

PortAlerts::Numbers PortEngine::alertNumbers() const {
    return {numberText(header_.outNumber),
            currentCycle_ > 0 ? numberText(cycle().inNumber) : QString()};
}

QString PortEngine::failureReason() const {
    if (faulted_) {
        return fault_;
    }
    const ModemErrorCode code = channel_->errorCode();
    if (code == ModemErrorCode::None) {
        return {};
    }
    const QString message = modemErrorMessage(code).simplified();
    return message.isEmpty()
               ? QString::number(errorNumber(code))
               : QStringLiteral("%1 (%2)").arg(message, QString::number(errorNumber(code)));
}

void PortEngine::saveScenario() {
    writeScenarioFile(workingCopyPath(port_), header_, cycles_, messages_);
}

}  // namespace zev7
