#include "dbquery/selection_lists.h"

#include "db/db_schema.h"
#include "db/station_name.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace zev7 {

namespace {

struct SideTables {
    const char* table;
    const char* alias;
    const char* id;
    const char* telnum;
};
constexpr SideTables kSides[2] = {{"TABLE_OUT", "OUT", "OUT_ID", "OUT_TELNUM"},
                                  {"TABLE_IN", "IN1", "IN_ID", "IN_TELNUM"}};

const SideTables& tables(SelectionSide side) {
    return kSides[static_cast<int>(side)];
}

QString numberText(const QString& alias) {
    QStringList parts;
    for (const char* c :
         {"HIER_ATX", "BEF_CALL", "CODE_CITY", "ADD_CODE", "NUM_ATX", "NUM_ON_ATX", "ADD_CALL"}) {
        parts << QStringLiteral("CAST(%1.%2 AS TEXT)").arg(alias, QString::fromLatin1(c));
    }
    return parts.join(QStringLiteral("||'/'||"));
}

}  // namespace

QString displayNumber(const QString& joined) {
    if (joined.isEmpty()) {
        return joined;
    }
    QString out = joined;
    if (out.startsWith(QLatin1Char('/'))) {
        out.prepend(QLatin1Char('-'));
    }
    if (out.endsWith(QLatin1Char('/'))) {
        out.append(QLatin1Char('-'));
    }
    while (out.contains(QLatin1String("//"))) {
        out.replace(QLatin1String("//"), QLatin1String("/-/"));
    }
    return out;
}

CodeList SelectionLists::codeValues(SelectionSide side, CodePart part) {
    const QString column = codePartColumn(part);
    QSqlQuery q(db_);
    CodeList out;
    if (!q.exec(QStringLiteral("SELECT DISTINCT %1 FROM %2 ORDER BY %1")
                    .arg(column, QString::fromLatin1(tables(side).table)))) {
        error_ = q.lastError().text();
        return out;
    }
    while (q.next()) {
        out.append({q.value(0).toString(), true});
    }
    return out;
}

void SelectionLists::loadCodeLists(SelectionCriteria& criteria) {
    for (int p = 0; p < kCodePartCount; ++p) {
        const auto part = static_cast<CodePart>(p);
        criteria.codeList(criteria.side, part) = codeValues(criteria.side, part);
    }
    criteria.numbers.clear();
}

void SelectionLists::loadStations(SelectionCriteria& criteria) {
    const CodeList before = criteria.stations;
    criteria.stations.clear();
    criteria.ownStation = ownStationName();
    // A read-only file of an older version has no stations to choose from.
    if (!DbSchema::existingColumns(db_, QString::fromLatin1(table::Cycle))
             .contains(QLatin1String("STATION"))) {
        return;
    }
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    const SqlFragment sql(QStringLiteral("SELECT DISTINCT %1 FROM TABLE_CYCLE CYC")
                              .arg(stationShownSql(QStringLiteral("CYC.STATION"))),
                          {criteria.ownStation});
    if (!execFragment(q, sql, &error_)) {
        return;
    }
    QStringList names;
    while (q.next()) {
        names << q.value(0).toString();
    }
    if (names.size() < 2) {
        return;
    }
    names.sort();
    for (const QString& name : names) {
        const auto old = std::find_if(before.begin(), before.end(),
                                      [&](const CodeItem& c) { return c.value == name; });
        criteria.stations.append({name, old == before.end() || old->ticked});
    }
    if (std::none_of(criteria.stations.begin(), criteria.stations.end(),
                     [](const CodeItem& c) { return c.ticked; })) {
        criteria.stations.first().ticked = true;
    }
}

QList<NumberItem> SelectionLists::numbers(const SelectionCriteria& criteria,
                                          SelectionSide listSide) {
    const SideTables& t = tables(listSide);
    const QString alias = QString::fromLatin1(t.alias);
    const QString id = QString::fromLatin1(t.id);
    SqlFragment sql(QStringLiteral("SELECT DISTINCT %1 AS %2, CYC.%3 FROM %4 %5, TABLE_CYCLE CYC "
                                   "WHERE (%5.%3=CYC.%3) AND ")
                        .arg(numberText(alias), QString::fromLatin1(t.telnum), id,
                             QString::fromLatin1(t.table), alias));
    sql += criteria.dateTimeCondition();
    sql += criteria.dayCondition();
    sql += criteria.stationCondition();
    sql += criteria.codeCondition(listSide);
    sql += QStringLiteral(" ORDER BY %1").arg(QString::fromLatin1(t.telnum));

    QList<NumberItem> out;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!execFragment(q, sql, &error_)) {
        return out;
    }
    while (q.next()) {
        NumberItem item;
        item.text = displayNumber(q.value(0).toString());
        item.id = q.value(1).toInt();
        out.append(item);
    }
    return out;
}

void SelectionLists::loadFirstList(SelectionCriteria& criteria) {
    criteria.numbers = numbers(criteria, criteria.side);
}

}  // namespace zev7
