// The small rules of the port window's editors, apart from the widgets: the repeat-interval
// mask "hhh:mm" and the answer-frequency gap.
#pragma once

#include <QString>

namespace zev7 {

// The repeat interval as typed into "000:00": blanks become "0", a minutes-tens digit above 5
// becomes 5 (so "012:75" reads "012:55"); the normalised text and its minutes.
struct RepeatInterval {
    QString text;
    int minutes = 0;
};
RepeatInterval normalizeRepeatInterval(const QString& typed);
QString repeatIntervalText(int minutes);

// The band filters hear nothing strictly between 1500 and 2100 Hz: a value typed there jumps to
// 2100 when it rose from the last value, otherwise to 1500.
inline constexpr double kFrequencyGapLowHz = 1500.0;
inline constexpr double kFrequencyGapHighHz = 2100.0;
double applyFrequencyGap(double value, double lastValue);

}  // namespace zev7
