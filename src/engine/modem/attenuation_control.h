// The attenuation-control tone: after the answer signal the calling modem sends a tone of the
// answering station's frequency and nominal level back, so that an answering station able to
// recognise it hangs up at once. The numbers and the commands that set the modem's signal
// processor up for it.
#pragma once

#include "engine/modem/modem_commands.h"

#include <QByteArray>
#include <array>
#include <cstdint>

namespace zev7 {

// Signal-processor registers: 22 switches the generator to a single tone, 24 is its
// frequency as a phase step.
inline constexpr int kDspToneModeRegister = 22;
inline constexpr int kDspToneModeValue = 1;
inline constexpr int kDspFrequencyRegister = 24;
// The tone is switched off this long after its nominal duration.
inline constexpr int kToneOffMarginMs = 400;

struct ToneGeneration {
    int frequencyCode = 0;  // value of register 24
    int correction = 0;     // the transmit correction at the frequency, truncated, dB
    int transmitValue = 0;  // the "AT%L" value, 2..28
};
ToneGeneration toneGeneration(double aaFrequencyHz, int aaNominalLevelDbm);

// "AT%L" + V, answered with the echo and the result.
ModemRequest transmitLevelCommand(int transmitValue);

// The three commands that write a 16-bit value into a signal-processor register: select the
// register, then its high and its low byte. Each is answered with the echo and a level word.
std::array<ModemRequest, 3> dspRegisterWriteCommands(int reg, std::uint16_t value);

// The tick count after which the tone is switched off.
std::int64_t toneOffTickMs(std::int64_t generationStartMs, double attenuationSignalTimeS);

}  // namespace zev7
