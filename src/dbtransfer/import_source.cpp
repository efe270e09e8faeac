#include "dbtransfer/import_source.h"

#include "db/db_connection.h"
#include "db/db_dialect.h"
#include "db/db_transaction.h"
#include "dbtransfer/paradox_table.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>

namespace zev7 {

namespace {

// A declared SQLite type as a field: what matters is that the same declaration on both sides
// reads the same, and that a text's length counts.
FieldDef sqliteField(const QString& name, const QString& declared) {
    static const QRegularExpression sized(QStringLiteral("^\\s*(\\w+)\\s*\\(\\s*(\\d+)\\s*\\)"));
    const QString upper = declared.trimmed().toUpper();
    const QRegularExpressionMatch m = sized.match(upper);
    const QString base = m.hasMatch() ? m.captured(1) : upper.section(QLatin1Char(' '), 0, 0);
    const int size = m.hasMatch() ? m.captured(2).toInt() : 0;
    if (base == QLatin1String("INTEGER")) {
        return {name, FieldType::Integer, 4};
    }
    if (base == QLatin1String("REAL")) {
        return {name, FieldType::Real, 8};
    }
    if (base == QLatin1String("TEXT") || base == QLatin1String("VARCHAR")) {
        return {name, FieldType::Text, size};
    }
    return {name, FieldType::Other, size};
}

// nullopt: no such table; empty: the file could not be read.
std::optional<TableLayout> sqliteLayout(QSqlDatabase& db, const QString& table) {
    const DbDialect& d = dbDialect();
    QSqlQuery q(db);
    if (!q.exec(d.tableColumns(table))) {
        return TableLayout{};
    }
    TableLayout layout;
    while (q.next()) {
        layout << sqliteField(q.value(d.columnNameField()).toString(),
                              q.value(d.columnTypeField()).toString());
    }
    if (layout.isEmpty()) {
        return std::nullopt;
    }
    return layout;
}

// The file in the directory whose name is `name` in any letter case (tables copied from
// Windows keep whatever case they had there).
QString findFile(const QString& directory, const QString& name) {
    const QDir dir(directory);
    if (dir.exists(name)) {
        return dir.filePath(name);
    }
    for (const QString& entry : dir.entryList(QDir::Files)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) {
            return dir.filePath(entry);
        }
    }
    return {};
}

QAtomicInt connectionSerial;

}  // namespace

// ---- The database file of another ZEV7 --------------------------------------------------------

SqliteImportSource::SqliteImportSource(const QString& filePath, QSqlDatabase own)
    : connectionName_(QStringLiteral("ZEV7_import_%1").arg(connectionSerial.fetchAndAddRelaxed(1))),
      own_(own) {
    source_ = QSqlDatabase::addDatabase(dbDialect().driverName(), connectionName_);
    // The source is only read: a backup on a write-protected medium imports too.
    source_.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    source_.setDatabaseName(filePath);
    source_.open();
}

SqliteImportSource::~SqliteImportSource() {
    source_.close();
    source_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

std::optional<TableLayout> SqliteImportSource::layout(const QString& table) {
    if (!source_.isOpen()) {
        return TableLayout{};
    }
    return sqliteLayout(source_, table);
}

TableLayout SqliteImportSource::expectedLayout(const QString& table) {
    return sqliteLayout(own_, table).value_or(TableLayout{});
}

bool SqliteImportSource::select(const QString& table, const QString& where,
                                const QVariantList& values, QList<SourceRow>* out, QString* error) {
    QSqlQuery q(source_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT * FROM %1%2").arg(table, where));
    for (const QVariant& v : values) {
        q.addBindValue(v);
    }
    if (!q.exec()) {
        *error = sqlErrorText(q);
        return false;
    }
    const int columns = q.record().count();
    while (q.next()) {
        SourceRow row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i) {
            row << q.value(i);
        }
        out->append(row);
    }
    return true;
}

bool SqliteImportSource::rows(const QString& table, QList<SourceRow>* out, QString* error) {
    return select(table, QString(), {}, out, error);
}

bool SqliteImportSource::cycleRows(const QString& table, int cycleId, QList<SourceRow>* out,
                                   QString* error) {
    return select(table, QStringLiteral(" WHERE CYCLE_ID=?"), {cycleId}, out, error);
}

// ---- The Paradox tables of the earlier system ------------------------------------------------

struct ParadoxImportSource::Loaded {
    QList<SourceRow> rows;
    QHash<int, QList<qsizetype>> byCycle;  // row positions by the first field, CYCLE_ID
    bool indexed = false;
};

ParadoxImportSource::ParadoxImportSource(const QString& directory) : directory_(directory) {}

ParadoxImportSource::~ParadoxImportSource() = default;

std::optional<TableLayout> ParadoxImportSource::layout(const QString& table) {
    const QString path = findFile(directory_, sourceFileName(table));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    ParadoxTable t;
    if (!t.open(path)) {
        return TableLayout{};
    }
    return t.layout();
}

TableLayout ParadoxImportSource::expectedLayout(const QString& table) {
    return installedLayout(table);
}

ParadoxImportSource::Loaded* ParadoxImportSource::load(const QString& table, QString* error) {
    auto found = tables_.find(table);
    if (found != tables_.end()) {
        return found->second.get();
    }
    ParadoxTable t;
    auto loaded = std::make_unique<Loaded>();
    if (!t.open(findFile(directory_, sourceFileName(table))) || !t.readAll(&loaded->rows)) {
        *error = sourceFileName(table) + QStringLiteral(": ") + t.error();
        return nullptr;
    }
    return tables_.emplace(table, std::move(loaded)).first->second.get();
}

bool ParadoxImportSource::rows(const QString& table, QList<SourceRow>* out, QString* error) {
    Loaded* t = load(table, error);
    if (t == nullptr) {
        return false;
    }
    *out = t->rows;
    return true;
}

bool ParadoxImportSource::cycleRows(const QString& table, int cycleId, QList<SourceRow>* out,
                                    QString* error) {
    Loaded* t = load(table, error);
    if (t == nullptr) {
        return false;
    }
    if (!t->indexed) {
        for (qsizetype i = 0; i < t->rows.size(); ++i) {
            if (!t->rows[i].isEmpty()) {
                t->byCycle[t->rows[i].first().toInt()].append(i);
            }
        }
        t->indexed = true;
    }
    out->clear();
    for (qsizetype i : t->byCycle.value(cycleId)) {
        out->append(t->rows[i]);
    }
    return true;
}

bool hasSqliteSource(const QString& directory) {
    return !findFile(directory, QLatin1String(kDatabaseFileName)).isEmpty();
}

std::unique_ptr<ImportSource> openImportSource(const QString& directory, QSqlDatabase own) {
    if (hasSqliteSource(directory)) {
        return std::make_unique<SqliteImportSource>(
            findFile(directory, QLatin1String(kDatabaseFileName)), own);
    }
    return std::make_unique<ParadoxImportSource>(directory);
}

}  // namespace zev7
