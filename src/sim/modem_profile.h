// The settings of a simulated Teliq modem: its S-registers, transmit level ("%L"), answering
// set-up ("&A"), echo and result-code modes and speaker. "AT&W" stores them as the profile
// that "AT&F" and "ATZ" restore and the modem starts with.
#pragma once

#include "sim/line_signal.h"
#include "sim/sim_time.h"

#include <array>
#include <cstdint>

namespace zev7 {

inline constexpr int kRegisterCount = 256;
inline constexpr int kMaxRegisterValue = 255;
inline constexpr int kMaxTransmitSetting = 63;  // "AT%L" accepts 0..63 dB of attenuation
inline constexpr int kMinGain = 1;
inline constexpr int kMaxGain = 255;

// Registers with a meaning of their own.
inline constexpr int kRegRings = 0;          // S0: rings before answering, 0 = never
inline constexpr int kRegRingCount = 1;      // S1: rings counted so far
inline constexpr int kRegBlindDialWait = 6;  // S6: seconds before the first digit
inline constexpr int kRegCommaPause = 8;     // S8: seconds of a "," in the dial string
inline constexpr int kRegDsp = 31;           // S31: signal-processor register access
inline constexpr int kRegFrequencyLow = 50;  // S50, S51: answer tone as a phase step
inline constexpr int kRegFrequencyHigh = 51;
inline constexpr int kRegDelayOn = 52;  // S52..S54: tenths of a second
inline constexpr int kRegDuration = 53;
inline constexpr int kRegDelayOff = 54;
inline constexpr int kRegToneMode = 55;  // S55..S57: the LX models only
inline constexpr int kRegToneThreshold = 56;
inline constexpr int kRegToneBand = 57;
inline constexpr int kRegTransmitReadBack = 69;  // S69: the "%L" value

struct ModemProfile {
    std::array<std::uint8_t, kRegisterCount> s{};
    int transmit = 0;          // "%L": attenuation of the modem's tones, dB
    bool answerSetup = false;  // "&A1": answer calls with the measuring answer signal
    bool echo = true;          // "E1"
    bool verbose = false;      // "V1": words instead of digits
    bool quiet = false;        // "Q1": no result codes
    int speakerMode = 1;       // "M"
    int speakerVolume = 1;     // "L"
    int resultSet = 4;         // "X"

    // The modem as it leaves the factory: echo on, numeric results, no auto-answer.
    static ModemProfile factory();
    bool operator==(const ModemProfile&) const = default;
};

// What the modem does when it answers a call by itself, read from its registers.
struct AnswerPlan {
    bool autoAnswer = false;  // S0 > 0 and "&A1"
    int rings = 0;
    Tone tone;                      // S50/S51 and "%L"
    SimUs delayOn = 0;              // S52
    SimUs duration = 0;             // S53
    SimUs delayOff = 0;             // S54
    int toneBand = 0;               // S57: band of the caller's tone to listen for, 0 = none
    double toneThresholdDbm = 0.0;  // S56
};

// `hasAnswerRegisters`: S55..S57 exist (the LX models).
AnswerPlan answerPlanOf(const ModemProfile& profile, bool hasAnswerRegisters);

// Convenience for building stored profiles (configuration files, tests): the answering
// station as the program sets it up, with the same register values it would write.
struct AnswerSettingsSpec {
    int rings = 2;
    double frequencyHz = 1020.0;
    double levelDbm = -10.0;
    double delayOnS = 2.5;
    double durationS = 3.0;
    double delayOffS = 4.0;
    int toneBand = 0;
    int toneThresholdDbm = -27;
};
void applyAnswerSettings(ModemProfile& profile, const AnswerSettingsSpec& spec);

}  // namespace zev7
