// The few places where the SQL of one database engine differs from another's (where a method
// has a body here, the engines share it): how dates and
// times are written and compared, how a key numbers itself, how texts are joined, how a row that
// may exist already is written, how the file is set up and kept small. Everything else the program
// writes is plain SQL. SQLite keeps the results in a file beside the program; PostgreSQL keeps them
// on a server that several stations share.
#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>

namespace zev7 {

class DbDialect {
public:
    virtual ~DbDialect() = default;

    // Name of the Qt driver that talks to this engine.
    virtual QString driverName() const = 0;

    // Column declarations. Dates and times are kept as separate columns (the statistics
    // compare them separately); texts that are looked up ignore letter case.
    virtual QString autoIncrementKey(const QString& column) const = 0;
    virtual QString dateColumn(const QString& column, bool notNull) const = 0;
    virtual QString timeColumn(const QString& column, bool notNull) const = 0;
    virtual QString textColumn(const QString& column, int length, bool lookup) const = 0;
    virtual QString integerColumn(const QString& column, bool notNull) const;
    virtual QString realColumn(const QString& column) const = 0;

    // Values bound to a statement for a date column and a time column.
    virtual QVariant dateValue(const QDate& date) const = 0;
    virtual QVariant timeValue(const QTime& time) const = 0;
    // Reads back what dateValue/timeValue stored; invalid for anything else.
    virtual QDate toDate(const QVariant& stored) const = 0;
    virtual QTime toTime(const QVariant& stored) const = 0;

    // Literals inside SQL text: the period edits of the selection windows become these.
    virtual QString dateLiteral(const QDate& date) const = 0;
    virtual QString timeLiteral(const QTime& time) const = 0;
    // A date expression moved by whole days ("CYC.DATE_OFF-1").
    virtual QString addDays(const QString& dateExpression, int days) const = 0;
    // The day of the week of a date expression as DayWeekId, 1 Monday .. 7 Sunday.
    virtual QString dayWeekId(const QString& dateExpression) const = 0;
    // A date expression as the program shows dates, "dd.mm.yyyy".
    virtual QString displayDate(const QString& dateExpression) const = 0;
    // A real number as the text the tables show ("10.0" for ten).
    virtual QString realText(const QString& expression) const = 0;
    // Texts joined into one; an empty part stays empty and does not empty the result.
    virtual QString concat(const QStringList& expressions) const = 0;
    // True when a number part column holds nothing (stored as an empty text).
    virtual QString isEmptyText(const QString& column) const = 0;

    // Transactions that give one writer the tables for the length of one operation.
    virtual QString beginWrite() const = 0;
    virtual QString beginExclusive() const = 0;
    // The engine's error code says another connection holds the database.
    virtual bool isBusyError(const QString& nativeErrorCode) const = 0;
    // The error says the database could not be reached or the connection to it was lost (a
    // server stopped or out of reach), not that it refused the statement: what was sent may
    // be sent again once the connection is back.
    virtual bool isConnectionLost(const QSqlError& error) const;

    // ---- Writing rows that may exist already ----------------------------------------------
    // One row with a placeholder per column; a row that would repeat the key (any unique key
    // when none is named) of an existing one is not written.
    virtual QString insertUnlessPresent(const QString& table, const QStringList& columns,
                                        const QStringList& keyColumns) const;
    // One row with a placeholder per column; an existing row with the same key takes the new
    // values of the other columns, except that a null (not measured) keeps what it held.
    virtual QString insertOrMerge(const QString& table, const QStringList& columns,
                                  const QStringList& keyColumns) const = 0;
    // What follows an INSERT so that the statement hands back the key it gave the new row
    // (read with insertedKey()); empty when the driver reports the key by itself.
    virtual QString returningKey(const QString& column) const = 0;
    // A SELECT with its ORDER BY cut to its first row.
    virtual QString firstRowOnly(const QString& orderedSelect) const;
    // The column that orders a table's rows as they were inserted.
    virtual QString insertionOrder() const = 0;

