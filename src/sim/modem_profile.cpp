#include "sim/modem_profile.h"

#include "teliq/modem_registers.h"

#include <algorithm>

namespace zev7 {

namespace {

constexpr SimUs kTenthUs = 100 * kUsPerMs;
constexpr double kFactoryFrequencyHz = 1020.0;
constexpr double kFactoryLevelDbm = -10.0;
constexpr double kFactoryDelayOnS = 2.5;
constexpr double kFactoryDurationS = 3.0;
constexpr double kFactoryDelayOffS = 4.0;
constexpr int kFactoryToneThresholdDbm = -27;
constexpr int kFactoryDspMode = 37;

std::uint8_t byteOf(int v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0, kMaxRegisterValue));
}

}  // namespace

ModemProfile ModemProfile::factory() {
    ModemProfile p;
    p.s[2] = '+';
    p.s[3] = '\r';
    p.s[4] = '\n';
    p.s[5] = 8;
    p.s[kRegBlindDialWait] = 2;
    p.s[7] = 50;
    p.s[kRegCommaPause] = 2;
    p.s[10] = 14;
    p.s[kRegDsp] = kFactoryDspMode;
    AnswerSettingsSpec spec;
    spec.rings = 0;
    spec.frequencyHz = kFactoryFrequencyHz;
    spec.levelDbm = kFactoryLevelDbm;
    spec.delayOnS = kFactoryDelayOnS;
    spec.durationS = kFactoryDurationS;
    spec.delayOffS = kFactoryDelayOffS;
    spec.toneBand = 0;
    spec.toneThresholdDbm = kFactoryToneThresholdDbm;
    applyAnswerSettings(p, spec);
    p.answerSetup = false;
    return p;
}

AnswerPlan answerPlanOf(const ModemProfile& profile, bool hasAnswerRegisters) {
    AnswerPlan plan;
    plan.rings = profile.s[kRegRings];
    plan.autoAnswer = plan.rings > 0 && profile.answerSetup;
    const int code = profile.s[kRegFrequencyHigh] * 256 + profile.s[kRegFrequencyLow];
    plan.tone.hz = frequencyFromCode(code);
    plan.tone.levelDbm = transmitLevelExact(profile.transmit, plan.tone.hz);
    plan.delayOn = profile.s[kRegDelayOn] * kTenthUs;
    plan.duration = profile.s[kRegDuration] * kTenthUs;
    plan.delayOff = profile.s[kRegDelayOff] * kTenthUs;
    if (hasAnswerRegisters) {
        const int band = profile.s[kRegToneBand];
        plan.toneBand = band >= 1 && band <= 3 ? band : 0;
        plan.toneThresholdDbm = toneThresholdFromValue(profile.s[kRegToneThreshold]);
    }
    return plan;
}

void applyAnswerSettings(ModemProfile& profile, const AnswerSettingsSpec& spec) {
    const int code = frequencyCode(spec.frequencyHz);
    profile.s[kRegRings] = byteOf(spec.rings);
    profile.s[kRegFrequencyLow] = byteOf(code & 0xFF);
    profile.s[kRegFrequencyHigh] = byteOf((code >> 8) & 0xFF);
    profile.transmit = transmitLevelValue(spec.levelDbm, frequencyFromCode(code));
    profile.s[kRegDelayOn] = byteOf(tenthsOfSecond(spec.delayOnS));
    profile.s[kRegDuration] = byteOf(tenthsOfSecond(spec.durationS));
    profile.s[kRegDelayOff] = byteOf(tenthsOfSecond(spec.delayOffS));
    profile.s[kRegToneBand] = byteOf(spec.toneBand);
    profile.s[kRegToneThreshold] = byteOf(toneThresholdValue(spec.toneThresholdDbm));
    profile.s[kRegToneMode] = spec.toneBand != 0 ? 3 : 0;
    profile.answerSetup = true;
}

}  // namespace zev7
