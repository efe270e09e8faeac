// The period edits of the database windows: a date "dd.mm.yy" and a time "hh:mm:ss" as the
// user types them into their masks, made into a valid date and time after every change.
#pragma once

#include <QDate>
#include <QString>
#include <QTime>

namespace zev7 {

// Fills blank positions (anything but a digit where a digit belongs) from "01.01.02", then
// corrects impossible digits (day 00 -> 01, day 3x above 31, month above 12, ...) and, where
// the day does not exist in that month (31.02), takes the month's last day.
QString correctDateText(const QString& text);
// Fills blanks with "0", then caps hours at 23 and minutes and seconds at 59.
QString correctTimeText(const QString& text);

// Reads a corrected text; a two-digit year is 20yy, as everywhere in the program.
QDate dateFromText(const QString& text);
QTime timeFromText(const QString& text);
QString dateText(const QDate& date);
QString timeText(const QTime& time);

// The four period edits of a selection.
struct PeriodTexts {
    QString dateOn;
    QString dateOff;
    QString timeOn = QStringLiteral("00:00:00");
    QString timeOff = QStringLiteral("23:59:59");

    // The period the window starts with: the last 30 days up to today.
    static PeriodTexts lastThirtyDays(const QDate& today);
    // Corrects all four edits; an end date before the start date becomes the start date.
    void correct();
};

}  // namespace zev7
