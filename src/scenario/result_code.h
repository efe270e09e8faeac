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

inline constexpr int kLossCategoryCount = 13;
// The loss outcomes in category order: index 0 is -1, index 12 is -4000.
inline constexpr std::array<ResultCode, kLossCategoryCount> kLossOutcomes = {
    ResultCode::NoDialTone,
    ResultCode::BusyOutgoing,
    ResultCode::CongestionOutgoing,
    ResultCode::NoDialToneWhileDialling,
    ResultCode::BusyWhileDialling,
    ResultCode::CongestionWhileDialling,
    ResultCode::NoRingback,
    ResultCode::BusyIncoming,
    ResultCode::CongestionIncoming,
    ResultCode::NoAnswerSignal,
    ResultCode::AnswerSignalTooLong,
    ResultCode::NoClearBack,
    ResultCode::OutgoingSignalNotDetected};

// The number the database column and the protocol keep for the outcome.
constexpr int resultCodeValue(ResultCode outcome) {
    return static_cast<int>(outcome);
}
// The outcome a stored number stands for; none for a number that is no outcome.
ResultCode resultCodeFromValue(int value);

// The category index 0..12 of a loss outcome; -1 for success and none.
int lossCategoryIndex(ResultCode outcome);
bool isLossOutcome(ResultCode outcome);

// The call got past the dial tone: success or any loss after off-hook (all but -1, -2, -3).
bool dialToneReached(ResultCode outcome);
// The call got past the ringback tone: success or a loss of the answer-signal stage
// (-1000 .. -4000).
bool ringbackReached(ResultCode outcome);
// The call got as far as the answering station's signal, so its level was measured and with
// it the line's attenuation: success, no clear-back tone, or the outgoing signal not detected.
bool answerSignalReached(ResultCode outcome);

// The outcome's text, padded as stored; empty for none.
QString resultCodeText(ResultCode outcome);

}  // namespace zev7