    // ---- The file and the connection ------------------------------------------------------
    // Options handed to the driver when a connection opens.
    virtual QString connectOptions(int busyTimeoutMs, bool readOnly) const = 0;
    // Statements that set up a newly made file: freed pages given back on demand, readers
    // beside one writer.
    virtual QStringList fileSetUp() const = 0;
    // Every commit on disk before the writer goes on, or left to the system.
    virtual QString commitSafety(bool syncEveryCommit) const = 0;
    // How long a statement waits for another connection's lock; 0 not at all.
    virtual QString busyTimeout(int ms) const = 0;
    // The layout version stamped into the file.
    virtual QString setSchemaVersion(int version) const = 0;
    // Run first in the set-up's transaction, so that stations starting at once (after a power
    // cut, say) take turns creating and upgrading the tables instead of locking each other
    // out; empty when the transaction alone does that.
    virtual QString setUpTurn() const { return {}; }
    // One row, one text: the engine and its version as the settings dialog shows them.
    virtual QString engineVersion() const = 0;
    // A column (its declaration) added at the end of a table of an older layout; its rows hold
    // NULL there. Stations that start together on one server may both add it: the second
    // finds it there.
    virtual QString addColumn(const QString& table, const QString& declaration) const = 0;
    // Run on every work table when the tables are set up, new or of an older layout; empty
    // when the engine keeps a work table like any other.
    virtual QString workTableSetUp(const QString& /*table*/) const { return {}; }
    // Gives the connection a work table of its own, of the shared one's layout, in its place
    // for as long as the connection lives: on a server many programs select at once, and one's
    // selection must not empty or fill another's. Empty where the database has one user (a
    // file: each station its own).
    virtual QString ownWorkTable(const QString& /*table*/) const { return {}; }

