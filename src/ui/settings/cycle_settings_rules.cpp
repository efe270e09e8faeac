#include "ui/settings/cycle_settings_rules.h"

#include "scenario/ole_date.h"

namespace zev7 {

namespace {

// What a blank position of "dd.mm.yy hh:mm" takes.
constexpr char kBlankFill[] = "01.01.02 00:00";
constexpr int kDateTimeLength = 14;
constexpr int kDigitPositions[] = {0, 1, 3, 4, 6, 7, 9, 10, 12, 13};
constexpr int kDay = 0;
constexpr int kMonth = 3;
constexpr int kHour = 9;
constexpr int kMinute = 12;
// "с " + start + " по " + end
constexpr int kStartAt = 2;
constexpr int kEndAt = 20;

QString prefix() {
    return QStringLiteral("с ");
}

QString separator() {
    return QStringLiteral(" по ");
}

QString partText(double oleDate) {
    return formatDateTimeMinutes(fromOleDate(oleDate));
}

}  // namespace

QString normalizeDateTimeText(const QString& typed) {
    QString t = typed.left(kDateTimeLength);
    while (t.size() < kDateTimeLength) {
        t += u' ';
    }
    for (int i = 0; i < kDateTimeLength; ++i) {
        t[i] = QLatin1Char(kBlankFill[i]);  // separators first, digits put back below
    }
    const QString original = typed.left(kDateTimeLength);
    for (int i : kDigitPositions) {
        if (i < original.size() && original[i].isDigit() && original[i].unicode() < 128) {
            t[i] = original[i];
        }
    }
    auto pair = [&t](int at) { return t.mid(at, 2); };
    if (t[kDay] > u'3') {
        t[kDay] = u'3';
    }
    if (t[kDay] == u'3' && t[kDay + 1] >= u'2') {
        t[kDay + 1] = u'1';
    }
    if (t[kMonth] >= u'2') {
        t[kMonth] = u'1';
    }
    if (t[kMonth] == u'1' && t[kMonth + 1] > u'2') {
        t[kMonth + 1] = u'2';
    }
    if (pair(kDay) == QLatin1String("00")) {
        t[kDay + 1] = u'1';
    }
    if (pair(kMonth) == QLatin1String("00")) {
        t[kMonth + 1] = u'1';
    }
    if (t[kHour] > u'2') {
        t[kHour] = u'2';
    }
    if (t[kHour] == u'2' && t[kHour + 1] > u'3') {
        t[kHour + 1] = u'3';
    }
    if (t[kMinute] > u'5') {
        t[kMinute] = u'5';
    }
    return t;
}

QString startWindowText(const StartWindow& window) {
    return prefix() + partText(window.start) + separator() + partText(window.end);
}

StartWindowEdit editStartWindow(const QString& typed, const StartWindow& previous, double baseTime,
                                double storedLength) {
    const QString startTyped = normalizeDateTimeText(typed.mid(kStartAt, kDateTimeLength));
    const QString endTyped = normalizeDateTimeText(typed.mid(kEndAt, kDateTimeLength));
    const QDateTime start = parseDateTimeMinutes(startTyped);
    const QDateTime end = parseDateTimeMinutes(endTyped);

    StartWindowEdit edit;
    edit.window = previous;
    if (start.isValid()) {
        const double base = toWholeMinutes(baseTime);
        edit.window.start = qMax(toOleDate(start), base);
    }
    if (end.isValid()) {
        edit.window.end = toOleDate(end);
    }
    // The end follows a start moved past it, whichever part was typed.
    bool endMoved = false;
    if (edit.window.end < edit.window.start) {
        edit.window.end = toWholeMinutes(edit.window.start + qMax(0.0, storedLength));
        endMoved = true;
    }
    edit.complete = start.isValid() && (end.isValid() || endMoved);
    edit.text = prefix() + (start.isValid() ? partText(edit.window.start) : startTyped) +
                separator() + (end.isValid() || endMoved ? partText(edit.window.end) : endTyped);
    return edit;
}

CadencePeriods orderCadencePeriods(CadencePeriods p) {
    if (p.busyMax < p.busyMin) {
        p.busyMax = p.busyMin;
    }
    if (p.busyMin < p.overloadMin) {
        p.overloadMin = p.busyMin;
    }
    return p;
}

}  // namespace zev7
