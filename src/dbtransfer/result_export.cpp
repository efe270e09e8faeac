#include "dbtransfer/result_export.h"

#include "core/strings.h"
#include "db/db_dialect.h"
#include "db/db_records.h"
#include "db/db_transaction.h"
#include "db/station_name.h"
#include "dbquery/working_selection.h"
#include "scenario/loss_confidence.h"

#include <QDateTime>
#include <QSqlQuery>
#include <cmath>

namespace zev7 {

namespace {

// The cycle's norm in force: the one for the minimum number of attempts when it ended there,
// the one for the maximum otherwise (as the list window reads it).
constexpr int kNormAtMinSetting = 3;
constexpr int kNormAtMaxSetting = 4;

QString cycleValue(const char* table, const char* column, const char* key, int id) {
    return QStringLiteral("(SELECT X.%2 FROM %1 X WHERE X.CYCLE_ID=CYC.CYCLE_ID AND X.%3=%4)")
        .arg(QLatin1String(table), QLatin1String(column), QLatin1String(key))
        .arg(id);
}

// The station's name as the rows show it: a cycle without one is this station's.
SqlFragment stationShown() {
    return SqlFragment(QStringLiteral(", ") + stationShownSql(QStringLiteral("CYC.STATION")),
                       {ownStationName()});
}

SqlFragment stationCondition(const ExportRequest& r) {
    if (r.station.isEmpty()) {
        return {};
    }
    return SqlFragment(QStringLiteral(" AND ") + stationShownSql(QStringLiteral("CYC.STATION")) +
                           QStringLiteral("=?"),
                       {ownStationName(), r.station});
}

// The cycles the request covers: "FROM ... WHERE ..." over the alias CYC.
SqlFragment cycleSource(const ExportRequest& r, const QString& moreTables) {
    const DbDialect& d = dbDialect();
    if (r.workingSelection) {
        SqlFragment s(QStringLiteral(" FROM TEMP_CYCLE CYC") + moreTables + r.filter.from +
                      QStringLiteral(" WHERE EXISTS (SELECT 1 FROM TEMP_RESCYCLE W WHERE "
                                     "W.CYCLE_ID=CYC.CYCLE_ID)") +
                      exclusionCondition(r.excludedCycleIds));
        s += r.filter.where;
        return s + stationCondition(r);
    }
    SqlFragment s(QStringLiteral(" FROM Table_Cycle CYC") + moreTables +
                  QStringLiteral(" WHERE 1=1"));
    if (r.from) {
        s += SqlFragment(QStringLiteral(" AND CYC.DATE_ON>=?"), {d.dateValue(*r.from)});
    }
    if (r.to) {
        s += SqlFragment(QStringLiteral(" AND CYC.DATE_ON<=?"), {d.dateValue(*r.to)});
    }
    return s + stationCondition(r);
}

SqlFragment callSelect(const ExportRequest& r) {
    SqlFragment s(QStringLiteral(
        "SELECT S.CYCLE_ID, S.SEANS_ID, CYC.OUT_TELNUM, CYC.IN_TELNUM, S.DATE_ON, S.TIME_ON, "
        "S.DATE_OFF, S.TIME_OFF, S.DURATION_SEANS, S.CONNECT_ID, "
        "(SELECT C.CONNECT_STR FROM TABLE_RESCALLPARAMSEANS C WHERE C.CONNECT_ID=S.CONNECT_ID), "
        "RS.RES_ATT, RS.RES_AS_LEV, RS.RES_DC_LEV"));
    s += stationShown();
    s += cycleSource(r, QStringLiteral(", Table_Seans S LEFT JOIN Table_ResSeans RS ON "
                                       "RS.CYCLE_ID=S.CYCLE_ID AND RS.SEANS_ID=S.SEANS_ID"));
    s += QStringLiteral(" AND S.CYCLE_ID=CYC.CYCLE_ID ORDER BY S.CYCLE_ID, S.SEANS_ID");
    return s;
}

SqlFragment cycleSelect(const ExportRequest& r) {
    SqlFragment s(
        QStringLiteral(
            "SELECT CYC.CYCLE_ID, CYC.OUT_TELNUM, CYC.IN_TELNUM, CYC.DATE_ON, "
            "CYC.TIME_ON, CYC.DATE_OFF, CYC.TIME_OFF, "
            "(SELECT T.STATE_STR FROM TABLE_CYCLESTATE T WHERE T.STATE_ID=CYC.STATE_ID), "
            "%1, %2, %3, CASE WHEN CYC.STATE_ID=%4 THEN %5 ELSE %6 END")
            .arg(cycleValue("Table_ResCycle", "RESCYC_VALUE_CNT", "PARAM_RES_ID", ResAttempts),
                 cycleValue("Table_ResCycle", "RESCYC_VALUE_CNT", "PARAM_RES_ID", ResLosses),
                 cycleValue("Table_ResCycle", "RESCYC_VALUE_PERC", "PARAM_RES_ID", ResLosses))
            .arg(DbCycleAtMinimum)
            .arg(cycleValue("Table_Sett_Cycle_Dec", "SETCYC_VALUE", "PARAM_CYCLE_ID",
                            kNormAtMinSetting),
                 cycleValue("Table_Sett_Cycle_Dec", "SETCYC_VALUE", "PARAM_CYCLE_ID",
                            kNormAtMaxSetting)));
    s += stationShown();
    s += cycleSource(r, {});
    s += QStringLiteral(" ORDER BY CYC.CYCLE_ID");
    return s;
}

SqlFragment countSelect(const ExportRequest& r) {
    SqlFragment s(QStringLiteral("SELECT COUNT(*)"));
    if (r.rows == ExportRows::Calls) {
        s += cycleSource(r, QStringLiteral(", Table_Seans S"));
        s += QStringLiteral(" AND S.CYCLE_ID=CYC.CYCLE_ID");
    } else {
        s += cycleSource(r, {});
    }
    return s;
}

// A stored date and time as ISO 8601 ("2026-12-10T04:23:00"); null when either is missing.
QVariant isoDateTime(const QVariant& date, const QVariant& time) {
    const DbDialect& d = dbDialect();
    const QDate day = d.toDate(date);
    const QTime at = d.toTime(time);
    if (!day.isValid() || !at.isValid()) {
        return {};
    }
    return QDateTime(day, at).toString(Qt::ISODate);
}

QVariant number(const QVariant& v) {
    return v.isNull() ? QVariant() : QVariant(v.toDouble());
}

QVariant count(const QVariant& v) {
    return v.isNull() ? QVariant() : QVariant(static_cast<qlonglong>(v.toDouble()));
}

}  // namespace

QStringList ResultExport::callFields() {
    return {QStringLiteral("cycle_id"),      QStringLiteral("call"),
            QStringLiteral("outgoing"),      QStringLiteral("incoming"),
            QStringLiteral("start"),         QStringLiteral("end"),
            QStringLiteral("duration_s"),    QStringLiteral("outcome_code"),
            QStringLiteral("outcome"),       QStringLiteral("attenuation_db"),
            QStringLiteral("dial_tone_dbm"), QStringLiteral("ringback_dbm"),
            QStringLiteral("station")};
}

QStringList ResultExport::cycleFields() {
    return {QStringLiteral("cycle_id"),
            QStringLiteral("outgoing"),
            QStringLiteral("incoming"),
            QStringLiteral("start"),
            QStringLiteral("end"),
            QStringLiteral("state"),
            QStringLiteral("attempts"),
            QStringLiteral("losses"),
            QStringLiteral("kpv_percent"),
            QStringLiteral("norm_percent"),
            QStringLiteral("verdict"),
            QStringLiteral("ci95_low_percent"),
            QStringLiteral("ci95_high_percent"),
            QStringLiteral("proven"),
            QStringLiteral("calls_needed"),
            QStringLiteral("station")};
}

QVariantList ResultExport::callRow(const QSqlQuery& q) const {
    const QTime duration = dbDialect().toTime(q.value(8));
    return {q.value(0).toLongLong(),
            q.value(1).toLongLong(),
            q.value(2).toString(),
            q.value(3).toString(),
            isoDateTime(q.value(4), q.value(5)),
            isoDateTime(q.value(6), q.value(7)),
            duration.isValid() ? QVariant(duration.msecsSinceStartOfDay() / 1000) : QVariant(),
            count(q.value(9)),
            q.value(10).toString(),
            number(q.value(11)),
            number(q.value(12)),
            number(q.value(13)),
            q.value(14).toString()};
}

QVariantList ResultExport::cycleRow(const QSqlQuery& q) const {
    return cycleJudgement(q) << q.value(12).toString();
}

QVariantList ResultExport::cycleJudgement(const QSqlQuery& q) const {
    const QVariant attempts = q.value(8);
    const QVariant losses = q.value(9);
    const QVariant percent = q.value(10);
    const QVariant norm = q.value(11);
    QVariantList row = {q.value(0).toLongLong(),
                        q.value(1).toString(),
                        q.value(2).toString(),
                        isoDateTime(q.value(3), q.value(4)),
                        isoDateTime(q.value(5), q.value(6)),
                        q.value(7).toString(),
                        count(attempts),
                        count(losses),
                        number(percent),
                        number(norm)};
    if (attempts.isNull() || losses.isNull() || norm.isNull() || percent.isNull()) {
        return row << QVariant() << QVariant() << QVariant() << QVariant() << QVariant();
    }
    const LossConfidence c(losses.toDouble(), attempts.toDouble(), norm.toDouble());
    row << txt(percent.toDouble() <= norm.toDouble() ? str::VerdictNorm : str::VerdictNotNorm);
    if (!c.hasInterval()) {
        return row << QVariant() << QVariant() << QVariant() << QVariant();
    }
    const auto rounded = [](double v) { return std::round(v * 10000.0) / 10000.0; };
    row << rounded(c.lowerPercent()) << rounded(c.upperPercent());
    switch (c.decision()) {
        case LossConfidence::Decision::Norm:
        case LossConfidence::Decision::NotNorm:
            row << c.decisionText();
            break;
        default:
            row << QVariant();
            break;
    }
    return row << (c.callsNeeded() ? QVariant(*c.callsNeeded()) : QVariant());
}

qint64 ResultExport::countRows(const ExportRequest& request) {
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!execFragment(q, countSelect(request), &error_) || !q.next()) {
        return -1;
    }
    return q.value(0).toLongLong();
}

bool ResultExport::run(const ExportRequest& request, QIODevice& out,
                       const ExportCallbacks& callbacks) {
    rows_ = 0;
    interrupted_ = false;
    error_.clear();
    const bool calls = request.rows == ExportRows::Calls;
    ExportWriter writer(out, request.format, calls ? callFields() : cycleFields());
    QSqlQuery q(db_);
    // Rows are read once, in order, and written at once: nothing of them stays behind.
    q.setForwardOnly(true);
    if (!execFragment(q, calls ? callSelect(request) : cycleSelect(request), &error_)) {
        return false;
    }
    if (!writer.writeHead()) {
        error_ = out.errorString();
        return false;
    }
    while (q.next()) {
        if (!writer.writeRow(calls ? callRow(q) : cycleRow(q))) {
            error_ = out.errorString();
            return false;
        }
        ++rows_;
        if (rows_ % kProgressRows == 0) {
            if (callbacks.progress) {
                callbacks.progress(rows_);
            }
            if (callbacks.interrupted && callbacks.interrupted()) {
                interrupted_ = true;
                return false;
            }
        }
    }
    if (callbacks.progress && rows_ % kProgressRows != 0) {
        callbacks.progress(rows_);
    }
    return true;
}

}  // namespace zev7
