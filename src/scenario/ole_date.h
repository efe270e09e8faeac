// Date-times as the scenario file and the database hold them: days since 30.12.1899 as a
// 64-bit float, the fraction being the local time of day. And the program's display formats.
#pragma once

#include <QDateTime>
#include <QString>

namespace zev7 {

inline constexpr double kSecondsPerDay = 86400.0;
inline constexpr double kMinutesPerDay = 1440.0;

double toOleDate(const QDateTime& local);
QDateTime fromOleDate(double oleDate);
// The date-time as the windows show and keep it: whole minutes, seconds dropped.
double toWholeMinutes(double oleDate);

// "dd.mm.yy hh:mm": base times, start windows, report headings.
QString formatDateTimeMinutes(const QDateTime& t);
// "dd.mm.yy hh:mm:ss": protocol lines and reports.
QString formatDateTimeSeconds(const QDateTime& t);
// "dd.mm.yyyy": the program's short date.
QString formatDate(const QDate& d);
// "hh:mm:ss": the program's time.
QString formatTime(const QTime& t);

// Reads "dd.mm.yy hh:mm" (a two-digit year means 20yy); invalid when the text is not one.
QDateTime parseDateTimeMinutes(const QString& text);

}  // namespace zev7
