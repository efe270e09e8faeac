#include "dbquery/cycle_stat_models.h"

#include "core/strings.h"
#include "db/db_dialect.h"
#include "db/db_records.h"
#include "db/db_transaction.h"

namespace zev7 {

namespace {

QString cycleStatSelect(const QString& normText, const QString& paramCondition) {
    return QStringLiteral(
               "SELECT RESCYC1.PARAM_RES_ID AS P_PARAM_ID, PARAMCYC.PARAM_RES_STR AS P_PARAM_STR, "
               "RESCYC1.RESCYC_VALUE_CNT AS P_RESVALUE_CNT, RESCYC1.RESCYC_VALUE_PERC AS "
               "P_RESVALUE_PERC, %1 AS P_NORM_KPV, SETCYC.P_NORM_KPV AS P_NORM, "
               "SETCYC.P_CALL_COUNT AS P_CALLS FROM "
               "TABLE_RESCYCLE RESCYC1, TABLE_RESPARAM PARAMCYC, TEMP_RESCYCLE SETCYC WHERE "
               "(RESCYC1.CYCLE_ID=?) AND (SETCYC.CYCLE_ID=?) AND "
               "(RESCYC1.PARAM_RES_ID=PARAMCYC.PARAM_RES_ID) AND %2")
        .arg(normText, paramCondition);
}

}  // namespace

CycleStatModel::CycleStatModel(QSqlDatabase db, QObject* parent) : StatTableModel(db, parent) {
    setColumns(
        {{QStringLiteral("P_PARAM_STR"), QString()},
         {QStringLiteral("P_RESVALUE_CNT"), txt(str::DbColCount), CellFormat::Plain, kCentred},
         {QStringLiteral("P_RESVALUE_PERC"), txt(str::DbColPercent), CellFormat::Fixed2, kCentred},
         {QStringLiteral("P_NORM_KPV"), txt(str::DbColNormShort)},
         {QString(), txt(str::ConfidenceHead), CellFormat::LossInterval, kCentred},
         {QString(), txt(str::ConfidenceDecisionHead), CellFormat::LossDecision}});
}

bool CycleStatModel::showCycle(int cycleId) {
    const QString sql = cycleStatSelect(dbDialect().realText(QStringLiteral("SETCYC.P_NORM_KPV")) +
                                            QStringLiteral("||' %'"),
                                        QStringLiteral("( RESCYC1.PARAM_RES_ID=3)")) +
                        QStringLiteral(" UNION ") +
                        cycleStatSelect(QStringLiteral("'          '"),
                                        QStringLiteral(" (RESCYC1.PARAM_RES_ID<>3)")) +
                        QStringLiteral(" ORDER BY P_PARAM_ID");
    return run(SqlFragment(sql, {cycleId, cycleId, cycleId, cycleId}));
}

bool CycleStatModel::isRed(int row, int column) const {
    if (column != columnOf(QStringLiteral("P_RESVALUE_PERC")) ||
        value(row, QStringLiteral("P_PARAM_ID")).toInt() != ResLosses) {
        return false;
    }
    const QVariant perc = value(row, QStringLiteral("P_RESVALUE_PERC"));
    const QVariant norm = value(row, QStringLiteral("P_NORM"));
    return !perc.isNull() && !norm.isNull() && perc.toDouble() > norm.toDouble();
}

std::optional<LossConfidence> CycleStatModel::confidenceAt(int row) const {
    if (value(row, QStringLiteral("P_PARAM_ID")).toInt() != ResLosses) {
        return std::nullopt;
    }
    return confidenceOf(value(row, QStringLiteral("P_RESVALUE_CNT")),
                        value(row, QStringLiteral("P_CALLS")),
                        value(row, QStringLiteral("P_NORM")));
}

CycleCallsModel::CycleCallsModel(QSqlDatabase db, QObject* parent) : StatTableModel(db, parent) {
    setColumns({{QStringLiteral("P_SEANS"), txt(str::DbColCallNo)},
                {QStringLiteral("P_CONNECT_STR"), txt(str::DbColCall)},
                {QStringLiteral("P_ATT"), txt(str::DbColAttenuation), CellFormat::Fixed2, kRight},
                {QStringLiteral("P_LAS"), txt(str::DbColDialTone), CellFormat::Fixed2, kRight},
                {QStringLiteral("P_LDC"), txt(str::DbColRingback), CellFormat::Fixed2, kRight},
                {QStringLiteral("P_DURATION"), txt(str::DbColDuration)},
                {QStringLiteral("P_DATE_ON"), txt(str::DbColDate), CellFormat::Date},
                {QStringLiteral("P_TIME_ON"), txt(str::DbColStart)},
                {QStringLiteral("P_TIME_OFF"), txt(str::DbColEnd)}});
}

bool CycleCallsModel::showCycle(int cycleId) {
    clear();
    QString error;
    if (!clearWorkingTable() ||
        !execFragment(db_,
                      SqlFragment(QStringLiteral("INSERT INTO TEMP_RESSEANS SELECT * FROM "
                                                 "TABLE_RESSEANS RESSEANS1 WHERE "
                                                 "RESSEANS1.CYCLE_ID=?"),
                                  {cycleId}),
                      &error)) {
        return false;
    }
    return run(SqlFragment(
        QStringLiteral(
            "SELECT SEANS.SEANS_ID AS P_SEANS, SEANS.DATE_ON AS P_DATE_ON, SEANS.TIME_ON AS "
            "P_TIME_ON, SEANS.TIME_OFF AS P_TIME_OFF, SEANS.DURATION_SEANS AS P_DURATION, "
            "RESCALL.CONNECT_STR AS P_CONNECT_STR, RESSEANS1.RES_ATT AS P_ATT, "
            "RESSEANS1.RES_AS_LEV AS P_LAS, RESSEANS1.RES_DC_LEV AS P_LDC FROM TABLE_SEANS "
            "SEANS, TEMP_RESSEANS RESSEANS1, TABLE_RESCALLPARAMSEANS RESCALL WHERE "
            "(SEANS.CYCLE_ID=?) AND SEANS.CONNECT_ID=RESCALL.CONNECT_ID AND "
            "(RESSEANS1.SEANS_ID=SEANS.SEANS_ID ) ORDER BY SEANS.SEANS_ID"),
        {cycleId}));
}

bool CycleCallsModel::clearWorkingTable() {
    return execSql(db_, QStringLiteral("DELETE FROM TEMP_RESSEANS"));
}

CycleSettingsModel::CycleSettingsModel(QSqlDatabase db, QObject* parent)
    : StatTableModel(db, parent) {
    setColumns({{QStringLiteral("P_PARAM_STR"), txt(str::DbColParamName)},
                {QStringLiteral("P_SETVALUE"), txt(str::DbColValue)}});
}

bool CycleSettingsModel::showCycle(int cycleId) {
    return run(SqlFragment(
        QStringLiteral("SELECT SETCYC1.PARAM_CYCLE_ID AS P_PARAM_ID, SETCYC1.PARAM_CYCLE_STR AS "
                       "P_PARAM_STR, SETCYC.SETCYC_VALUE AS P_SETVALUE FROM  "
                       "TABLE_SETT_CYCLE_DEC SETCYC, TABLE_SETTPARAM_CYCLE SETCYC1 WHERE "
                       "SETCYC.CYCLE_ID=? AND (SETCYC1.PARAM_CYCLE_ID=SETCYC.PARAM_CYCLE_ID) "
                       "ORDER BY P_PARAM_ID"),
        {cycleId}));
}

}  // namespace zev7
