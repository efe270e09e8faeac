#include "dbquery/graph_data.h"

#include "core/strings.h"
#include "db/db_records.h"
#include "dbquery/working_selection.h"
#include "scenario/result_code.h"

#include <QSqlQuery>
#include <algorithm>

namespace zev7 {

namespace {

// The bounds of a histogram lie this far outside the smallest and largest value, so that
// both fall inside even when all values are equal.
constexpr double kEdge = 0.00001;

// The columns of the loss categories (results 4..16) and of the two totals (2, 3).
constexpr const char* kPieFields[kResultParamCount - 1] = {
    "P_ACCESS",     "P_LOSS",         "P_NO_AS",           "P_BUSY_AS", "P_BUSY_OV_AS",
    "P_NO_AS_CALL", "P_BUSY_AS_CALL", "P_BUSY_OV_AS_CALL", "P_NO_DC",   "P_BUSY_DC",
    "P_BUSY_OV_DC", "P_NO_AA",        "P_OVERTIME_AA",     "P_NO_BUSY", "P_NO_OUT_SIGNAL"};
constexpr int kFirstLossParam = 4;

QString levelColumn(GraphLevel level) {
    switch (level) {
        case GraphLevel::Attenuation:
            return QStringLiteral("RES_ATT");
        case GraphLevel::DialTone:
            return QStringLiteral("RES_AS_LEV");
        case GraphLevel::Ringback:
            return QStringLiteral("RES_DC_LEV");
    }
    return {};
}

// Numbers inside the statement: the general format with "." as the decimal separator.
QString number(double v) {
    return QString::number(v, 'g', 15);
}

QString castFloat(double v) {
    return QStringLiteral("CAST(%1 AS FLOAT) ").arg(number(v));
}

// The result parameters a pie sums: 2, 3 for the call pies, 4..16 for the loss pies.
std::pair<int, int> pieParams(int kind) {
    return (kind == GraphCyclePie || kind == GraphSelectionPie)
               ? std::pair{2, 3}
               : std::pair{kFirstLossParam, kResultParamCount};
}

}  // namespace

bool graphKindUsed(int kind) {
    return kind >= 0 && kind < kGraphKindCount && kind != 6 && kind != 8 && kind != 11 &&
           kind != 13;
}

bool graphIsPie(int kind) {
    return kind >= GraphCyclePie && kind <= GraphSelectionLossPie;
}

bool graphIsHistogram(int kind) {
    return graphKindUsed(kind) && kind >= GraphFirstHistogram && kind <= GraphLastHistogram;
}

bool graphIsPerCall(int kind) {
    return graphKindUsed(kind) && kind >= GraphFirstPerCall && kind <= GraphLastPerCall;
}

bool graphIsByCycle(int kind) {
    return kind >= GraphFirstMean && kind <= GraphLastResult;
}

bool graphFollowsCycle(int kind) {
    return kind == GraphCyclePie || kind == GraphCycleLossPie || graphIsHistogram(kind) ||
           graphIsPerCall(kind);
}

GraphLevel graphLevel(int kind) {
    // Within each group of the level kinds: attenuation, dial tone, (unused,) ringback.
    static constexpr GraphLevel kByKind[] = {
        GraphLevel::Attenuation, GraphLevel::DialTone,    GraphLevel::Ringback,
        GraphLevel::Ringback,    GraphLevel::Ringback,    GraphLevel::Attenuation,
        GraphLevel::DialTone,    GraphLevel::Ringback,    GraphLevel::Ringback,
        GraphLevel::Ringback,    GraphLevel::Attenuation, GraphLevel::DialTone,
        GraphLevel::Ringback};
    if (kind < GraphFirstHistogram || kind > GraphLastMean) {
        return GraphLevel::Attenuation;
    }
    return kByKind[kind - GraphFirstHistogram];
}

int graphResultParam(int kind) {
    return kind - 15;
}

int histogramKind(GraphLevel level) {
    return level == GraphLevel::Attenuation ? 4 : level == GraphLevel::DialTone ? 5 : 7;
}

int perCallKind(GraphLevel level) {
    return level == GraphLevel::Attenuation ? 9 : level == GraphLevel::DialTone ? 10 : 12;
}

int meanKind(GraphLevel level) {
    return GraphFirstMean + static_cast<int>(level);
}

QString graphSeriesTitle(int kind) {
    if (kind >= GraphFirstResult && kind <= GraphLastResult) {
        const int param = graphResultParam(kind);
        if (param == 2) {
            return txt(str::GraphAllSuccesses);
        }
        if (param == 3) {
            return txt(str::GraphAllLosses);
        }
        return resultCodeText(kLossOutcomes[static_cast<std::size_t>(param - kFirstLossParam)]);
    }
    static const char* const kLevels[] = {str::GraphAttenuation, str::GraphDialTone,
                                          str::GraphRingback};
    return txt(kLevels[static_cast<int>(graphLevel(kind))]);
}

QString graphKindCaption(int kind) {
    if (!graphKindUsed(kind)) {
        return {};
    }
    if (kind >= GraphFirstResult) {
        // The labels are stored padded with blanks; a section name keeps none.
        return txt(str::GraphDbResultCaption) + graphSeriesTitle(kind).trimmed();
    }
    return txt(str::GraphDbCaptions[kind]);
}

QString graphLevelAxisTitle(GraphLevel level) {
    static const char* const kTitles[] = {str::CallColAttenuation, str::CallHintDialTone,
                                          str::CallHintRingback};
    return txt(kTitles[static_cast<int>(level)]);
}

QStringList graphSliceLabels(int kind) {
    if (!graphIsPie(kind)) {
        return {};
    }
    if (kind == GraphCyclePie || kind == GraphSelectionPie) {
        return {txt(str::GraphAllSuccesses), txt(str::GraphAllLosses)};
    }
    QStringList labels;
    for (ResultCode outcome : kLossOutcomes) {
        labels << resultCodeText(outcome);
    }
    return labels;
}

double GraphData::highestBar() const {
    double top = 0.0;
    for (const GraphPoint& p : points) {
        top = std::max(top, p.y);
    }
    return top;
}

bool GraphQuery::read(int kind, const GraphScope& scope, int intervals, GraphData& out) {
    out = {};
    error_.clear();
    bool ok = true;
    if (graphIsPie(kind)) {
        ok = pie(kind, scope, out);
    } else if (graphIsHistogram(kind)) {
        ok = histogram(graphLevel(kind), scope.cycleId, std::max(1, intervals), out);
    } else if (graphIsPerCall(kind)) {
        ok = perCall(graphLevel(kind), scope.cycleId, out);
    } else if (graphIsByCycle(kind) && kind <= GraphLastMean) {
        ok = meanPerCycle(graphLevel(kind), scope, out);
    } else if (graphIsByCycle(kind)) {
        ok = resultByCycle(graphResultParam(kind), scope, out);
    }
    if (!ok) {
        out = {};
    }
    return ok;
}

bool GraphQuery::pie(int kind, const GraphScope& scope, GraphData& out) {
    const auto [first, last] = pieParams(kind);
    QStringList select;
    QStringList from{QStringLiteral("TEMP_CYCLE CYC")};
    QStringList where;
    const bool selection = kind == GraphSelectionPie || kind == GraphSelectionLossPie;
    for (int id = first; id <= last; ++id) {
        const QString alias = QStringLiteral("RESCYC%1").arg(id);
        const QString field = QString::fromLatin1(kPieFields[id - 2]);
        select << (selection ? QStringLiteral("SUM(%1.RESCYC_VALUE_CNT) AS %2")
                             : QStringLiteral("%1.RESCYC_VALUE_CNT AS %2"))
                      .arg(alias, field);
        from << QStringLiteral("TABLE_RESCYCLE ") + alias;
        // The first is joined to the cycle, every other one to the first.
        where << QStringLiteral("(%1.CYCLE_ID=%2) AND (%1.PARAM_RES_ID=%3)")
                     .arg(alias, id == first ? QStringLiteral("CYC.CYCLE_ID")
                                             : QStringLiteral("RESCYC%1.CYCLE_ID").arg(first))
                     .arg(id);
    }
    SqlFragment sql(QStringLiteral("SELECT ") + select.join(QStringLiteral(", ")) +
                    QStringLiteral(" FROM ") + from.join(QStringLiteral(", ")));
    if (selection) {
        sql += scope.filter.from + QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND ")) +
               exclusionCondition(scope.excludedCycleIds);
        sql += scope.filter.where;
    } else {
        sql += SqlFragment(
            QStringLiteral(" WHERE (CYC.CYCLE_ID=?) AND ") + where.join(QStringLiteral(" AND ")),
            {scope.cycleId});
    }
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!execFragment(q, sql, &error_)) {
        return false;
    }
    if (q.next()) {
        for (int i = 0; i <= last - first; ++i) {
            out.slices << q.value(i).toDouble();
        }
    }
    return true;
}

