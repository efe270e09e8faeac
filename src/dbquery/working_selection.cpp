#include "dbquery/working_selection.h"

#include "core/strings.h"
#include "db/db_dialect.h"
#include "db/db_transaction.h"
#include "dbquery/stat_table_model.h"

#include <QSqlQuery>

namespace zev7 {

namespace {

// The attempts, losses and norm of each selected cycle: the norm for the minimum number of
// attempts when the cycle ended there (state 1), else the one for the maximum. Cycles without
// result rows drop out.
QString fillResultsSql() {
    const DbDialect& d = dbDialect();
    return QStringLiteral(
               "INSERT INTO TEMP_RESCYCLE  SELECT CYC.CYCLE_ID,  %1 AS P_DATETIME_ON,  "
               "SETCYC1.SETCYC_VALUE AS P_NORM_KPV,  SETCYC2.SETCYC_VALUE AS P_MAX_COUNT,  "
               "SETCYC3.SETCYC_VALUE AS P_MIN_COUNT,  RESCYC1.RESCYC_VALUE_CNT AS P_CALL_COUNT,  "
               "RESCYC2.RESCYC_VALUE_CNT AS P_KPV_CNT,  RESCYC2.RESCYC_VALUE_PERC AS P_KPV_PERC  "
               "FROM TEMP_CYCLE CYC,  TABLE_RESCYCLE RESCYC1,  TABLE_RESCYCLE RESCYC2,  "
               "TABLE_SETT_CYCLE_DEC SETCYC1,  TABLE_SETT_CYCLE_DEC SETCYC2,  "
               "TABLE_SETT_CYCLE_DEC SETCYC3  WHERE (RESCYC1.CYCLE_ID=CYC.CYCLE_ID)  "
               "AND (RESCYC2.CYCLE_ID=CYC.CYCLE_ID)  AND (SETCYC1.CYCLE_ID=CYC.CYCLE_ID)  "
               "AND (SETCYC2.CYCLE_ID=CYC.CYCLE_ID)  AND (SETCYC3.CYCLE_ID=CYC.CYCLE_ID)  "
               "AND (RESCYC1.PARAM_RES_ID=1)  AND (RESCYC2.PARAM_RES_ID=3)  "
               "AND ((SETCYC1.PARAM_CYCLE_ID=4 AND CYC.STATE_ID<>1)   OR   "
               "(SETCYC1.PARAM_CYCLE_ID=3 AND CYC.STATE_ID=1 ))  AND SETCYC2.PARAM_CYCLE_ID=2   "
               "AND SETCYC3.PARAM_CYCLE_ID=1")
        .arg(d.concat({QStringLiteral("CYC.TIME_ON"), QStringLiteral("' '"),
                       d.displayDate(QStringLiteral("CYC.DATE_ON"))}));
}

}  // namespace

bool SelectionTotals::aboveNorm() const {
    return !percent.isNull() && !minNorm.isNull() && percent.toDouble() > minNorm.toDouble();
}

std::optional<LossConfidence> SelectionTotals::confidence() const {
    return confidenceOf(losses, attempts, minNorm);
}

QStringList SelectionTotals::headers() {
    return {txt(str::DbTotalsCaption),       txt(str::DbColCalls),
            txt(str::DbColLosses),           txt(str::DbColKpv),
            txt(str::DbColMinNormPercent),   txt(str::ConfidenceHead),
            txt(str::ConfidenceDecisionHead)};
}

QString exclusionCondition(const QList<int>& excludedCycleIds) {
    if (excludedCycleIds.isEmpty()) {
        return {};
    }
    return QStringLiteral(" AND NOT CYC.CYCLE_ID IN ( %1) ").arg(idList(excludedCycleIds));
}

bool WorkingSelection::load(const SelectionCriteria& criteria) {
    error_ = criteria.validate();
    if (!error_.isEmpty()) {
        return false;
    }
    DbTransaction tx(db_);
    if (!tx.began()) {
        error_ = tx.error();
        return false;
    }
    if (!execSql(db_, QStringLiteral("DELETE FROM TEMP_CYCLE"), &error_) ||
        !execFragment(db_, criteria.selectionStatement(), &error_) ||
        !workTableFilled(QStringLiteral("TEMP_CYCLE")) ||
        !execSql(db_, QStringLiteral("DELETE FROM TEMP_RESCYCLE"), &error_) ||
        !execSql(db_, fillResultsSql(), &error_) ||
        !workTableFilled(QStringLiteral("TEMP_RESCYCLE"))) {
        return false;
    }
    if (!tx.commit()) {
        error_ = tx.error();
        return false;
    }
    return true;
}

bool WorkingSelection::workTableFilled(const QString& table) {
    for (const QString& sql : dbDialect().workTableFilled(table)) {
        if (!execSql(db_, sql, &error_)) {
            return false;
        }
    }
    return true;
}

bool WorkingSelection::drop(const QList<int>& cycleIds) {
    if (cycleIds.isEmpty()) {
        return true;
    }
    DbTransaction tx(db_);
    const QString ids = idList(cycleIds);
    if (!tx.began() ||
        !execSql(db_, QStringLiteral("DELETE FROM TEMP_CYCLE WHERE  CYCLE_ID IN ( %1) ").arg(ids),
                 &error_) ||
        !execSql(db_,
                 QStringLiteral("DELETE FROM TEMP_RESCYCLE WHERE  CYCLE_ID IN ( %1) ").arg(ids),
                 &error_)) {
        if (error_.isEmpty()) {
            error_ = tx.error();
        }
        return false;
    }
    if (!tx.commit()) {
        error_ = tx.error();
        return false;
    }
    return true;
}

bool WorkingSelection::clear() {
    DbTransaction tx(db_);
    if (!tx.began() || !execSql(db_, QStringLiteral("DELETE FROM TEMP_CYCLE"), &error_) ||
        !execSql(db_, QStringLiteral("DELETE FROM TEMP_RESCYCLE"), &error_) ||
        !execSql(db_, QStringLiteral("DELETE FROM TEMP_RESSEANS"), &error_)) {
        if (error_.isEmpty()) {
            error_ = tx.error();
        }
        return false;
    }
    return tx.commit();
}

SelectionTotals WorkingSelection::totals(const QList<int>& excludedCycleIds,
                                         const SqlFilter& filter) {
    error_.clear();
    SqlFragment sql(
        QStringLiteral(
            "SELECT SUM(RESCYC1.P_CALL_COUNT) AS S1, SUM(RESCYC1.P_KPV_CNT) AS S2, "
            "SUM(RESCYC1.P_KPV_CNT)/SUM(RESCYC1.P_CALL_COUNT)*100 AS S2_S1, "
            "MIN(RESCYC1.P_NORM_KPV) AS NORM FROM TEMP_CYCLE CYC,TEMP_RESCYCLE RESCYC1") +
        filter.from + QStringLiteral(" WHERE CYC.CYCLE_ID=RESCYC1.CYCLE_ID ") +
        exclusionCondition(excludedCycleIds));
    sql += filter.where;
    SelectionTotals out;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!execFragment(q, sql, &error_) || !q.next()) {
        return out;
    }
    out.attempts = q.value(0);
    out.losses = q.value(1);
    out.percent = q.value(2);
    out.minNorm = q.value(3);
    return out;
}

}  // namespace zev7
