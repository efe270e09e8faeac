#include "sim/line_signal.h"

#include "teliq/frequency_band.h"
#include "teliq/level_decoder.h"

namespace zev7 {

namespace {

constexpr std::uint16_t kSilenceWord = 0xFFFF;

CadencedTone callProgress(double levelDbm, SimUs start, SimUs on, SimUs off) {
    return CadencedTone{Tone{kCallProgressHz, levelDbm}, on, off, start};
}

}  // namespace

bool CadencedTone::onAt(SimUs t) const {
    if (t < startUs) {
        return false;
    }
    if (offUs <= 0) {
        return true;
    }
    return (t - startUs) % (onUs + offUs) < onUs;
}

CadencedTone dialTone(double levelDbm, SimUs start) {
    return callProgress(levelDbm, start, 0, 0);
}

CadencedTone ringbackTone(double levelDbm, SimUs start) {
    return callProgress(levelDbm, start, kRingbackOnUs, kRingbackOffUs);
}

CadencedTone busyTone(double levelDbm, SimUs start) {
    return callProgress(levelDbm, start, kBusyOnUs, kBusyOffUs);
}

CadencedTone congestionTone(double levelDbm, SimUs start) {
    return callProgress(levelDbm, start, kCongestionOnUs, kCongestionOffUs);
}

std::optional<BandFilter> bandFilterFromCode(int code) {
    switch (code) {
        case 12:
            return BandFilter::T12;
        case 16:
            return BandFilter::T16;
        case 15:
            return BandFilter::T15;
        default:
            return std::nullopt;
    }
}

int bandOf(BandFilter filter) {
    switch (filter) {
        case BandFilter::T12:
            return 1;
        case BandFilter::T16:
            return 2;
        case BandFilter::T15:
            return 3;
    }
    return 0;
}

bool filterHears(BandFilter filter, double hz) {
    return toneBandFor(hz) == bandOf(filter);
}

std::uint16_t levelWord(BandFilter filter, const std::optional<Tone>& heard, int gain) {
    if (!heard || !filterHears(filter, heard->hz)) {
        return kSilenceWord;
    }
    // The program adds the band's calibration offset at the tone's frequency back.
    switch (filter) {
        case BandFilter::T12:
            return encodeLevel(heard->levelDbm, gain, kRefT12, offsetTableA(heard->hz));
        case BandFilter::T16:
            return encodeLevel(heard->levelDbm, gain, kRefT16, offsetTableB(heard->hz));
        case BandFilter::T15:
            return encodeLevel(heard->levelDbm, gain, kRefT15, offsetTableC(heard->hz));
    }
    return kSilenceWord;
}

}  // namespace zev7
