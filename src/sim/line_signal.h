// What a telephone line carries in the simulation: a sine tone at a level, continuous or
// switched on and off in a cadence, and the modem's band filters that hear it.
#pragma once

#include "sim/sim_time.h"

#include <QByteArray>
#include <optional>

namespace zev7 {

struct Tone {
    double hz = 0.0;
    double levelDbm = 0.0;
};

// A tone as an exchange sends it: continuous (offUs 0) or onUs on and offUs off, the cadence
// starting with its first burst at startUs.
struct CadencedTone {
    Tone tone;
    SimUs onUs = 0;
    SimUs offUs = 0;
    SimUs startUs = 0;

    bool onAt(SimUs t) const;
};

// The exchange's call-progress tones: 425 Hz, dial tone continuous, ringback 1 s on and 4 s
// off, busy 0.35 s / 0.35 s, congestion 0.175 s / 0.175 s. Clear-back is the busy tone.
inline constexpr double kCallProgressHz = 425.0;
inline constexpr SimUs kRingbackOnUs = 1000 * kUsPerMs;
inline constexpr SimUs kRingbackOffUs = 4000 * kUsPerMs;
inline constexpr SimUs kRingPeriodUs = kRingbackOnUs + kRingbackOffUs;
inline constexpr SimUs kBusyOnUs = 350 * kUsPerMs;
inline constexpr SimUs kBusyOffUs = 350 * kUsPerMs;
inline constexpr SimUs kCongestionOnUs = 175 * kUsPerMs;
inline constexpr SimUs kCongestionOffUs = 175 * kUsPerMs;

CadencedTone dialTone(double levelDbm, SimUs start);
CadencedTone ringbackTone(double levelDbm, SimUs start);
CadencedTone busyTone(double levelDbm, SimUs start);
CadencedTone congestionTone(double levelDbm, SimUs start);

// The modem's band filters, selected with "%T12", "%T16" and "%T15": each hears the tones
// whose frequency lies in its band (300..889 Hz, 890..1500 Hz, 2100..2700 Hz) and nothing else.
enum class BandFilter { T12 = 12, T16 = 16, T15 = 15 };

std::optional<BandFilter> bandFilterFromCode(int code);
// The band code of the filter as toneBandFor() gives it for a frequency: 1, 2 or 3.
int bandOf(BandFilter filter);
bool filterHears(BandFilter filter, double hz);
// The level word the modem reports through the filter with this gain for what the line
// carries: silence (or a tone outside the band) gives 65535, the weakest level.
std::uint16_t levelWord(BandFilter filter, const std::optional<Tone>& heard, int gain);

}  // namespace zev7
