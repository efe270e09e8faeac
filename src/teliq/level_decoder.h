// The modem reports the line level through one of its band filters as a 16-bit amplitude
// word. These functions turn that word into dBm the way the modem's calibration requires
// (band offsets and the linearity correction of the 425 Hz filter), and back again for the
// simulated modem.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>

namespace zev7 {

// Reference amplitudes of the band filters selected with "%T12", "%T16" and "%T15".
inline constexpr double kRefT12 = 71.0;  // 425 Hz: dial tone, ringback, clear-back; low band
inline constexpr double kRefT16 = 51.0;  // the 890..1500 Hz band
inline constexpr double kRefT15 = 50.0;  // the 2100..2700 Hz band
inline constexpr int kDefaultGain = 128;
inline constexpr double kNoLevel = -999.0;  // "not measured"
inline constexpr double kToneFrequencyHz = 425.0;

// Offset tables per band (frequency Hz -> dB), interpolated, clamped at their ends.
double offsetTableA(double hz);  // 300..900 Hz
double offsetTableB(double hz);  // 900..1500 Hz
double offsetTableC(double hz);  // 2100..2700 Hz
// The offset for an answering station's frequency: A below 890 Hz, B up to 1500 Hz, C from
// 2100 to 2700 Hz, 0 outside these bands.
double answerLevelOffset(double hz);
// The offset for the 425 Hz tones (table A at 425 Hz).
double toneLevelOffset();

// Correction subtracted from a level measured through the "%T12" filter.
double t12LinearityCorrection(double levelDb);

// Four hex digits, low byte first ("3412" is 0x1234); nullopt for anything else.
std::optional<std::uint16_t> parseLevelWord(const QByteArray& answer);
// Four hex digits, low byte first, as the modem sends them.
QByteArray formatLevelWord(std::uint16_t value);

// The level in dBm of word v read with this gain through the filter with reference r, or
// nullopt when v is 0 or no filter is active (r 0): the level then keeps its last value.
std::optional<double> decodeLevel(std::uint16_t v, int gain, double reference, double offset);

// The word a modem sends for a line level, so that decodeLevel() recovers it (within the word's
// resolution); 65535 for silence or anything weaker than the word can express.
std::uint16_t encodeLevel(double levelDb, int gain, double reference, double offset);

}  // namespace zev7
