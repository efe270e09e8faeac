// A selection of every stored cycle of a period: all outgoing numbers ticked, every day.
#pragma once

#include "db/db_connection.h"
#include "dbquery/selection_criteria.h"

#include <QSqlQuery>

namespace zev7::test {

inline SelectionCriteria everyNumberCriteria(const QString& dateOn, const QString& dateOff) {
    SelectionCriteria c;
    c.period.dateOn = dateOn;
    c.period.dateOff = dateOff;
    QSqlQuery q(DbConnection::main());
    q.exec(QStringLiteral("SELECT OUT_ID FROM Table_Out"));
    while (q.next()) {
        c.numbers.append({q.value(0).toInt(), QString(), true, {}});
    }
    return c;
}

}  // namespace zev7::test
