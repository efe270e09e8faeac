#include "dbquery/cycle_list_model.h"

#include "core/strings.h"
#include "db/station_name.h"

#include <QColor>
#include <QSqlQuery>
#include <algorithm>

namespace zev7 {

namespace {

const QString kListFrom =
    QStringLiteral(" FROM TEMP_CYCLE CYC,  TEMP_RESCYCLE RESCYC1, TABLE_CYCLESTATE STATE1  ");
const QString kListWhere =
    QStringLiteral("  WHERE (RESCYC1.CYCLE_ID=CYC.CYCLE_ID)   AND (STATE1.STATE_ID=CYC.STATE_ID) ");

// A long title on two lines, broken at the space nearest its middle: thirteen columns side by
// side fit the window's width when the titles are no wider than their values.
QString inTwoLines(const char* title) {
    QString text = txt(title);
    const qsizetype middle = text.size() / 2;
    qsizetype best = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char(' ') && (best < 0 || qAbs(i - middle) < qAbs(best - middle))) {
            best = i;
        }
    }
    if (best >= 0) {
        text[best] = QLatin1Char('\n');
    }
    return text;
}

}  // namespace

CycleListModel::CycleListModel(QSqlDatabase db, QObject* parent) : StatTableModel(db, parent) {
    setColumns(
        {{QStringLiteral("P_OUT"), txt(str::DbColOutgoing)},
         {QStringLiteral("P_IN"), txt(str::DbColIncoming)},
         {QStringLiteral("P_DATE_ON"), txt(str::DbColDate), CellFormat::Date},
         {QStringLiteral("P_TIME_ON"), txt(str::DbColStart)},
         {QStringLiteral("P_TIME_OFF"), txt(str::DbColEnd)},
         {QStringLiteral("P_CALL"), inTwoLines(str::DbColCallsList), CellFormat::Plain, kRight},
         {QStringLiteral("P_KPV"), inTwoLines(str::DbColLossesList), CellFormat::Plain, kRight},
         {QStringLiteral("P_KPV_PERC"), txt(str::DbColKpv), CellFormat::Fixed2, kRight},
         {QStringLiteral("P_NORM"), txt(str::DbColNorm), CellFormat::Fixed2, kRight},
         {QStringLiteral("P_STATE"), inTwoLines(str::DbColState)},
         {QStringLiteral("P_STATION"), inTwoLines(str::DbColStation)},
         {QString(), txt(str::ConfidenceHead), CellFormat::LossInterval, kRight},
         {QString(), inTwoLines(str::ConfidenceDecisionHead), CellFormat::LossDecision}});
}

bool CycleListModel::load(const SqlFilter& filter) {
    excluded_.clear();
    SqlFragment sql(QStringLiteral("SELECT CYC.OUT_TELNUM AS P_OUT, CYC.IN_TELNUM AS P_IN,  "
                                   "CYC.DATE_ON AS P_DATE_ON,  CYC.TIME_ON AS P_TIME_ON,  "
                                   "CYC.TIME_OFF AS P_TIME_OFF,  RESCYC1.P_CALL_COUNT AS P_CALL, "
                                   "RESCYC1.P_KPV_CNT AS P_KPV, RESCYC1.P_KPV_PERC AS P_KPV_PERC, "
                                   "RESCYC1.P_NORM_KPV AS P_NORM, STATE1.STATE_STR AS P_STATE, "
                                   "%1 AS P_STATION, CYC.CYCLE_ID AS P_CYCLE_ID ")
                            .arg(stationShownSql(QStringLiteral("CYC.STATION"))) +
                        kListFrom + filter.from + kListWhere,
                    {ownStationName()});
    sql += filter.where;
    sql += QStringLiteral(" ORDER BY CYC.OUT_TELNUM,CYC.IN_TELNUM,CYC.DATE_ON,CYC.TIME_ON");
    totalRows_ = 0;
    if (!run(sql)) {
        return false;
    }
    // A server hands the whole list over at once and says how long it is; a file is read as
    // the grid scrolls, and its rows are counted apart.
    if (query().size() >= 0) {
        totalRows_ = query().size();
        return true;
    }
    SqlFragment count(QStringLiteral("SELECT COUNT(*) ") + kListFrom + filter.from + kListWhere);
    count += filter.where;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (execFragment(q, count) && q.next()) {
        totalRows_ = q.value(0).toInt();
    }
    return true;
}

int CycleListModel::cycleId(int row) const {
    const QVariant v = value(row, QStringLiteral("P_CYCLE_ID"));
    return v.isNull() ? -1 : v.toInt();
}

bool CycleListModel::isIncluded(int row) const {
    return !excluded_.contains(cycleId(row));
}

void CycleListModel::setIncluded(int row, bool included) {
    const int id = cycleId(row);
    if (id < 0) {
        return;
    }
    if (included) {
        excluded_.remove(id);
    } else {
        excluded_.insert(id);
    }
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

QList<int> CycleListModel::excludedCycleIds() const {
    QList<int> ids(excluded_.begin(), excluded_.end());
    std::sort(ids.begin(), ids.end());
    return ids;
}

int CycleListModel::rowOfCycle(int id) {
    for (int row = 0;; ++row) {
        while (row >= rowCount() && canFetchMore()) {
            fetchMore();
        }
        if (row >= rowCount()) {
            return -1;
        }
        if (cycleId(row) == id) {
            return row;
        }
    }
}

bool CycleListModel::isRed(int row, int column) const {
    if (column != columnOf(QStringLiteral("P_KPV_PERC"))) {
        return false;
    }
    const QVariant perc = value(row, QStringLiteral("P_KPV_PERC"));
    const QVariant norm = value(row, QStringLiteral("P_NORM"));
    return !perc.isNull() && !norm.isNull() && perc.toDouble() > norm.toDouble();
}

std::optional<LossConfidence> CycleListModel::confidenceAt(int row) const {
    return confidenceOf(value(row, QStringLiteral("P_KPV")), value(row, QStringLiteral("P_CALL")),
                        value(row, QStringLiteral("P_NORM")));
}

QColor CycleListModel::excludedBackground() {
    return QColor(128, 128, 128);
}

QVariant CycleListModel::rowBackground(int row) const {
    return isIncluded(row) ? QVariant() : QVariant::fromValue(excludedBackground());
}

QVariant CycleListModel::rowForeground(int row) const {
    return isIncluded(row) ? QVariant() : QVariant::fromValue(QColor(Qt::white));
}

}  // namespace zev7
