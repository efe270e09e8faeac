#include "engine/modem/attenuation_control.h"

#include "teliq/modem_registers.h"

#include <algorithm>
#include <cmath>

namespace zev7 {

namespace {
constexpr double kMsPerSecond = 1000.0;
}  // namespace

ToneGeneration toneGeneration(double aaFrequencyHz, int aaNominalLevelDbm) {
    ToneGeneration g;
    g.frequencyCode = frequencyCode(aaFrequencyHz);
    g.correction = static_cast<int>(std::trunc(transmitLevelCorrection(aaFrequencyHz)));
    g.transmitValue = std::clamp(roundHalfUp(std::fabs(aaNominalLevelDbm + g.correction)),
                                 kMinTransmitValue, kMaxTransmitValue);
    return g;
}

QByteArray transmitLevelCommand(int transmitValue) {
    return QByteArray("AT%L") + QByteArray::number(transmitValue);
}

std::array<QByteArray, 3> dspRegisterWriteCommands(int reg, std::uint16_t value) {
    return {QByteArray("AT%T3S31=") + QByteArray::number(reg) + "%V",
            QByteArray("ATS31=") + QByteArray::number(value >> 8) + "%V",
            QByteArray("ATS31=") + QByteArray::number(value & 0xFF) + "%V"};
}

std::int64_t toneOffTickMs(std::int64_t generationStartMs, double attenuationSignalTimeS) {
    return generationStartMs + static_cast<std::int64_t>(attenuationSignalTimeS * kMsPerSecond) +
           kToneOffMarginMs;
}

}  // namespace zev7
