#include "engine/modem/attenuation_control.h"

#include "teliq/modem_registers.h"

#include <algorithm>
#include <cmath>

namespace zev7 {

namespace {
constexpr double kMsPerSecond = 1000.0;
constexpr int kDspWriteTimeoutMs = 1000;
constexpr int kDspReplyExtra = 8;  // echo + 4 hex digits + CR + result + CR

ModemRequest dspWrite(QByteArray text) {
    const int length = static_cast<int>(text.size()) + kDspReplyExtra;
    return {std::move(text), length, kDspWriteTimeoutMs};
}
}  // namespace

ToneGeneration toneGeneration(double aaFrequencyHz, int aaNominalLevelDbm) {
    ToneGeneration g;
    g.frequencyCode = frequencyCode(aaFrequencyHz);
    g.correction = static_cast<int>(std::trunc(transmitLevelCorrection(aaFrequencyHz)));
    g.transmitValue = std::clamp(roundHalfUp(std::fabs(aaNominalLevelDbm + g.correction)),
                                 kMinTransmitValue, kMaxTransmitValue);
    return g;
}

ModemRequest transmitLevelCommand(int transmitValue) {
    return registerWrite(kTransmitLevel, transmitValue);
}

std::array<ModemRequest, 3> dspRegisterWriteCommands(int reg, std::uint16_t value) {
    return {dspWrite(QByteArray("AT%T3S31=") + QByteArray::number(reg) + "%V"),
            dspWrite(QByteArray("ATS31=") + QByteArray::number(value >> 8) + "%V"),
            dspWrite(QByteArray("ATS31=") + QByteArray::number(value & 0xFF) + "%V")};
}

std::int64_t toneOffTickMs(std::int64_t generationStartMs, double attenuationSignalTimeS) {
    return generationStartMs + static_cast<std::int64_t>(attenuationSignalTimeS * kMsPerSecond) +
           kToneOffMarginMs;
}

}  // namespace zev7
