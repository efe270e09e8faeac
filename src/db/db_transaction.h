// One write operation on the results database: it has the database to itself from its first
// statement to its commit, and everything it wrote disappears again when it does not finish.
#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

namespace zev7 {

// Runs one statement; false with the engine's text in *error when it fails.
bool execSql(QSqlDatabase& db, const QString& sql, QString* error = nullptr);

// The engine's text of a failed statement, with the statement it came from.
QString sqlErrorText(const QSqlQuery& query);

// The key an INSERT gave its new row: the row the statement handed back (the dialect's
// returningKey()), else what the driver reports; invalid when the INSERT added no row.
QVariant insertedKey(QSqlQuery& query);

// After a failed write: the database behind db no longer answers at all (a server stopped or
// out of reach, the connection gone), rather than having refused what was sent. Asks it one
// question; the caller has rolled back.
bool connectionLost(QSqlDatabase& db);

class DbTransaction {
public:
    enum class Mode { Write, Exclusive };

    // Begins at once; began() tells whether the database could be had.
    explicit DbTransaction(QSqlDatabase& db, Mode mode = Mode::Write);
    ~DbTransaction();  // rolls back unless committed

    DbTransaction(const DbTransaction&) = delete;
    DbTransaction& operator=(const DbTransaction&) = delete;

    bool began() const { return began_; }
    // The engine said the database is in use by another writer.
    bool busy() const { return busy_; }
    bool commit();
    void rollback();
    const QString& error() const { return error_; }

private:
    QSqlDatabase& db_;
    bool began_ = false;
    bool open_ = false;
    bool busy_ = false;
    QString error_;
};

}  // namespace zev7
