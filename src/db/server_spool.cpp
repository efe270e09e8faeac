#include "db/server_spool.h"

#include "db/db_dialect.h"
#include "db/db_schema.h"
#include "db/db_transaction.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace zev7 {

namespace {

QString markTableSql() {
    return QStringLiteral(
               "CREATE TABLE IF NOT EXISTS %1 (CYCLE_ID INTEGER PRIMARY KEY, PORT INTEGER)")
        .arg(QLatin1String(kSpoolTable));
}

bool readCycles(QSqlDatabase& db, QList<int>* out, QString* error, int port) {
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT CYCLE_ID FROM %1 WHERE ? = 0 OR PORT = ? ORDER BY CYCLE_ID")
                  .arg(QLatin1String(kSpoolTable)));
    q.addBindValue(port);
    q.addBindValue(port);
    if (!q.exec()) {
        *error = sqlErrorText(q);
        return false;
    }
    out->clear();
    while (q.next()) {
        out->append(q.value(0).toInt());
    }
    return true;
}

}  // namespace

bool ServerSpool::setUp(QSqlDatabase& db, QString* error) {
    return execSql(db, markTableSql(), error);
}

bool ServerSpool::markCycle(int cycleId, int port, QString* error) {
    QSqlQuery q(db_);
    q.prepare(sqliteDialect().insertUnlessPresent(
        QLatin1String(kSpoolTable), {QStringLiteral("CYCLE_ID"), QStringLiteral("PORT")}, {}));
    q.addBindValue(cycleId);
    q.addBindValue(port);
    if (!q.exec()) {
        *error = sqlErrorText(q);
        return false;
    }
    return true;
}

bool ServerSpool::cycles(QList<int>* out, QString* error, int port) {
    return readCycles(db_, out, error, port);
}

bool ServerSpool::remove(const QList<int>& cycleIds, QString* error) {
    DbTransaction tx(db_);
    if (!tx.began()) {
        *error = tx.error();
        return false;
    }
    QSqlQuery unmark(db_);
    unmark.prepare(
        QStringLiteral("DELETE FROM %1 WHERE CYCLE_ID=?").arg(QLatin1String(kSpoolTable)));
    for (int id : cycleIds) {
        if (!deleteCycleRows(db_, id, error)) {
            return false;
        }
        unmark.bindValue(0, id);
        if (!unmark.exec()) {
            *error = sqlErrorText(unmark);
            return false;
        }
    }
    if (!tx.commit()) {
        *error = tx.error();
        return false;
    }
    return true;
}

bool ServerSpool::holdsCycles(const QString& filePath, int port) {
    if (!QFileInfo(filePath).isFile()) {
        return false;
    }
    const QString name = QStringLiteral("ZEV7_spool_look_") + QUuid::createUuid().toString();
    bool holds = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(sqliteDialect().driverName(), name);
        db.setDatabaseName(filePath);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QList<int> ids;
        QString error;
        holds = db.open() && readCycles(db, &ids, &error, port) && !ids.isEmpty();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return holds;
}

}  // namespace zev7
