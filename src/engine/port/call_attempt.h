// One test call as the port thread makes it: off-hook and the dial tone, the number dialled in
// stages, the ringback, the answer signal through the band filter of the cycle, the
// attenuation-control tone sent back, and the clear-back tone, each followed by polling the
// line level and feeding it to the detectors. Every call step and every poll tells the port
// engine what its main state becomes; a failed exchange leaves that to the channel, which
// restarts the call.
#pragma once

#include "core/clock.h"
#include "engine/detect/call_progress.h"
#include "engine/detect/call_result.h"
#include "engine/detect/phase_evaluation.h"
#include "engine/modem/modem_channel.h"
#include "engine/modem/modem_commands.h"
#include "scenario/port_event.h"
#include "scenario/records.h"
#include "teliq/modem_registers.h"

#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <functional>

namespace zev7 {

// What follows a call step or a poll.
struct CallTransition {
    enum class Kind {
        Stay,        // nothing changes (also after a failed exchange: the channel restarted)
        Poll,        // tone polling from the next poll on (main state 0)
        CallStep,    // main state 2 with this call step
        FinishCall,  // main state 3
    };
    Kind kind = Kind::Stay;
    CallStep callStep = CallStep::StartOfCall;  // with Kind::CallStep

    static CallTransition stay() { return {}; }
    static CallTransition poll() { return {Kind::Poll}; }
    static CallTransition step(CallStep callStep) { return {Kind::CallStep, callStep}; }
    static CallTransition finish() { return {Kind::FinishCall}; }
};

class CallAttempt {
public:
    using StatusSink = std::function<void(CallStatus)>;

    // `status` receives the call-table status of each stage.
    CallAttempt(ModemChannel& channel, Clock& clock, StatusSink status);

    // At the start of a cycle: the dial commands of its incoming number, one per stage.
    void buildDialList(const TelNumber& inNumber);
    const QStringList& dialList() const { return dialList_; }
    int dialStageCount() const { return static_cast<int>(dialList_.size()) - 1; }

    // ---- Call steps -----------------------------------------------------------------------
    // Step 1, after EverySeans: off-hook with the 425 Hz filter, the dial-tone detector.
    CallTransition startOfCall(const CycleRecord& cycle);
    // Step 2: one dial stage; then the next dial tone, or the ringback after the last stage.
    CallTransition dialStage(const CycleRecord& cycle);
    // Step 3: the answer signal through the cycle's band filter.
    CallTransition answerSetUp(const CycleRecord& cycle, const AnswerFilter& filter);
    // Step 4: the attenuation-control tone (or the station's release delay), then the
    // clear-back tone.
    CallTransition clearBack(const CycleRecord& cycle);

    // One tone poll: the detectors of the phase judge the current level, then the next level
    // is asked for.
    CallTransition poll(const CycleRecord& cycle);

    // ---- Level and state ------------------------------------------------------------------
    // A level word from the modem: the current level through the active filter.
    void levelSample(std::uint16_t word);
    double currentLevel() const { return currentLevel_; }
    bool polling() const { return polling_; }
    void stopPolling() { polling_ = false; }
    DetectPhase phase() const { return progress_.phase(); }
    int dialStageIndex() const { return stageIndex_; }
    int generationState() const { return generationState_; }

    CallResult& result() { return result_; }
    const CallResult& result() const { return result_; }

private:
    bool sendPollCommand();
    bool dspWrite(int reg, std::uint16_t value);
    // Generation state 0 -> 1: the calling modem sends the answering station's tone back.
    bool startGeneration(const CycleRecord& cycle);
    // Waits until the tick count has passed `tick`, ending early on a stop or an error.
    void waitUntilPassed(std::int64_t tick);
    bool interrupted() const;

    ModemChannel& channel_;
    Clock& clock_;
    StatusSink status_;
    CallProgress progress_;
    CallResult result_;
    QStringList dialList_;
    int stageIndex_ = 0;

    double reference_ = 0.0;  // R of the active filter; 0 while no level is computed
    double offset_ = 0.0;     // dB added to every level
    double currentLevel_ = kNoLevel;
    bool polling_ = false;
    bool readCommand_ = false;  // the next poll sends the read command instead of "A/"

    int generationState_ = 0;  // 0 none yet, 1 tone on, 2 done
    std::int64_t generationStartMs_ = 0;
};

}  // namespace zev7
