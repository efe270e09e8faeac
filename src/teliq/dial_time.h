// How long the measuring modem takes to dial a number: the port thread's dial time-out, the
// scenario's duration estimate and the simulated modem all count it the same way.
#pragma once

#include <QChar>
#include <QString>

namespace zev7 {

// Estimated seconds to dial the text: 2 s, then per symbol the pulse or tone time, `wait`
// for every W and `comma` for every ",". A bracketed city code is not dialled.
inline constexpr double kDialBaseSeconds = 2.0;
inline constexpr double kDialFlashSeconds = 0.5;
inline constexpr double kDialToneSymbolSeconds = 0.2;
inline constexpr double kDialPulseBaseSeconds = 0.75;     // plus 0.1 s per pulse
inline constexpr double kDialPulsePerDigitSeconds = 0.1;  // digit 0 sends ten pulses
double DialTime(const QString& text, double wait, double comma);

// Digits and the symbols only tone dialling sends (#, *, A..D).
bool isDialDigit(QChar c);
bool isToneOnlySymbol(QChar c);

}  // namespace zev7
