#include "ui/settings/port_page_rules.h"

namespace zev7 {

namespace {

constexpr int kHourDigits = 3;
constexpr int kMaxHours = 999;
constexpr int kMinutesPerHour = 60;

}  // namespace

RepeatInterval normalizeRepeatInterval(const QString& typed) {
    // Positions 0..2 the hours, 3 the colon, 4..5 the minutes.
    QString t = typed.left(6);
    while (t.size() < 6) {
        t += u' ';
    }
    t[kHourDigits] = u':';
    for (int i : {0, 1, 2, 4, 5}) {
        if (!t[i].isDigit()) {
            t[i] = u'0';
        }
    }
    if (t[4] > u'5') {
        t[4] = u'5';
    }
    const int hours = t.left(kHourDigits).toInt();
    const int minutes = t.mid(4, 2).toInt();
    return {t, hours * kMinutesPerHour + minutes};
}

QString repeatIntervalText(int minutes) {
    if (minutes < 0) {
        minutes = 0;
    }
    const int hours = qMin(minutes / kMinutesPerHour, kMaxHours);
    return QStringLiteral("%1:%2")
        .arg(hours, kHourDigits, 10, QLatin1Char('0'))
        .arg(minutes % kMinutesPerHour, 2, 10, QLatin1Char('0'));
}

double applyFrequencyGap(double value, double lastValue) {
    if (value > kFrequencyGapLowHz && value < kFrequencyGapHighHz) {
        return value > lastValue ? kFrequencyGapHighHz : kFrequencyGapLowHz;
    }
    return value;
}

}  // namespace zev7