bool GraphQuery::histogram(GraphLevel level, int cycleId, int intervals, GraphData& out) {
    const QString c = levelColumn(level);
    const QString rows =
        QStringLiteral(" FROM  TABLE_RESSEANS RESSEANS0 WHERE RESSEANS0.CYCLE_ID=%1").arg(cycleId);
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!execFragment(q,
                      SqlFragment(QStringLiteral("SELECT MIN(RESSEANS0.%1) AS P_MIN, "
                                                 "MAX(RESSEANS0.%1) AS P_MAX, COUNT(RESSEANS0.%1) "
                                                 "AS P_ALL, SUM(RESSEANS0.%1) AS P_SUM")
                                      .arg(c) +
                                  rows),
                      &error_) ||
        !q.next()) {
        return error_.isEmpty();
    }
    out.measured = q.value(2).toInt();
    if (out.measured < 1) {
        return true;
    }
    const bool allEqual = q.value(0).toDouble() == q.value(1).toDouble();
    const double lo = q.value(0).toDouble() - kEdge;
    const double hi = q.value(1).toDouble() + kEdge;
    const double step = (hi - lo) / intervals;
    out.mean = q.value(3).toDouble() / out.measured;
    out.low = lo;
    out.high = hi;
    q.finish();

    // Each interval gives a point at its left and one at its right edge, both as high as the
    // share of the measured calls inside it. An interval holds its lower bound (so a value on
    // the border between two intervals is counted once, in the upper one); the last one also
    // holds its upper bound.
    // The edges are drawn 0.00001 inside the interval; an interval narrower than twice that
    // (all values nearly equal) is drawn at its true edges, which keeps it visible and its
    // right edge right of its left one.
    const double inset = step > 2 * kEdge ? kEdge : 0.0;
    if (allEqual) {
        // Every value is the first interval's: it shows 100, the others nothing.
        for (int i = 1; i <= intervals; ++i) {
            const double share = i == 1 ? 100.0 : 0.0;
            out.points << GraphPoint{lo + (i - 1) * step + inset, share, {}}
                       << GraphPoint{i == intervals ? hi : lo + i * step - inset, share, {}};
        }
        return true;
    }
    QStringList selects;
    for (int i = 1; i <= intervals; ++i) {
        const double a = lo + (i - 1) * step;
        const double b = lo + i * step;
        const bool last = i == intervals;
        const QString share =
            QStringLiteral("COUNT(RESSEANS0.%1)*100./(%2) AS P_N1").arg(c).arg(out.measured);
        const QString where =
            rows + QStringLiteral(" AND RESSEANS0.%1>=%2AND RESSEANS0.%1%3%4")
                       .arg(c, castFloat(a), last ? QStringLiteral("<=") : QStringLiteral("<"),
                            castFloat(last ? hi : b));
        const auto point = [&](int order, double x) {
            return QStringLiteral("SELECT %1 AS P_ORD, %2AS P_NX1, %3%4")
                .arg(order)
                .arg(castFloat(x), share, where);
        };
        selects << point(2 * i, a + inset) + QStringLiteral(" UNION ") +
                       point(2 * i + 1, last ? hi : b - inset);
    }
    if (!execFragment(q,
                      SqlFragment(selects.join(QStringLiteral(" UNION ")) +
                                  QStringLiteral(" ORDER BY P_ORD")),
                      &error_)) {
        return false;
    }
    while (q.next()) {
        out.points << GraphPoint{q.value(1).toDouble(), q.value(2).toDouble(), {}};
    }
    return true;
}

