#include "engine/port/call_attempt.h"

#include "engine/detect/dial_stage.h"
#include "engine/modem/attenuation_control.h"
#include "scenario/ole_date.h"
#include "scenario/tel_number.h"
#include "teliq/level_decoder.h"

#include <algorithm>

namespace zev7 {

namespace {
constexpr double kMsPerSecond = 1000.0;
// WaitTicks does not sleep a rest this short; it is slept directly.
constexpr std::int64_t kShortRestMs = 100;
}  // namespace

CallAttempt::CallAttempt(ModemChannel& channel, Clock& clock, StatusSink status)
    : channel_(channel), clock_(clock), status_(std::move(status)) {}

void CallAttempt::buildDialList(const TelNumber& inNumber) {
    dialList_ = dialCommands(inNumber);
    stageIndex_ = 0;
}

bool CallAttempt::interrupted() const {
    return channel_.stopRequested() || channel_.failed();
}

// ---- Call steps ----------------------------------------------------------------------------

CallTransition CallAttempt::startOfCall(const CycleRecord& cycle) {
    generationState_ = 0;
    reference_ = kRefT12;
    offset_ = toneLevelOffset();
    progress_.startDialTone(cycle, false);
    status_(CallStatus::WaitDialTone);
    result_.startTime = toOleDate(clock_.now());
    if (!channel_.ModemSendGetData(kOffHook, {.waitForRing = true}) ||
        !channel_.ModemSendGetData(kReadLevel, {.waitForRing = true})) {
        return CallTransition::stay();
    }
    stageIndex_ = 0;
    polling_ = true;
    readCommand_ = true;
    return CallTransition::poll();
}

CallTransition CallAttempt::dialStage(const CycleRecord& cycle) {
    const std::optional<DialStage> stage = zev7::dialStage(dialList_, stageIndex_, cycle.waitTime);
    if (!stage) {
        // Nothing to dial: the call ends without an outcome.
        result_.complete = true;
        return CallTransition::finish();
    }
    const bool anotherStage = stage->nextPhase == DetectPhase::DialToneWhileDialling;
    if (anotherStage) {
        progress_.startDialTone(cycle, true);
    } else {
        progress_.startRingback(cycle);
    }
    status_(CallStatus::Dialling);
    if (!channel_.ModemSendGetData({stage->command, stage->replyLength, stage->timeoutMs})) {
        return CallTransition::stay();
    }
    status_(anotherStage ? CallStatus::WaitDialToneWhileDialling : CallStatus::WaitRingback);
    polling_ = true;
    readCommand_ = true;
    ++stageIndex_;
    return CallTransition::poll();
}

CallTransition CallAttempt::answerSetUp(const CycleRecord& cycle, const AnswerFilter& filter) {
    reference_ = filter.reference;
    status_(CallStatus::WaitAnswerSignal);
    // The 425 Hz filter is on already; another band is switched on.
    if (reference_ != kRefT12 && !channel_.ModemSendGetData({filter.command, kBandFilterReply})) {
        return CallTransition::stay();
    }
    offset_ = answerLevelOffset(cycle.aaFrequency);
    progress_.startAnswerSignal(cycle);
    if (!channel_.ModemSendGetData(kReadLevel)) {
        return CallTransition::stay();
    }
    polling_ = true;
    readCommand_ = false;
    return CallTransition::poll();
}

CallTransition CallAttempt::clearBack(const CycleRecord& cycle) {
    if (cycle.attenuationCheck != 0 && generationState_ < 2) {
        if (generationState_ == 0 && !startGeneration(cycle)) {
            return CallTransition::stay();
        }
        const std::int64_t off = toneOffTickMs(generationStartMs_, cycle.attenuationSignalTime);
        waitUntilPassed(off);
        if (interrupted()) {
            return CallTransition::stay();
        }
        if (!channel_.ModemSendGetData(kToneOff)) {
            return CallTransition::stay();
        }
        generationState_ = 2;
    } else if (generationState_ < 2) {
        // The answering station keeps the line this long after its signal.
        channel_.WaitTicks(static_cast<int>(cycle.aaDelayOff * kMsPerSecond));
        generationState_ = 2;
    }
    if (interrupted()) {
        return CallTransition::stay();
    }
    status_(CallStatus::WaitClearBack);
    reference_ = kRefT12;
    offset_ = toneLevelOffset();
    if (!channel_.ModemSendGetData(kClearBackSetUp)) {
        return CallTransition::stay();
    }
    progress_.startClearBack(cycle);
    if (!channel_.ModemSendGetData(kReadLevel)) {
        return CallTransition::stay();
    }
    polling_ = true;
    readCommand_ = false;
    return CallTransition::poll();
}

bool CallAttempt::startGeneration(const CycleRecord& cycle) {
    const std::int64_t t = clock_.tickMs();
    const ToneGeneration g = toneGeneration(cycle.aaFrequency, cycle.aaNominalLevel);
    if (!dspWrite(kDspToneModeRegister, kDspToneModeValue) || !channel_.ModemSendGetData(kToneOn) ||
        !dspWrite(kDspFrequencyRegister, static_cast<std::uint16_t>(g.frequencyCode)) ||
        !channel_.ModemSendGetData(transmitLevelCommand(g.transmitValue), {.waitForRing = true})) {
        return false;
    }
    generationState_ = 1;
    generationStartMs_ = t;
    return true;
}

bool CallAttempt::dspWrite(int reg, std::uint16_t value) {
    for (const ModemRequest& command : dspRegisterWriteCommands(reg, value)) {
        if (!channel_.ModemSendGetData(command)) {
            return false;
        }
    }
    return true;
}

void CallAttempt::waitUntilPassed(std::int64_t tick) {
    // The tone stays on for its whole duration; the wait is interruptible, and it sleeps
    // instead of asking the clock again and again.
    while (clock_.tickMs() <= tick && !interrupted()) {
        const std::int64_t rest = tick - clock_.tickMs() + 1;
        if (rest > kShortRestMs) {
            channel_.WaitTicks(static_cast<int>(rest));
        } else {
            clock_.sleepMs(rest);
        }
    }
}

// ---- Polling -------------------------------------------------------------------------------

CallTransition CallAttempt::poll(const CycleRecord& cycle) {
    const PhaseDecision d = progress_.poll(currentLevel_, detectorTime(clock_.tickMs()),
                                           phaseContext(cycle, detectorTime(generationStartMs_)));
    applyDecision(d, result_);
    switch (d.action) {
        case PhaseAction::NextCallStep:
            polling_ = false;
            return CallTransition::step(d.nextCallStep);
        case PhaseAction::FinishCall:
            polling_ = false;
            return CallTransition::finish();
        case PhaseAction::KeepPolling:
            break;
    }
    sendPollCommand();
    return CallTransition::stay();
}

bool CallAttempt::sendPollCommand() {
    if (readCommand_) {
        if (!channel_.ModemSendGetData(kReadLevel)) {
            return false;
        }
        readCommand_ = false;
        return true;
    }
    return channel_.ModemSendGetData(kRepeatCommand);
}

void CallAttempt::levelSample(std::uint16_t word) {
    if (const auto level = decodeLevel(word, channel_.gain(), reference_, offset_)) {
        currentLevel_ = *level;
    }
}

}  // namespace zev7
