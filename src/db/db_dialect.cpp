#include "db/db_dialect.h"

#include <cstdlib>

namespace zev7 {

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

QString SqliteDialect::integerColumn(const QString& column, bool notNull) const {
    return column + (notNull ? QStringLiteral(" INTEGER NOT NULL") : QStringLiteral(" INTEGER"));
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

QString SqliteDialect::attachDatabase(const QString& filePath, const QString& schema) const {
    return QStringLiteral("ATTACH DATABASE %1 AS %2").arg(sqlQuoted(filePath), schema);
}

QString SqliteDialect::detachDatabase(const QString& schema) const {
    return QStringLiteral("DETACH DATABASE %1").arg(schema);
}

QString SqliteDialect::qualifiedTable(const QString& schema, const QString& table) const {
    return schema + QLatin1Char('.') + table;
}

const DbDialect& dbDialect() {
    static const SqliteDialect dialect;
    return dialect;
}

QString sqlQuoted(const QString& text) {
    QString inner = text;
    inner.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

}  // namespace zev7