bool GraphQuery::perCall(GraphLevel level, int cycleId, GraphData& out) {
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!execFragment(q,
                      SqlFragment(QStringLiteral("SELECT RESSEANS1.SEANS_ID AS P_NX1, "
                                                 "RESSEANS1.%1 AS P_NY1 FROM TABLE_RESSEANS "
                                                 "RESSEANS1 WHERE RESSEANS1.CYCLE_ID=? ORDER BY  "
                                                 "RESSEANS1.SEANS_ID")
                                      .arg(levelColumn(level)),
                                  {cycleId}),
                      &error_)) {
        return false;
    }
    while (q.next()) {
        // A call that measured nothing has no value to draw (it is not a 0 dB call).
        if (!q.value(1).isNull()) {
            out.points << GraphPoint{q.value(0).toDouble(), q.value(1).toDouble(), {}};
        }
    }
    return true;
}

bool GraphQuery::meanPerCycle(GraphLevel level, const GraphScope& scope, GraphData& out) {
    // One point per cycle: two cycles started in the same second on two ports stay two points.
    SqlFragment sql(
        QStringLiteral("SELECT CYC.DATE_ON AS P_DATE_ON, CYC.TIME_ON AS P_TIME_ON, "
                       "SETCYC.P_DATETIME_ON AS P_DATETIME_ON, AVG(RESSEANS1.%1) AS P_AVER   "
                       "FROM TABLE_CYCLE CYC,   TEMP_RESCYCLE SETCYC,   TABLE_RESSEANS RESSEANS1 ")
            .arg(levelColumn(level)) +
        scope.filter.from +
        QStringLiteral(" WHERE (SETCYC.CYCLE_ID=CYC.CYCLE_ID)   AND "
                       "(RESSEANS1.CYCLE_ID=CYC.CYCLE_ID) ") +
        exclusionCondition(scope.excludedCycleIds));
    sql += scope.filter.where;
    sql += QStringLiteral(
        " GROUP BY CYC.DATE_ON,CYC.TIME_ON,SETCYC.P_DATETIME_ON,CYC.CYCLE_ID ORDER BY "
        "CYC.DATE_ON,CYC.TIME_ON,CYC.CYCLE_ID");
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!execFragment(q, sql, &error_)) {
        return false;
    }
    while (q.next()) {
        if (!q.value(3).isNull()) {
            out.points << GraphPoint{double(out.points.size()), q.value(3).toDouble(),
                                     q.value(2).toString()};
        }
    }
    return true;
}

