#include "scenario/result_code.h"

#include "core/strings.h"

namespace zev7 {

ResultCode resultCodeFromValue(int value) {
    const ResultCode outcome{value};
    return outcome == ResultCode::Success || isLossOutcome(outcome) ? outcome : ResultCode::None;
}

int lossCategoryIndex(ResultCode outcome) {
    for (int i = 0; i < kLossCategoryCount; ++i) {
        if (kLossOutcomes[static_cast<std::size_t>(i)] == outcome) {
            return i;
        }
    }
    return -1;
}

bool isLossOutcome(ResultCode outcome) {
    return lossCategoryIndex(outcome) >= 0;
}

bool dialToneReached(ResultCode outcome) {
    return outcome == ResultCode::Success ||
           (isLossOutcome(outcome) &&
            lossCategoryIndex(outcome) >= lossCategoryIndex(ResultCode::NoDialToneWhileDialling));
}

bool ringbackReached(ResultCode outcome) {
    return outcome == ResultCode::Success ||
           (isLossOutcome(outcome) &&
            lossCategoryIndex(outcome) >= lossCategoryIndex(ResultCode::NoAnswerSignal));
}

bool answerSignalReached(ResultCode outcome) {
    return outcome == ResultCode::Success || outcome == ResultCode::NoClearBack ||
           outcome == ResultCode::OutgoingSignalNotDetected;
}

QString resultCodeText(ResultCode outcome) {
    static constexpr std::array<const char*, kLossCategoryCount> kLossTexts = {
        str::ResultNoDialTone,
        str::ResultBusyOutgoing,
        str::ResultCongestionOutgoing,
        str::ResultNoDialToneDialling,
        str::ResultBusyDialling,
        str::ResultCongestionDialling,
        str::ResultNoRingback,
        str::ResultBusyIncoming,
        str::ResultCongestionIncoming,
        str::ResultNoAnswerSignal,
        str::ResultAnswerSignalTooLong,
        str::ResultNoClearBack,
        str::ResultOutgoingSignalNotDetected};
    if (outcome == ResultCode::Success) {
        return txt(str::ResultSuccess);
    }
    const int index = lossCategoryIndex(outcome);
    return index < 0 ? QString() : txt(kLossTexts[static_cast<std::size_t>(index)]);
}

}  // namespace zev7
