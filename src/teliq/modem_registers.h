// Values the program writes into the measuring modem's registers and reads back from them:
// the answer tone's frequency as a phase step, its transmit attenuation with the modem's
// frequency correction, delays in tenths of a second, the tone-detector threshold, and the
// band filter that hears a given answer frequency.
#pragma once

#include "teliq/frequency_band.h"

#include <QByteArray>
#include <optional>

namespace zev7 {

inline constexpr int kMinTransmitValue = 2;  // "AT%L" accepts 2..28 dB of attenuation
inline constexpr int kMaxTransmitValue = 28;
inline constexpr int kMinToneThresholdValue = 10;  // S56 accepts 10..43 (dBm, sign dropped)
inline constexpr int kMaxToneThresholdValue = 43;

// trunc(x + 0.5) as the modem's values are rounded: toward zero after adding one half.
int roundHalfUp(double x);

// The tone frequency as the 14-bit phase step at the modem's 9600 Hz sample rate (S50 low
// byte, S51 high byte; also the signal processor's register 24).
int frequencyCode(double hz);
double frequencyFromCode(int code);

// The answering modem's transmit correction at a frequency, dB (clamped outside 300..1100 Hz).
double transmitLevelCorrection(double hz);
// The "AT%L" value that makes the modem send the level at that frequency, 2..28.
int transmitLevelValue(double levelDbm, double hz);
// The level a modem sends at that frequency with this "AT%L" value (as read back from S69).
int levelFromTransmitValue(int value, double hz);
// The level a modem sends, unrounded: what the line actually carries.
double transmitLevelExact(int value, double hz);

// S52..S54: a time in tenths of a second.
int tenthsOfSecond(double seconds);

// S56: the answering station's tone-detector threshold, sent without its sign, 10..43.
int toneThresholdValue(int thresholdDbm);
int toneThresholdFromValue(int value);

// The filter that hears an answer signal of this frequency: "AT%T12" (reference 71) below
// 890 Hz, "AT%T16" (51) up to 1500 Hz, "AT%T15" (50) from 2100 to 2700 Hz; none otherwise.
struct AnswerFilter {
    QByteArray command;
    double reference = 0.0;
};
std::optional<AnswerFilter> answerFilterFor(double hz);

}  // namespace zev7
