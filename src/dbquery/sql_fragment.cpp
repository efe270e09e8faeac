#include "dbquery/sql_fragment.h"

#include "db/db_transaction.h"

#include <QStringList>

namespace zev7 {

bool execFragment(QSqlQuery& query, const SqlFragment& statement, QString* error) {
    if (!query.prepare(statement.sql)) {
        if (error != nullptr) {
            *error = sqlErrorText(query);
        }
        return false;
    }
    for (const QVariant& v : statement.values) {
        query.addBindValue(v);
    }
    if (!query.exec()) {
        if (error != nullptr) {
            *error = sqlErrorText(query);
        }
        return false;
    }
    return true;
}

bool execFragment(QSqlDatabase& db, const SqlFragment& statement, QString* error) {
    QSqlQuery query(db);
    return execFragment(query, statement, error);
}

QString idList(const QList<int>& ids) {
    QStringList parts;
    parts.reserve(ids.size());
    for (int id : ids) {
        parts << QString::number(id);
    }
    return parts.join(QLatin1Char(','));
}

}  // namespace zev7
