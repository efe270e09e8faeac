#include "db/db_transaction.h"

#include "db/db_dialect.h"

#include <QSqlError>

namespace zev7 {

bool execSql(QSqlDatabase& db, const QString& sql, QString* error) {
    QSqlQuery query(db);
    if (query.exec(sql)) {
        return true;
    }
    if (error != nullptr) {
        *error = sqlErrorText(query);
    }
    return false;
}

QString sqlErrorText(const QSqlQuery& query) {
    const QSqlError e = query.lastError();
    QString text = e.text();
    if (!e.nativeErrorCode().isEmpty()) {
        text += QStringLiteral(" [%1]").arg(e.nativeErrorCode());
    }
    if (!query.lastQuery().isEmpty()) {
        text += QStringLiteral(": ") + query.lastQuery();
    }
    return text;
}

QVariant insertedKey(QSqlQuery& query) {
    if (query.isSelect()) {
        return query.next() ? query.value(0) : QVariant();
    }
    return query.numRowsAffected() > 0 ? query.lastInsertId() : QVariant();
}

bool connectionLost(QSqlDatabase& db) {
    if (!db.isOpen()) {
        return true;
    }
    QSqlQuery probe(db);
    return !probe.exec(QStringLiteral("SELECT 1")) &&
           dialectOf(db).isConnectionLost(probe.lastError());
}

DbTransaction::DbTransaction(QSqlDatabase& db, Mode mode) : db_(db) {
    const DbDialect& dialect = dialectOf(db_);
    QSqlQuery query(db_);
    const QString sql = mode == Mode::Exclusive ? dialect.beginExclusive() : dialect.beginWrite();
    if (!db_.isOpen()) {
        error_ = db_.lastError().text();
        return;
    }
    if (!query.exec(sql)) {
        busy_ = dialect.isBusyError(query.lastError().nativeErrorCode());
        error_ = sqlErrorText(query);
        return;
    }
    began_ = true;
    open_ = true;
}

DbTransaction::~DbTransaction() {
    rollback();
}

bool DbTransaction::commit() {
    if (!open_) {
        return false;
    }
    QSqlQuery query(db_);
    if (!query.exec(QStringLiteral("COMMIT"))) {
        error_ = sqlErrorText(query);
        rollback();
        return false;
    }
    open_ = false;
    return true;
}

void DbTransaction::rollback() {
    if (!open_) {
        return;
    }
    open_ = false;
    QSqlQuery query(db_);
    // A failed statement may already have ended the transaction; then there is nothing left
    // to undo and the engine's complaint about it means nothing.
    query.exec(QStringLiteral("ROLLBACK"));
}

}  // namespace zev7
