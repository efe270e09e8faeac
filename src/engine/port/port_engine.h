// The work of one port thread: reads the port's working copy of its scenario, opens the port,
// prepares the modem, and then runs the scenario's cycles step by step: selecting a cycle
// whose window is open and whose answering number is free, making its test calls with a pause
// between them, accounting each call, ending the cycle early or at its maximum, moving on
// through an enumerated series of numbers, repeating the scenario, and finally restoring the
// modem and giving the port back. Every event goes to the protocol, every change to the port
// view, the results to the result sink, each call's outcome and each cycle's verdict to the
// port's alerts.
//
// A test drives it directly: load(), open(), then runOnce() until it returns false, on a
// manual clock with the simulated modem; several ports can be driven side by side.
// TComThread does the same on a thread of its own.
#pragma once

#include "engine/alerts/port_alerts.h"
#include "engine/cycle/cycle_scheduler.h"
#include "engine/cycle/cycle_statistics.h"
#include "engine/modem/channel_host.h"
#include "engine/modem/modem_channel.h"
#include "engine/modem/modem_setup.h"
#include "engine/port/call_attempt.h"
#include "engine/port/port_services.h"
#include "engine/protocol/port_protocol.h"
#include "engine/registry/port_registry.h"
#include "scenario/records.h"
#include "scenario/scenario_file.h"

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace zev7 {

// The main states of the port thread.
enum class MainState : int {
    Polling = 0,      // tone polling (or nothing while polling is off)
    SelectCycle = 1,  // waiting for a cycle to start
    CallStep = 2,     // the current call step
    FinishCall = 3,   // hang up, account, pause, next call or end of cycle
    WaitNumber = 4,   // the next number of an enumerated series is being called elsewhere
};

class PortEngine : private ChannelHost {
public:
    PortEngine(int port, const PortServices& services);
    ~PortEngine() override;
    PortEngine(const PortEngine&) = delete;
    PortEngine& operator=(const PortEngine&) = delete;

    // ---- The run ------------------------------------------------------------------------
    // Construction: the port becomes in use and its working copy "Scenar\ComPort" N ".scn"
    // is read. Loaded, or the reported failure (no file, no cycle, no memory), or Refused (an
    // older or damaged file, reported already): the run then ends without opening the port.
    ScenarioLoad load();
    // Opens the port and prepares the modem: the old result and protocol files are deleted,
    // "Сценарий запущен!", the start-up and identification, the frequency check of every
    // cycle, the answering or calling mode. Nothing when the run is stopping already.
    void open();
    // One pass of the main loop: the exit sequence when stopping, one step otherwise. False
    // once the run has ended.
    bool runOnce();
    // The whole loop (the thread's Execute).
    void Execute();

    // The user's stop (any thread): interrupted and stop flags; the current step finishes.
    void requestStop();
    // A fault inside the program (an exception out of a step) ended the run: it is said in the
    // protocol, the serial port is closed and the port given back; the run has failed.
    void endAfterFault(const QString& what);

    // ---- Observers ----------------------------------------------------------------------
    int port() const { return port_; }
    bool terminated() const { return terminated_; }
    // Every pass of the scenario was executed and no error ended the run.
    bool completed() const { return completed_; }
    bool interrupted() const { return interrupted_.load(); }
    RunOutcome outcome() const;
    MainState mainState() const { return mainState_; }
    int currentCycle() const { return currentCycle_; }
    int callNumber() const { return callNumber_; }
    int executionNumber() const { return scheduler_.executionNumber(); }
    bool answeringMode() const { return answeringMode_; }
    const ScenarHeader& header() const { return header_; }
    const std::vector<CycleRecord>& cycles() const { return cycles_; }
    const CycleStatistics& statistics() const { return stats_; }
    const CallResult& callResult() const { return call_.result(); }
    const CallAttempt& testCall() const { return call_; }
    ModemChannel& channel() { return *channel_; }

private:
    // ---- ChannelHost --------------------------------------------------------------------
    void reportStatus(PortEvent event) override;
    bool answeringNow() const override;
    bool inTestCall() const override;
    void restartTestCall() override;
    void stopPolling() override;
    void levelSample(std::uint16_t word) override;
    void bringToFront() override;
    void pendingMessage(const QString& text) override;

    // ---- Modem set-up -------------------------------------------------------------------
    void CheckCycleFreq();
    // The band filter of a cycle's answer frequency, or the cycle is cancelled (-18).
    bool chooseAnswerFilter(int cycleIndex);
    bool EverySeans();
    void setAnsweringMode();
    void setCallingMode();

    // ---- Main loop ----------------------------------------------------------------------
    void step();
    void selectCycle();
    void repeatScenario(double nowOle);
    void startCycle();
    void runCallStep();
    void apply(const CallTransition& t);
    void finishCall();
    // Line-held alarm: true when the operator chose to stop.
    bool lineHeldAlarm();
    void accountCall();
    void completeCycle();
    void waitForNumber();
    // The current cycle was cancelled before its call: the port looks for the next one.
    void abandonCycle();
    void Exit();
    // The port given back, the protocol closed, the channel told the thread terminates.
    void endRun();
    void releasePort();

    // ---- Reports ------------------------------------------------------------------------
    void reportEvent(PortEvent event);
    void reportCycleEvent(PortEvent event, int cycleIndex);
    // Writes a section; a database step it could not store is noted in the protocol.
    // The protocol's lines for the server going away and coming back during a section.
    void reportServerChanges(int lossesBefore, int returnsBefore);
    void writeResults(ResultSection section);
    ResultContext resultContext() const;
    void saveScenario();
    PortAlerts::Numbers alertNumbers() const;
    // Why the run failed, as far as it is known: the fault, or the modem's error.
    QString failureReason() const;

    bool stopping() const { return channel_->stopRequested(); }
    CycleRecord& cycle() { return cycles_.at(static_cast<std::size_t>(currentCycle_ - 1)); }
    const CycleRecord& cycle() const {
        return cycles_.at(static_cast<std::size_t>(currentCycle_ - 1));
    }

    int port_;
    Clock& clock_;
    UserMessages& messages_;
    PortView& view_;
    PortRegistry& registry_;
    std::unique_ptr<ResultSink> results_;
    PortProtocol protocol_;
    PortAlerts alerts_;
    std::unique_ptr<ModemChannel> channel_;
    ModemSetup setup_;
    CallAttempt call_;

    ScenarHeader header_{};
    std::vector<CycleRecord> cycles_;
    CycleScheduler scheduler_;
    CycleStatistics stats_;
    CallRowTexts callRow_;
    SummaryTexts summary_;
    std::optional<AnswerFilter> answerFilter_;

    MainState mainState_ = MainState::SelectCycle;
    CallStep callStep_ = CallStep::StartOfCall;
    int currentCycle_ = 0;  // 1-based; 0 none
    int callNumber_ = 0;
    bool cycleUnderWay_ = false;
    bool numberClaimed_ = false;
    bool lineMayBeHeld_ = false;
    bool answeringMode_ = false;
    bool portOpen_ = false;
    bool terminated_ = false;
    bool completed_ = false;
    bool faulted_ = false;
    QString fault_;
    std::atomic<bool> interrupted_{false};
};

}  // namespace zev7
