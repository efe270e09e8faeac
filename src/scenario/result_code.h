// The outcome of one test call: success or one of the thirteen loss categories, in the order
// the cycle statistics, the result table, the pies and the database keep them.
#pragma once

#include <QString>
#include <array>

namespace zev7 {

enum class ResultCode : int {
    Success = 0,
    NoDialTone = -1,
    BusyOutgoing = -2,
    CongestionOutgoing = -3,
    NoDialToneWhileDialling = -10,
    BusyWhileDialling = -20,
    CongestionWhileDialling = -30,
    NoRingback = -100,
    BusyIncoming = -200,
    CongestionIncoming = -300,
    NoAnswerSignal = -1000,
    AnswerSignalTooLong = -2000,
    NoClearBack = -3000,
    OutgoingSignalNotDetected = -4000,
    None = -999,  // the call ended without a decision: counted as a call, in no category
};

// Outcomes travel as plain ints (the call result, the database); these are the same values.
inline constexpr int kNoOutcome = static_cast<int>(ResultCode::None);
inline constexpr int kSuccessOutcome = static_cast<int>(ResultCode::Success);

inline constexpr int kLossCategoryCount = 13;
// The loss outcomes in category order: index 0 is -1, index 12 is -4000.
inline constexpr std::array<int, kLossCategoryCount> kLossOutcomes = {
    -1, -2, -3, -10, -20, -30, -100, -200, -300, -1000, -2000, -3000, -4000};

// The category index 0..12 of a loss outcome; -1 for success, none or anything unknown.
int lossCategoryIndex(int outcome);
bool isLossOutcome(int outcome);

// The call got as far as the answering station's signal, so its level was measured and with
// it the line's attenuation: success, no clear-back tone, or the outgoing signal not detected.
bool answerSignalReached(ResultCode outcome);

// The outcome's text, padded as stored; empty for none or a code that is not an outcome.
QString resultCodeText(int outcome);

}  // namespace zev7
