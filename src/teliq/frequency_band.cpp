#include "teliq/frequency_band.h"

namespace zev7 {

int toneBandFor(double hz) {
    if (hz >= kBand1LowHz && hz < kBand2LowHz) {
        return 1;
    }
    if (hz >= kBand2LowHz && hz <= kBand2HighHz) {
        return 2;
    }
    if (hz >= kBand3LowHz && hz <= kBand3HighHz) {
        return 3;
    }
    return 0;
}

}  // namespace zev7