bool GraphQuery::resultByCycle(int param, const GraphScope& scope, GraphData& out) {
    SqlFragment sql(
        QStringLiteral(
            "SELECT CYC.DATE_ON AS P_DATE_ON, CYC.TIME_ON AS P_TIME_ON, SETCYC.P_DATETIME_ON AS "
            "P_DATETIME_ON, RESCYC1.RESCYC_VALUE_PERC AS P_RES, SETCYC.P_NORM_KPV AS P_NORM "
            "FROM TEMP_CYCLE CYC, TEMP_RESCYCLE SETCYC, TABLE_RESCYCLE RESCYC1  ") +
        scope.filter.from);
    sql += SqlFragment(QStringLiteral("   WHERE (SETCYC.CYCLE_ID=CYC.CYCLE_ID)   AND "
                                      "(RESCYC1.CYCLE_ID=CYC.CYCLE_ID)   AND "
                                      "(RESCYC1.PARAM_RES_ID=?) ") +
                           exclusionCondition(scope.excludedCycleIds),
                       {param});
    sql += scope.filter.where;
    sql += QStringLiteral("  ORDER BY CYC.DATE_ON,CYC.TIME_ON,CYC.CYCLE_ID");
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!execFragment(q, sql, &error_)) {
        return false;
    }
    while (q.next()) {
        out.points << GraphPoint{double(out.points.size()), q.value(3).toDouble(),
                                 q.value(2).toString()};
        out.norms << q.value(4).toDouble();
    }
    return true;
}

}  // namespace zev7
