#include "dbquery/selection_stat_models.h"

#include "core/strings.h"
#include "db/db_dialect.h"
#include "db/db_records.h"
#include "dbquery/working_selection.h"
#include "scenario/result_code.h"

#include <QStringList>

namespace zev7 {

namespace {

// The query names of results 2 to 16, in the columns' order.
const char* const kResultFields[kResultParamCount - 1] = {
    "P_SUCC_CALL",  "P_ALL_LOSS",     "P_NO_AS",           "P_BUSY_AS", "P_BUSY_OV_AS",
    "P_NO_AS_CALL", "P_BUSY_AS_CALL", "P_BUSY_AS_OV_CALL", "P_NO_DC",   "P_BUSY_DC",
    "P_BUSY_OV_DC", "P_NO_SIGNAL",    "P_SIGNAL_OVER",     "P_NO_BUSY", "P_NO_S12"};

// Their titles, without the unit: the result table's captions, then the loss categories.
QString resultLabel(int index) {
    if (index == 0) {
        return txt(str::SummarySuccesses).trimmed();
    }
    if (index == 1) {
        return txt(str::SummaryLosses).trimmed();
    }
    return resultCodeText(kLossOutcomes[static_cast<std::size_t>(index - 2)]).trimmed();
}

// Every result of every selected cycle in one grouped pass: summed, and in percent of the
// cycles' summed attempts; the loss row carries the smallest norm as text.
QString summarySelect(const QString& normText, const QString& filterFrom) {
    return QStringLiteral(
               "SELECT RESCYC1.PARAM_RES_ID AS P_RESPARAM_ID,  PARAMCYC.PARAM_RES_STR AS "
               "P_PARAM_STR,  SUM(RESCYC1.RESCYC_VALUE_CNT) AS  P_RES_CNT,  "
               "SUM(RESCYC1.RESCYC_VALUE_CNT)*100/SUM(RESCYC2.RESCYC_VALUE_CNT)  AS  P_RES_PERC,  "
               "CASE WHEN RESCYC1.PARAM_RES_ID=3 THEN %1 ELSE '          ' END AS P_MIN_NORM_STR,  "
               "MIN(SETCYC.P_NORM_KPV) AS P_MIN_NORM  FROM TEMP_CYCLE CYC,  "
               "TABLE_RESPARAM PARAMCYC,  TABLE_RESCYCLE RESCYC1,  TABLE_RESCYCLE RESCYC2,  "
               "TEMP_RESCYCLE  SETCYC   ")
               .arg(normText) +
           filterFrom;
}

QString summaryWhere(const QString& exclusion) {
    return QStringLiteral(
               "  WHERE (RESCYC1.CYCLE_ID=CYC.CYCLE_ID)  AND "
               "(RESCYC2.CYCLE_ID=CYC.CYCLE_ID)  AND (SETCYC.CYCLE_ID=CYC.CYCLE_ID)  AND "
               "(RESCYC1.PARAM_RES_ID=PARAMCYC.PARAM_RES_ID)  AND "
               "(RESCYC2.PARAM_RES_ID=1) ") +
           exclusion;
}

// "<table> <alias> WHERE <its rows of the selected cycles>": joined to the work table (one
// row a cycle) for a grouped pass, or the work table's keys looked up.
QString selectedRows(bool grouped, const QString& tableAndAlias) {
    const QString alias = tableAndAlias.section(QLatin1Char(' '), 1);
    return grouped ? QStringLiteral("TEMP_RESCYCLE SELCYC, %1 WHERE %2.CYCLE_ID=SELCYC.CYCLE_ID")
                         .arg(tableAndAlias, alias)
                   : QStringLiteral("%1 WHERE %2.CYCLE_ID IN (SELECT CYCLE_ID FROM TEMP_RESCYCLE)")
                         .arg(tableAndAlias, alias);
}

}  // namespace

SummaryStatModel::SummaryStatModel(QSqlDatabase db, QObject* parent) : StatTableModel(db, parent) {
    setColumns(
        {{QStringLiteral("P_PARAM_STR"), QString()},
         {QStringLiteral("P_RES_CNT"), txt(str::DbColCount), CellFormat::Plain, kCentred},
         {QStringLiteral("P_RES_PERC"), txt(str::DbColPercent), CellFormat::Fixed2, kCentred},
         {QStringLiteral("P_MIN_NORM_STR"), txt(str::DbColMinNorm)}});
}

bool SummaryStatModel::recompute(const QList<int>& excludedCycleIds, const SqlFilter& filter) {
    SqlFragment sql(summarySelect(dbDialect().realText(QStringLiteral("MIN(SETCYC.P_NORM_KPV)")) +
                                      QStringLiteral("||' %'"),
                                  filter.from) +
                    summaryWhere(exclusionCondition(excludedCycleIds)));
    sql += filter.where;
    sql += QStringLiteral(
        " GROUP BY RESCYC1.PARAM_RES_ID,PARAMCYC.PARAM_RES_STR  ORDER BY P_RESPARAM_ID");
    return run(sql);
}

bool SummaryStatModel::isRed(int row, int column) const {
    if (column != columnOf(QStringLiteral("P_RES_PERC")) ||
        value(row, QStringLiteral("P_RESPARAM_ID")).toInt() != ResLosses) {
        return false;
    }
    const QVariant perc = value(row, QStringLiteral("P_RES_PERC"));
    const QVariant norm = value(row, QStringLiteral("P_MIN_NORM"));
    return !perc.isNull() && !norm.isNull() && perc.toDouble() > norm.toDouble();
}

ParamStatModel::ParamStatModel(QSqlDatabase db, QObject* parent) : StatTableModel(db, parent) {
    updateColumns();
}

bool ParamStatModel::recompute(const QList<int>& excludedCycleIds, const SqlFilter& filter) {
    const bool grouped = dbDialect().groupsSelectedRows();
    QStringList select{
        QStringLiteral("CYC.CYCLE_ID AS P_CYCLE_ID"),
        QStringLiteral("CYC.OUT_TELNUM AS P_OUT"),
        QStringLiteral("CYC.IN_TELNUM AS P_IN"),
        QStringLiteral("CYC.DATE_ON AS P_DATE_ON"),
        QStringLiteral("CYC.TIME_ON AS P_TIME_ON"),
        (grouped ? QStringLiteral("RESCYC.C1") : QStringLiteral("RESCYC1.RESCYC_VALUE_CNT")) +
            QStringLiteral(" AS P_CALL"),
        QStringLiteral("SETCYC.P_NORM_KPV AS P_NORM")};
    QStringList from{QStringLiteral("TEMP_RESCYCLE SETCYC"), QStringLiteral("TABLE_CYCLE CYC")};
    QStringList where{QStringLiteral("(SETCYC.CYCLE_ID=CYC.CYCLE_ID)")};
    // The 16 results of each selected cycle side by side, a cycle that lacks any of them
    // dropping out: one grouped pass over their rows, or 16 lookups by key.
    QStringList pivot{QStringLiteral("RESCYC1.CYCLE_ID AS CYCLE_ID")};
    for (int id = ResAttempts; id <= kResultParamCount; ++id) {
        const QString alias = QStringLiteral("RESCYC%1").arg(id);
        if (grouped) {
            pivot << QStringLiteral(
                         "MAX(CASE WHEN RESCYC1.PARAM_RES_ID=%1 THEN "
                         "RESCYC1.RESCYC_VALUE_CNT END) AS C%1")
                         .arg(id);
        } else {
            from << QStringLiteral("TABLE_RESCYCLE ") + alias;
            where << QStringLiteral("(%1.CYCLE_ID=CYC.CYCLE_ID AND %1.PARAM_RES_ID=%2)")
                         .arg(alias)
                         .arg(id);
        }
        if (id > ResAttempts) {
            const QString field = QString::fromLatin1(kResultFields[id - 2]);
            if (grouped) {
                pivot << QStringLiteral(
                             "MAX(CASE WHEN RESCYC1.PARAM_RES_ID=%1 THEN "
                             "RESCYC1.RESCYC_VALUE_PERC END) AS P%1")
                             .arg(id);
                select << QStringLiteral("RESCYC.C%1 AS %2").arg(id).arg(field)
                       << QStringLiteral("RESCYC.P%1 AS %2_PERC").arg(id).arg(field);
            } else {
                select << QStringLiteral("%1.RESCYC_VALUE_CNT AS %2").arg(alias, field)
                       << QStringLiteral("%1.RESCYC_VALUE_PERC AS %2_PERC").arg(alias, field);
            }
        }
    }
    if (grouped) {
        from << QStringLiteral("(SELECT ") + pivot.join(QStringLiteral(", ")) +
                    QStringLiteral(
                        " FROM %1 AND RESCYC1.PARAM_RES_ID BETWEEN %2 AND %3 GROUP BY "
                        "RESCYC1.CYCLE_ID HAVING COUNT(*)=%3) RESCYC")
                        .arg(selectedRows(grouped, QStringLiteral("TABLE_RESCYCLE RESCYC1")))
                        .arg(ResAttempts)
                        .arg(kResultParamCount);
        where << QStringLiteral("(RESCYC.CYCLE_ID=CYC.CYCLE_ID)");
    }
    // The means over the cycle's test calls, the selected cycles in one grouped pass over
    // their calls (not over every call of the database: years of them on a shared server);
    // a cycle without any measurement row drops out with the join.
    select << QStringLiteral("RESAVG.A_ATT AS P_AVER_ATT")
           << QStringLiteral("RESAVG.A_AS AS P_AVER_AS")
           << QStringLiteral("RESAVG.A_DC AS P_AVER_DC");
    from << QStringLiteral(
                "(SELECT RESSEANS1.CYCLE_ID AS CYCLE_ID, AVG(RESSEANS1.RES_ATT) AS A_ATT, "
                "AVG(RESSEANS1.RES_AS_LEV) AS A_AS, AVG(RESSEANS1.RES_DC_LEV) AS A_DC "
                "FROM %1 GROUP BY RESSEANS1.CYCLE_ID) RESAVG")
                .arg(selectedRows(grouped, QStringLiteral("TABLE_RESSEANS RESSEANS1")));
    where << QStringLiteral("(RESAVG.CYCLE_ID=CYC.CYCLE_ID)");

    SqlFragment sql(QStringLiteral("SELECT ") + select.join(QStringLiteral(", ")) +
                    QStringLiteral(" FROM ") + from.join(QStringLiteral(", ")) + filter.from +
                    QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND ")) +
                    exclusionCondition(excludedCycleIds));
    sql += filter.where;
    sql += QStringLiteral(" ORDER BY CYC.OUT_TELNUM,CYC.IN_TELNUM,CYC.DATE_ON,CYC.TIME_ON");
    return run(sql);
}

void ParamStatModel::setPercentMode(bool percent) {
    if (percent != percent_) {
        percent_ = percent;
        updateColumns();
    }
}

void ParamStatModel::updateColumns() {
    const QString suffix = txt(percent_ ? str::DbPercentSuffix : str::DbCountSuffix);
    const Qt::Alignment right = kRight;
    QList<StatColumn> cols{
        {QStringLiteral("P_OUT"), txt(str::DbColOutgoing)},
        {QStringLiteral("P_IN"), txt(str::DbColIncoming)},
        {QStringLiteral("P_DATE_ON"), txt(str::DbColDate), CellFormat::Date},
        {QStringLiteral("P_TIME_ON"), txt(str::DbColTime)},
        {QStringLiteral("P_CALL"), txt(str::DbColCalls), CellFormat::Plain, right}};
    for (int i = 0; i < kResultParamCount - 1; ++i) {
        QString field = QString::fromLatin1(kResultFields[i]);
        if (percent_) {
            field += QStringLiteral("_PERC");
        }
        cols.append({field, resultLabel(i) + suffix,
                     percent_ ? CellFormat::Fixed2 : CellFormat::Plain, right});
        if (i == 1) {
            cols.append({QStringLiteral("P_NORM"),
                         txt(str::SummaryNorm).trimmed() + txt(str::DbPercentSuffix),
                         CellFormat::Fixed2, right});
        }
    }
    cols.append(
        {QStringLiteral("P_AVER_ATT"), txt(str::DbColAverAttenuation), CellFormat::Fixed2, right});
    cols.append(
        {QStringLiteral("P_AVER_AS"), txt(str::DbColAverDialTone), CellFormat::Fixed2, right});
    cols.append(
        {QStringLiteral("P_AVER_DC"), txt(str::DbColAverRingback), CellFormat::Fixed2, right});
    setColumns(cols);
}

int ParamStatModel::cycleId(int row) const {
    const QVariant v = value(row, QStringLiteral("P_CYCLE_ID"));
    return v.isNull() ? -1 : v.toInt();
}

bool ParamStatModel::isRed(int row, int column) const {
    if (column !=
        columnOf(percent_ ? QStringLiteral("P_ALL_LOSS_PERC") : QStringLiteral("P_ALL_LOSS"))) {
        return false;
    }
    const QVariant norm = value(row, QStringLiteral("P_NORM"));
    double perc = 0.0;
    if (percent_) {
        const QVariant p = value(row, QStringLiteral("P_ALL_LOSS_PERC"));
        if (p.isNull()) {
            return false;
        }
        perc = p.toDouble();
    } else {
        const double calls = value(row, QStringLiteral("P_CALL")).toDouble();
        if (calls <= 0.0) {
            return false;
        }
        perc = value(row, QStringLiteral("P_ALL_LOSS")).toDouble() * 100.0 / calls;
    }
    return !norm.isNull() && perc > norm.toDouble();
}

}  // namespace zev7
