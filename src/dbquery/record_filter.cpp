#include "dbquery/record_filter.h"

#include "core/strings.h"
#include "db/db_dialect.h"
#include "db/db_records.h"
#include "dbquery/period_text.h"

#include <QLocale>
#include <QSqlQuery>
#include <cmath>
#include <optional>

namespace zev7 {

namespace {

const char* const kCompareTexts[] = {">", ">=", "=", "<=", "<"};

QString compareText(FilterCompare c) {
    return QString::fromLatin1(kCompareTexts[static_cast<int>(c)]);
}

// A bound as typed: a decimal point or comma, blanks around ignored.
std::optional<double> bound(const QString& text) {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
}

int parameterCount(FilterKind kind) {
    return kind == FilterKind::Setting ? kCycleSettingCount : kResultParamCount;
}

}  // namespace

QStringList filterCompareTexts() {
    QStringList out;
    for (const char* t : kCompareTexts) {
        out << QString::fromLatin1(t);
    }
    return out;
}

QList<FilterParameter> filterParameters(QSqlDatabase& db, FilterKind kind) {
    QList<FilterParameter> out;
    if (kind == FilterKind::None) {
        return out;
    }
    QSqlQuery q(db);
    q.exec(
        kind == FilterKind::Setting
            ? QStringLiteral("SELECT PARAM_CYCLE_ID, PARAM_CYCLE_STR FROM Table_SettParam_Cycle "
                             "ORDER BY PARAM_CYCLE_ID")
            : QStringLiteral(
                  "SELECT PARAM_RES_ID, PARAM_RES_STR FROM Table_ResParam ORDER BY PARAM_RES_ID"));
    while (q.next()) {
        out.append({q.value(0).toInt(), q.value(1).toString()});
    }
    return out;
}

QString filterUnit(FilterKind kind, int id) {
    if (kind == FilterKind::Result) {
        return txt(id == ResAttempts ? str::UnitPieces : str::UnitPercent);
    }
    if (kind != FilterKind::Setting) {
        return {};
    }
    switch (id) {
        case 1:
        case 2:
        case 14:
            return txt(str::UnitPieces);
        case 3:
        case 4:
            return txt(str::UnitPercent);
        case 5:
        case 7:
        case 8:
        case 12:
            return txt(str::UnitDbm);
        case 13:
            return txt(str::UnitHertz);
        case 6:
        case 11:
            return {};
        default:
            return id >= 9 ? txt(str::UnitSeconds) : QString();
    }
}

QString RecordFilter::validate() const {
    if (kind == FilterKind::None) {
        return {};
    }
    if (paramId < 1 || paramId > parameterCount(kind)) {
        return txt(str::DbFilterBadBound).arg(paramId);
    }
    for (const QString* text : {&low, &high}) {
        if (!bound(*text)) {
            return txt(str::DbFilterBadBound).arg(*text);
        }
    }
    return {};
}

SqlFilter RecordFilter::toSql() const {
    SqlFilter out;
    if (!validate().isEmpty()) {
        return out;
    }
    if (kind != FilterKind::None) {
        const QString op1 = compareText(lowCompare);
        const QString op2 = compareText(highCompare);
        const QVariantList bounds{*bound(low), *bound(high)};
        const QString id = QString::number(paramId);
        if (kind == FilterKind::Setting) {
            out.from = QStringLiteral(" , TABLE_SETT_CYCLE_DEC SETCYC7 ");
            out.where = SqlFragment(
                QStringLiteral(
                    " AND (SETCYC7.CYCLE_ID=CYC.CYCLE_ID)   AND (SETCYC7.PARAM_CYCLE_ID=%1 "
                    "AND SETCYC7.SETCYC_VALUE%2? AND SETCYC7.SETCYC_VALUE %3?)")
                    .arg(id, op1, op2),
                bounds);
        } else {
            // Attempts are counted; every other result is compared as its percentage.
            const QString column = paramId == ResAttempts ? QStringLiteral("RESCYC_VALUE_CNT")
                                                          : QStringLiteral("RESCYC_VALUE_PERC");
            out.from = QStringLiteral(" , TABLE_RESCYCLE RESCYC40 ");
            out.where = SqlFragment(
                QStringLiteral(
                    " AND (RESCYC40.CYCLE_ID=CYC.CYCLE_ID)   AND (RESCYC40.PARAM_RES_ID=%1 "
                    "AND RESCYC40.%2 %3? AND RESCYC40.%2 %4?)")
                    .arg(id, column, op1, op2),
                bounds);
        }
    }
    if (timeWindow) {
        const DbDialect& d = dbDialect();
        const QTime from = timeFromText(correctTimeText(timeFrom));
        const QTime to = timeFromText(correctTimeText(timeTo));
        const QVariant t1 = d.timeValue(from);
        const QVariant t2 = d.timeValue(to);
        if (from > to) {
            // A window across midnight (22:00 to 06:00): the cycle starts after t1 or before
            // t2, ends before t2 or after t1, and lasts at most into the next day.
            out.where += SqlFragment(
                QStringLiteral(" AND ((CYC.TIME_ON>=? OR CYC.TIME_ON<=?) AND "
                               "(CYC.TIME_OFF<=? OR CYC.TIME_OFF>=?) AND  CYC.DATE_ON>=%1) ")
                    .arg(d.addDays(QStringLiteral("CYC.DATE_OFF"), -1)),
                {t1, t2, t2, t1});
        } else {
            // A window within one day (08:00 to 17:00): the "or" of the night window would
            // keep every cycle; here the cycle lies between t1 and t2 of one day.
            out.where += SqlFragment(
                QStringLiteral(
                    " AND ((CYC.TIME_ON>=? AND CYC.TIME_ON<=?) AND "
                    "(CYC.TIME_OFF<=? AND CYC.TIME_OFF>=?) AND  CYC.DATE_ON=CYC.DATE_OFF) "),
                {t1, t2, t2, t1});
        }
    }
    return out;
}

}  // namespace zev7
