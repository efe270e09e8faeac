#include "db/db_dialect.h"

#include "db/dialect_sql.h"

#include <atomic>
#include <cstdlib>

namespace zev7 {

using namespace dialect_sql;

namespace {

// Dates and times are ISO texts: they sort and compare as the moments they name, and SQLite's
// date functions read them directly.
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kTimeFormat = QStringLiteral("hh:mm:ss");
const QString kDatePattern = QStringLiteral("'[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]'");
const QString kTimePattern = QStringLiteral("'[0-2][0-9]:[0-5][0-9]:[0-5][0-9]'");

QString checkedTextColumn(const QString& column, bool notNull, const QString& pattern) {
    return QStringLiteral("%1 TEXT%2 CHECK (%1 GLOB %3)")
        .arg(column, notNull ? QStringLiteral(" NOT NULL") : QString(), pattern);
}
}  // namespace

QString DbDialect::integerColumn(const QString& column, bool notNull) const {
    return column + (notNull ? QStringLiteral(" INTEGER NOT NULL") : QStringLiteral(" INTEGER"));
}

QString DbDialect::insertUnlessPresent(const QString& table, const QStringList& columns,
                                       const QStringList& keyColumns) const {
    return insertRow(table, columns) +
           QStringLiteral(" ON CONFLICT%1 DO NOTHING").arg(conflictTarget(keyColumns));
}

QString DbDialect::firstRowOnly(const QString& orderedSelect) const {
    return orderedSelect + QStringLiteral(" LIMIT 1");
}

QString SqliteDialect::driverName() const {
    return QStringLiteral("QSQLITE");
}

QString SqliteDialect::autoIncrementKey(const QString& column) const {
    // AUTOINCREMENT: an identifier is never given out twice, also after the last rows were
    // deleted, so a copy of an old selection can never name a newer cycle.
    return column + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
}

QString SqliteDialect::dateColumn(const QString& column, bool notNull) const {
    return checkedTextColumn(column, notNull, kDatePattern);
}

QString SqliteDialect::timeColumn(const QString& column, bool notNull) const {
    return checkedTextColumn(column, notNull, kTimePattern);
}

QString SqliteDialect::textColumn(const QString& column, int length, bool lookup) const {
    // The length is the column's documented size; the writers cut their texts to it.
    if (lookup) {
        return QStringLiteral("%1 VARCHAR(%2) NOT NULL DEFAULT '' COLLATE NOCASE")
            .arg(column)
            .arg(length);
    }
    return QStringLiteral("%1 VARCHAR(%2)").arg(column).arg(length);
}

QString SqliteDialect::realColumn(const QString& column) const {
    return column + QStringLiteral(" REAL");
}

QVariant SqliteDialect::dateValue(const QDate& date) const {
    return date.isValid() ? QVariant(date.toString(kDateFormat)) : QVariant();
}

QVariant SqliteDialect::timeValue(const QTime& time) const {
    return time.isValid() ? QVariant(time.toString(kTimeFormat)) : QVariant();
}

QDate SqliteDialect::toDate(const QVariant& stored) const {
    return QDate::fromString(stored.toString(), kDateFormat);
}

QTime SqliteDialect::toTime(const QVariant& stored) const {
    return QTime::fromString(stored.toString(), kTimeFormat);
}

QString SqliteDialect::dateLiteral(const QDate& date) const {
    return sqlQuoted(date.toString(kDateFormat));
}

QString SqliteDialect::timeLiteral(const QTime& time) const {
    return sqlQuoted(time.toString(kTimeFormat));
}

QString SqliteDialect::addDays(const QString& dateExpression, int days) const {
    return QStringLiteral("date(%1, '%2%3 days')")
        .arg(dateExpression, days < 0 ? QStringLiteral("-") : QStringLiteral("+"))
        .arg(std::abs(days));
}

QString SqliteDialect::dayWeekId(const QString& dateExpression) const {
    // strftime's %w counts from Sunday = 0.
    return QStringLiteral("((CAST(strftime('%w', %1) AS INTEGER) + 6) % 7 + 1)")
        .arg(dateExpression);
}

QString SqliteDialect::displayDate(const QString& dateExpression) const {
    return QStringLiteral("strftime('%d.%m.%Y', %1)").arg(dateExpression);
}

QString SqliteDialect::realText(const QString& expression) const {
    return QStringLiteral("CAST(%1 AS TEXT)").arg(expression);
}

QString SqliteDialect::concat(const QStringList& expressions) const {
    QStringList parts;
    parts.reserve(expressions.size());
    for (const QString& e : expressions) {
        parts << QStringLiteral("IFNULL(%1, '')").arg(e);
    }
    return QLatin1Char('(') + parts.join(QStringLiteral(" || ")) + QLatin1Char(')');
}

QString SqliteDialect::isEmptyText(const QString& column) const {
    return QStringLiteral("(IFNULL(%1, '') = '')").arg(column);
}

QString SqliteDialect::beginWrite() const {
    // Takes the write lock at once, so a writer that cannot have the database learns it before
    // it has read anything.
    return QStringLiteral("BEGIN IMMEDIATE");
}

QString SqliteDialect::beginExclusive() const {
    return QStringLiteral("BEGIN EXCLUSIVE");
}

bool SqliteDialect::isBusyError(const QString& nativeErrorCode) const {
    // SQLITE_BUSY (another connection writes) and SQLITE_LOCKED, with or without the
    // extended code in the upper bits.
    bool ok = false;
    const int code = nativeErrorCode.toInt(&ok);
    constexpr int kPrimaryMask = 0xff;
    constexpr int kSqliteBusy = 5;
    constexpr int kSqliteLocked = 6;
    return ok && ((code & kPrimaryMask) == kSqliteBusy || (code & kPrimaryMask) == kSqliteLocked);
}

QString SqliteDialect::insertOrMerge(const QString& table, const QStringList& columns,
                                     const QStringList& keyColumns) const {
    QStringList updates;
    for (const QString& c : columns) {
        if (!keyColumns.contains(c, Qt::CaseInsensitive)) {
            updates << QStringLiteral("%1 = IFNULL(excluded.%1, %1)").arg(c);
        }
    }
    return insertRow(table, columns) +
           QStringLiteral(" ON CONFLICT%1 DO UPDATE SET %2")
               .arg(conflictTarget(keyColumns), updates.join(kListSeparator));
}

QString SqliteDialect::returningKey(const QString& /*column*/) const {
    return {};
}

QString SqliteDialect::insertionOrder() const {
    return QStringLiteral("rowid");
}

QString SqliteDialect::connectOptions(int busyTimeoutMs, bool readOnly) const {
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs);
    if (readOnly) {
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    }
    return options;
}

