#include "scenario/answer_settings.h"

#include "scenario/scenario_templates.h"
#include "teliq/frequency_band.h"

#include <algorithm>
#include <limits>

namespace zev7 {

namespace {
constexpr int kByteMax = std::numeric_limits<std::uint8_t>::max();

std::uint8_t byteOf(int v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0, kByteMax));
}
}  // namespace

AnswerSettings AnswerSettings::templateValues() {
    return fromHeader(templateHeader(0.0));
}

AnswerSettings AnswerSettings::fromHeader(const ScenarHeader& h) {
    AnswerSettings s;
    s.level = h.aaLevel;
    s.frequency = h.aaFrequency;
    s.rings = h.aaRings;
    s.delayOn = h.aaDelayOn;
    s.duration = h.aaSignalTime;
    s.delayOff = h.aaDelayOff;
    s.toneBand = h.toneCheck;
    s.toneThreshold = h.toneLevel;
    return s;
}

void AnswerSettings::toHeader(ScenarHeader& h) const {
    h.aaLevel = level;
    h.aaFrequency = frequency;
    h.aaRings = byteOf(rings);
    h.aaDelayOn = delayOn;
    h.aaSignalTime = duration;
    h.aaDelayOff = delayOff;
    h.toneCheck = byteOf(toneBand);
    h.toneLevel = toneThreshold;
}

int answerToneBand(bool ticked, double frequencyHz) {
    return ticked ? toneBandFor(frequencyHz) : 0;
}

}  // namespace zev7
