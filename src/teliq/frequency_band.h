// The measuring modem hears an answering station's tone through one of three band filters;
// the answering station's own tone check listens in the same bands.
#pragma once

namespace zev7 {

inline constexpr double kBand1LowHz = 300.0;  // band 1: 300 <= f < 890 Hz
inline constexpr double kBand2LowHz = 890.0;  // band 2: 890..1500 Hz
inline constexpr double kBand2HighHz = 1500.0;
inline constexpr double kBand3LowHz = 2100.0;  // band 3: 2100..2700 Hz
inline constexpr double kBand3HighHz = 2700.0;

// 1, 2 or 3 for the band holding the frequency, 0 when no band does.
int toneBandFor(double hz);

}  // namespace zev7
