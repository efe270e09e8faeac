#include "scenario/ole_date.h"

#include <QRegularExpression>
#include <cmath>

namespace zev7 {

namespace {
const QDate kOleEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
}  // namespace

double toOleDate(const QDateTime& local) {
    const QDateTime t = local.toLocalTime();
    const double days = static_cast<double>(kOleEpoch.daysTo(t.date()));
    return days + t.time().msecsSinceStartOfDay() / kMsPerDay;
}

QDateTime fromOleDate(double oleDate) {
    if (!std::isfinite(oleDate)) {
        return {};
    }
    // Before the epoch the day count is negative but the fraction still counts forward in
    // that day: -1.25 is 29.12.1899 06:00.
    double whole = std::trunc(oleDate);
    qint64 ms = std::llround(std::fabs(oleDate - whole) * kMsPerDay);
    if (ms >= static_cast<qint64>(kMsPerDay)) {
        ms -= static_cast<qint64>(kMsPerDay);
        whole += oleDate < 0 ? -1 : 1;
    }
    const QDate date = kOleEpoch.addDays(static_cast<qint64>(whole));
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

double toWholeMinutes(double oleDate) {
    QDateTime t = fromOleDate(oleDate);
    if (!t.isValid()) {
        return oleDate;
    }
    t.setTime(QTime(t.time().hour(), t.time().minute()));
    return toOleDate(t);
}

QString formatDateTimeMinutes(const QDateTime& t) {
    return t.toString(QStringLiteral("dd.MM.yy hh:mm"));
}

QString formatDateTimeSeconds(const QDateTime& t) {
    return t.toString(QStringLiteral("dd.MM.yy hh:mm:ss"));
}

QString formatDate(const QDate& d) {
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

QString formatTime(const QTime& t) {
    return t.toString(QStringLiteral("hh:mm:ss"));
}

QDateTime parseDateTimeMinutes(const QString& text) {
    static const QRegularExpression re(QStringLiteral(
        "^\\s*(\\d{1,2})\\.(\\d{1,2})\\.(\\d{2}|\\d{4})\\s+(\\d{1,2}):(\\d{2})\\s*$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch()) {
        return {};
    }
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2) {
        year += 2000;
    }
    const QDate date(year, m.captured(2).toInt(), m.captured(1).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt());
    if (!date.isValid() || !time.isValid()) {
        return {};
    }
    return QDateTime(date, time);
}

}  // namespace zev7
