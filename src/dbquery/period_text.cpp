#include "dbquery/period_text.h"

namespace zev7 {

namespace {

const QString kDateFill = QStringLiteral("01.01.02");
const QString kDateFormat = QStringLiteral("dd.MM.yy");
const QString kTimeFormat = QStringLiteral("hh:mm:ss");
constexpr int kDaysShown = 30;

// The text as exactly eight positions: the digits where digits belong (a blank taken from
// fill), the separator between.
QString filled(const QString& text, const QString& fill, QChar separator) {
    QString out = fill;
    for (int i = 0; i < out.size(); ++i) {
        if (i % 3 == 2) {
            out[i] = separator;
        } else if (i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
            out[i] = text[i];
        }
    }
    return out;
}

int digit(const QString& s, int i) {
    return s[i].unicode() - '0';
}

void setDigit(QString& s, int i, int value) {
    s[i] = QChar(static_cast<char16_t>('0' + value));
}

void capPair(QString& s, int tens, int tensMax, int unitsMaxAtTensMax) {
    if (digit(s, tens) > tensMax) {
        setDigit(s, tens, tensMax);
    }
    if (digit(s, tens) == tensMax && digit(s, tens + 1) > unitsMaxAtTensMax) {
        setDigit(s, tens + 1, unitsMaxAtTensMax);
    }
}

}  // namespace

QString correctDateText(const QString& text) {
    QString s = filled(text, kDateFill, QLatin1Char('.'));
    capPair(s, 0, 3, 1);  // day at most 31
    capPair(s, 3, 1, 2);  // month at most 12
    if (s.left(2) == QLatin1String("00")) {
        s.replace(0, 2, QStringLiteral("01"));
    }
    if (s.mid(3, 2) == QLatin1String("00")) {
        s.replace(3, 2, QStringLiteral("01"));
    }
    // 31.04 or 30.02 names no day; the month's last day is what the user meant.
    const int month = s.mid(3, 2).toInt();
    const int year = 2000 + s.mid(6, 2).toInt();
    const int last = QDate(year, month, 1).daysInMonth();
    if (s.left(2).toInt() > last) {
        s.replace(0, 2, QString::number(last));
    }
    return s;
}

QString correctTimeText(const QString& text) {
    QString s = filled(text, QStringLiteral("00:00:00"), QLatin1Char(':'));
    capPair(s, 0, 2, 3);  // hour at most 23
    for (int tens : {3, 6}) {
        if (digit(s, tens) > 5) {
            setDigit(s, tens, 5);
        }
    }
    return s;
}

QDate dateFromText(const QString& text) {
    const QDate d = QDate::fromString(text, kDateFormat);
    // Qt reads "yy" as 19yy.
    return d.isValid() && d.year() < 2000 ? d.addYears(100) : d;
}

QTime timeFromText(const QString& text) {
    return QTime::fromString(text, kTimeFormat);
}

QString dateText(const QDate& date) {
    return date.toString(kDateFormat);
}

QString timeText(const QTime& time) {
    return time.toString(kTimeFormat);
}

PeriodTexts PeriodTexts::lastThirtyDays(const QDate& today) {
    PeriodTexts p;
    p.dateOn = dateText(today.addDays(-kDaysShown));
    p.dateOff = dateText(today);
    return p;
}

void PeriodTexts::correct() {
    dateOn = correctDateText(dateOn);
    dateOff = correctDateText(dateOff);
    timeOn = correctTimeText(timeOn);
    timeOff = correctTimeText(timeOff);
    if (dateFromText(dateOff) < dateFromText(dateOn)) {
        dateOff = dateOn;
    }
}

}  // namespace zev7
