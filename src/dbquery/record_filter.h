// The filter of the cycle list: one setting or one result of a cycle between two bounds, and
// a time-of-day window. Turned into an extra table for the FROM part and a condition for the
// WHERE part of every query over the selection.
#pragma once

#include "dbquery/sql_fragment.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTime>

namespace zev7 {

enum class FilterKind { None, Setting, Result };

// The comparison operators the bounds offer, in the order of their list.
enum class FilterCompare { Greater, GreaterEqual, Equal, LessEqual, Less };
QStringList filterCompareTexts();  // ">", ">=", "=", "<=", "<"

struct FilterParameter {
    int id = 0;
    QString name;
};

// The parameters of a kind as the dictionaries name them.
QList<FilterParameter> filterParameters(QSqlDatabase& db, FilterKind kind);
// The unit shown beside the bounds ("шт", "с", "дБм", "Гц", "%" or nothing).
QString filterUnit(FilterKind kind, int id);

// What the filter adds to a query; both empty when no filter is on.
struct SqlFilter {
    QString from;
    SqlFragment where;
    bool isOn() const { return !where.isEmpty(); }
};

struct RecordFilter {
    FilterKind kind = FilterKind::None;
    int paramId = 0;
    FilterCompare lowCompare = FilterCompare::GreaterEqual;
    QString low = QStringLiteral("0");
    FilterCompare highCompare = FilterCompare::LessEqual;
    QString high = QStringLiteral("100");
    bool timeWindow = false;
    QString timeFrom = QStringLiteral("00:00:00");
    QString timeTo = QStringLiteral("23:59:59");

    // Why the filter cannot be used (a bound that is no number, an unknown parameter), or
    // empty. The time edits are corrected like the period edits, never refused.
    QString validate() const;
    // The filter's SQL; empty when it is not valid or filters nothing.
    SqlFilter toSql() const;
};

}  // namespace zev7