QStringList SqliteDialect::fileSetUp() const {
    // Incremental vacuum takes effect only while the file is still empty, that is when it is
    // created; WAL lets the database windows read while the ports write.
    return {QStringLiteral("PRAGMA auto_vacuum = INCREMENTAL"),
            QStringLiteral("PRAGMA journal_mode = WAL")};
}

QString SqliteDialect::commitSafety(bool syncEveryCommit) const {
    return syncEveryCommit ? QStringLiteral("PRAGMA synchronous = FULL")
                           : QStringLiteral("PRAGMA synchronous = OFF");
}

QString SqliteDialect::busyTimeout(int ms) const {
    return QStringLiteral("PRAGMA busy_timeout = %1").arg(ms);
}

QString SqliteDialect::setSchemaVersion(int version) const {
    return QStringLiteral("PRAGMA user_version = %1").arg(version);
}

QString SqliteDialect::engineVersion() const {
    return QStringLiteral("SELECT 'SQLite ' || sqlite_version()");
}

QString SqliteDialect::addColumn(const QString& table, const QString& declaration) const {
    // One writer at a time holds the file during the setup, so the column is never there yet.
    return QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(table, declaration);
}

QString SqliteDialect::tableExists() const {
    return QStringLiteral(
        "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE");
}

QString SqliteDialect::readKeyCounter() const {
    return QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ? COLLATE NOCASE");
}

QString SqliteDialect::forgetKeyCounter() const {
    return QStringLiteral("DELETE FROM sqlite_sequence WHERE name = ?");
}

QString SqliteDialect::storeKeyCounter() const {
    return QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)");
}

QString SqliteDialect::packInPlace(const QString& /*table*/) const {
    return {};
}

QString SqliteDialect::freePageCount() const {
    return QStringLiteral("PRAGMA freelist_count");
}

QString SqliteDialect::releaseFreePage() const {
    return QStringLiteral("PRAGMA incremental_vacuum");
}

QString SqliteDialect::foldLog() const {
    return QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)");
}

QStringList SqliteDialect::integrityCheckSetUp() const {
    return {};
}

QString SqliteDialect::integrityCheck() const {
    return QStringLiteral("PRAGMA integrity_check");
}

QString SqliteDialect::tableColumns(const QString& table) const {
    return QStringLiteral("PRAGMA table_info(%1)").arg(table);
}

int SqliteDialect::columnNameField() const {
    return 1;  // cid, name, type, notnull, dflt_value, pk
}

int SqliteDialect::columnTypeField() const {
    return 2;
}

const DbDialect& sqliteDialect() {
    static const SqliteDialect dialect;
    return dialect;
}

const DbDialect& postgresDialect() {
    static const PostgresDialect dialect;
    return dialect;
}

namespace {
std::atomic<const DbDialect*> currentDialect{nullptr};
}  // namespace

const DbDialect& dbDialect() {
    const DbDialect* d = currentDialect.load();
    return d != nullptr ? *d : sqliteDialect();
}

void useDbDialect(const DbDialect& dialect) {
    currentDialect.store(&dialect);
}

const DbDialect& dialectOf(const QSqlDatabase& db) {
    return db.driverName() == postgresDialect().driverName() ? postgresDialect() : sqliteDialect();
}

bool DbDialect::isConnectionLost(const QSqlError& error) const {
    // The driver's own word: the connection could not be made or is gone.
    return error.type() == QSqlError::ConnectionError;
}

QString sqlQuoted(const QString& text) {
    QString inner = text;
    inner.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

}  // namespace zev7