    // ---- Catalogue and maintenance ---------------------------------------------------------
    // One row when the table bound as the only value exists (its name in any letter case).
    virtual QString tableExists() const = 0;
    // The highest key an auto-increment table (bound: its name) has given out; no row when
    // it keeps none.
    virtual QString readKeyCounter() const = 0;
    // The statements that set that counter again after the table was rebuilt; each binds the
    // table's name first and the second the counter.
    virtual QString forgetKeyCounter() const = 0;
    virtual QString storeKeyCounter() const = 0;
    // Packs a table where it lies (the server's own vacuum, run outside a transaction); empty
    // when the engine packs a table by copying it into a fresh one.
    virtual QString packInPlace(const QString& table) const = 0;
    // What tells the planner how many rows a work table holds and how they spread, run in the
    // transaction that filled it; none when the engine plans the selection's queries well
    // without it.
    virtual QStringList workTableFilled(const QString& /*table*/) const { return {}; }
    // The statistics reach the selected cycles' rows in one grouped pass joined to the work
    // table (a server: its planner does that well and fetches a month's rows by their key),
    // not by a lookup per cycle and result (a file: its lookups by key are cheap, its grouping
    // of millions of rows is not).
    virtual bool groupsSelectedRows() const { return false; }
    // The number of unused pages in the file, and the statement that returns one of them to
    // the file system each time it runs.
    virtual QString freePageCount() const = 0;
    virtual QString releaseFreePage() const = 0;
    // Folds the write-ahead log into the file so that the file really shrinks.
    virtual QString foldLog() const = 0;
    // The engine's own check of the file: one row per problem, a single "ok" row when none.
    // The statements before it make the check available, and may fail when it already is.
    virtual QStringList integrityCheckSetUp() const = 0;
    virtual QString integrityCheck() const = 0;
    // The columns of a table, one row each, the column's name in the field `columnNameField()`.
    virtual QString tableColumns(const QString& table) const = 0;
    virtual int columnNameField() const = 0;
    // The field with the column's declared type, as a ZEV7 file declares it ("VARCHAR(20)"),
    // in the same rows.
    virtual int columnTypeField() const = 0;
};

class SqliteDialect : public DbDialect {
public:
    QString driverName() const override;
    QString autoIncrementKey(const QString& column) const override;
    QString dateColumn(const QString& column, bool notNull) const override;
    QString timeColumn(const QString& column, bool notNull) const override;
    QString textColumn(const QString& column, int length, bool lookup) const override;
    QString realColumn(const QString& column) const override;
    QVariant dateValue(const QDate& date) const override;
    QVariant timeValue(const QTime& time) const override;
    QDate toDate(const QVariant& stored) const override;
    QTime toTime(const QVariant& stored) const override;
    QString dateLiteral(const QDate& date) const override;
    QString timeLiteral(const QTime& time) const override;
    QString addDays(const QString& dateExpression, int days) const override;
    QString dayWeekId(const QString& dateExpression) const override;
    QString displayDate(const QString& dateExpression) const override;
    QString realText(const QString& expression) const override;
    QString concat(const QStringList& expressions) const override;
    QString isEmptyText(const QString& column) const override;
    QString beginWrite() const override;
    QString beginExclusive() const override;
    bool isBusyError(const QString& nativeErrorCode) const override;
    QString insertOrMerge(const QString& table, const QStringList& columns,
                          const QStringList& keyColumns) const override;
    QString returningKey(const QString& column) const override;
    QString insertionOrder() const override;
    QString connectOptions(int busyTimeoutMs, bool readOnly) const override;
    QStringList fileSetUp() const override;
    QString commitSafety(bool syncEveryCommit) const override;
    QString busyTimeout(int ms) const override;
    QString setSchemaVersion(int version) const override;
    QString engineVersion() const override;
    QString addColumn(const QString& table, const QString& declaration) const override;
    QString tableExists() const override;
    QString readKeyCounter() const override;
    QString forgetKeyCounter() const override;
    QString storeKeyCounter() const override;
    QString packInPlace(const QString& table) const override;
    QString freePageCount() const override;
    QString releaseFreePage() const override;
    QString foldLog() const override;
    QStringList integrityCheckSetUp() const override;
    QString integrityCheck() const override;
    QString tableColumns(const QString& table) const override;
    int columnNameField() const override;
    int columnTypeField() const override;
};

// A PostgreSQL server: keys from sequences, dates and times in their own column types, the
// looked-up texts compared without regard to letter case through a collation of the server.
class PostgresDialect : public DbDialect {
public:
    QString driverName() const override;
    QString autoIncrementKey(const QString& column) const override;
    QString dateColumn(const QString& column, bool notNull) const override;
    QString timeColumn(const QString& column, bool notNull) const override;
    QString textColumn(const QString& column, int length, bool lookup) const override;
    QString realColumn(const QString& column) const override;
    QVariant dateValue(const QDate& date) const override;
    QVariant timeValue(const QTime& time) const override;
    QDate toDate(const QVariant& stored) const override;
    QTime toTime(const QVariant& stored) const override;
    QString dateLiteral(const QDate& date) const override;
    QString timeLiteral(const QTime& time) const override;
    QString addDays(const QString& dateExpression, int days) const override;
    QString dayWeekId(const QString& dateExpression) const override;
    QString displayDate(const QString& dateExpression) const override;
    QString realText(const QString& expression) const override;
    QString concat(const QStringList& expressions) const override;
    QString isEmptyText(const QString& column) const override;
    QString beginWrite() const override;
    QString beginExclusive() const override;
    bool isBusyError(const QString& nativeErrorCode) const override;
    bool isConnectionLost(const QSqlError& error) const override;
    QString insertOrMerge(const QString& table, const QStringList& columns,
                          const QStringList& keyColumns) const override;
    QString returningKey(const QString& column) const override;
    QString insertionOrder() const override;
    QString connectOptions(int busyTimeoutMs, bool readOnly) const override;
    QStringList fileSetUp() const override;
    QString commitSafety(bool syncEveryCommit) const override;
    QString busyTimeout(int ms) const override;
    QString setUpTurn() const override;
    QString setSchemaVersion(int version) const override;
    QString engineVersion() const override;
    QString addColumn(const QString& table, const QString& declaration) const override;
    QString workTableSetUp(const QString& table) const override;
    QString ownWorkTable(const QString& table) const override;
    QString tableExists() const override;
    QString readKeyCounter() const override;
    QString forgetKeyCounter() const override;
    QString storeKeyCounter() const override;
    QString packInPlace(const QString& table) const override;
    QStringList workTableFilled(const QString& table) const override;
    bool groupsSelectedRows() const override;
    QString freePageCount() const override;
    QString releaseFreePage() const override;
    QString foldLog() const override;
    QStringList integrityCheckSetUp() const override;
    QString integrityCheck() const override;
    QString tableColumns(const QString& table) const override;
    int columnNameField() const override;
    int columnTypeField() const override;
};

const DbDialect& sqliteDialect();
const DbDialect& postgresDialect();

// The dialect of the database the program works with: SQLite until DbConnection is set up for a
// server.
const DbDialect& dbDialect();
void useDbDialect(const DbDialect& dialect);
// The dialect of the engine behind a connection: a station that writes to a server also keeps
// its own file (the spool of a server out of reach), each written in its own engine's SQL.
const DbDialect& dialectOf(const QSqlDatabase& db);

// A text as an SQL string literal: single quotes, inner quotes doubled.
QString sqlQuoted(const QString& text);

}  // namespace zev7
