#include "dbtransfer/import_source.h"

#include "core/strings.h"
#include "db/db_connection.h"
#include "db/db_dialect.h"
#include "dbtransfer/engine_problem.h"
#include "dbtransfer/paradox_table.h"
#include "dbtransfer/source_rules.h"

#include <sqlite3.h>
#include <QAtomicInt>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace zev7 {

namespace {

// How often the engine asks whether to go on, in its virtual machine's instructions: a few
// thousand times a second on a slow machine.
constexpr int kProgressInstructions = 1000;
// Rows read between two looks at the user's "Прервать".
constexpr int kRowsPerLook = 256;
// What a column that should hold a number or a date may show of a text or blob in its place.
constexpr int kForeignTextShown = 64;
constexpr int kMsPerSecond = 1000;

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

}  // namespace

std::optional<TableLayout> declaredLayout(QSqlDatabase& db, const QString& table) {
    const DbDialect& d = dialectOf(db);
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

namespace {

QString quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

// The file in the directory whose name is `name` in any letter case (tables copied from
// Windows keep whatever case they had there).
QString findFile(const QString& directory, const QString& name) {
    const QDir dir(directory);
    if (dir.exists(name)) {
        return dir.filePath(name);
    }
    for (const QString& entry : dir.entryList(QDir::Files | QDir::System)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) {
            return dir.filePath(entry);
        }
    }
    return {};
}

const char* const kResultTables[] = {"Table_Out",           "Table_In",       "Table_Cycle",
                                     "Table_Seans",         "Table_ResSeans", "Table_ResCycle",
                                     "Table_Sett_Cycle_Dec"};

QAtomicInt connectionSerial;

}  // namespace

// ---- The database file of another ZEV7 --------------------------------------------------------

SqliteImportSource::SqliteImportSource(const QString& filePath, QSqlDatabase own)
    : filePath_(filePath),
      connectionName_(QStringLiteral("ZEV7_import_%1").arg(connectionSerial.fetchAndAddRelaxed(1))),
      own_(own) {
    source_ = QSqlDatabase::addDatabase(sqliteDialect().driverName(), connectionName_);
    // The source is only read: a backup on a write-protected medium imports too.
    source_.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    source_.setDatabaseName(filePath);
    step_.start();
    // Only a plain file that is not empty can be a database; a link to a device is none.
    const QFileInfo info(filePath);
    if (!info.isFile() || info.size() == 0 || !source_.open()) {
        return;
    }
    const QVariant handle = source_.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0) {
        if (auto* db = *static_cast<sqlite3* const*>(handle.data())) {
            sqlite3_progress_handler(db, kProgressInstructions, &SqliteImportSource::progress,
                                     this);
        }
    }
    // Every read sees the file as it was at the first one.
    source_.transaction();
}

SqliteImportSource::~SqliteImportSource() {
    if (source_.isOpen()) {
        source_.rollback();
        source_.close();
    }
    source_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

int SqliteImportSource::progress(void* self) {
    auto* s = static_cast<SqliteImportSource*>(self);
    if (s->interrupted()) {
        return 1;
    }
    if (s->step_.hasExpired(kStepLimitMs)) {
        s->timedOut_ = true;
        return 1;
    }
    return 0;
}

QString SqliteImportSource::engineProblem(const QSqlQuery& q) {
    if (timedOut_) {
        return txt(str::SourceTimeout).arg(kStepLimitMs / kMsPerSecond);
    }
    if (interrupted()) {
        return {};
    }
    return engineProblemText(q.lastError(), sqliteDialect());
}

bool SqliteImportSource::exec(QSqlQuery& q, const QString& sql, const QVariantList& values,
                              QString* problem) {
    step_.start();
    if (!timedOut_ && q.prepare(sql)) {
        for (const QVariant& v : values) {
            q.addBindValue(v);
        }
        if (q.exec()) {
            return true;
        }
    }
    *problem = engineProblem(q);
    return false;
}

bool SqliteImportSource::next(QSqlQuery& q, QString* problem) {
    step_.start();
    if (q.next()) {
        return true;
    }
    // The end of the rows, or a step the engine could not finish.
    if (q.lastError().isValid() || timedOut_ || interrupted()) {
        *problem = engineProblem(q);
    }
    return false;
}

QString SqliteImportSource::openProblem() {
    const QString name = QFileInfo(filePath_).fileName();
    const QString head = txt(str::SourceNotDatabase).arg(name);
    const QFileInfo info(filePath_);
    if (!info.isFile() || info.size() == 0) {
        return head + QLatin1Char('\n') + txt(str::SourceEmptyFile);
    }
    if (!source_.isOpen()) {
        return head + QLatin1Char('\n') + engineProblemText(source_.lastError(), sqliteDialect());
    }
    QSqlQuery q(source_);
    QString problem;
    if (!exec(q, QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table', 'view')"),
              {}, &problem)) {
        return problem.isEmpty() ? QString() : head + QLatin1Char('\n') + problem;
    }
    bool anyResultTable = false;
    while (next(q, &problem)) {
        for (const char* t : kResultTables) {
            anyResultTable = anyResultTable || q.value(0).toString().compare(
                                                   QLatin1String(t), Qt::CaseInsensitive) == 0;
        }
    }
    if (!problem.isEmpty()) {
        return head + QLatin1Char('\n') + problem;
    }
    return anyResultTable ? QString() : head;
}

std::optional<TableLayout> SqliteImportSource::layout(const QString& table, QString* problem) {
    if (!source_.isOpen()) {
        return TableLayout{};
    }
    const auto known = layouts_.find(table);
    if (known != layouts_.end()) {
        *problem = known->second.second;
        return known->second.first;
    }
    problem->clear();
    std::optional<TableLayout> layout = readLayout(table, problem);
    // A read the user stopped is no answer about the table.
    if (!interrupted()) {
        layouts_[table] = {layout, *problem};
    }
    return layout;
}

std::optional<TableLayout> SqliteImportSource::readLayout(const QString& table, QString* problem) {
    QSqlQuery q(source_);
    if (!exec(q,
              QStringLiteral("SELECT type, sql FROM sqlite_master WHERE type IN ('table', 'view') "
                             "AND name = ? COLLATE NOCASE"),
              {table}, problem)) {
        return TableLayout{};
    }
    if (!next(q, problem)) {
        return problem->isEmpty() ? std::nullopt : std::optional<TableLayout>(TableLayout{});
    }
    // A view (or a virtual table) is a query that could run for ever: only stored rows count.
    if (q.value(0).toString() != QLatin1String("table") ||
        q.value(1).toString().simplified().startsWith(QLatin1String("CREATE VIRTUAL"),
                                                      Qt::CaseInsensitive)) {
        *problem = txt(str::SourceNotTable);
        return TableLayout{};
    }
    step_.start();
    return declaredLayout(source_, table);
}

TableLayout SqliteImportSource::expectedLayout(const QString& table) {
    return declaredLayout(own_, table).value_or(TableLayout{});
}

QString SqliteImportSource::tableName(const QString& table) const {
    return QFileInfo(filePath_).fileName() + QStringLiteral(", ") + table;
}

QString SqliteImportSource::missingTable(const QString& table) const {
    return txt(str::SourceTableMissing).arg(QFileInfo(filePath_).fileName(), table);
}

// The columns as the checks read them: a text no longer than one character past its column's
// size, and of a number or date column no more than a few characters of a text put there.
QString SqliteImportSource::columns(const QString& table) {
    const auto found = columns_.find(table);
    if (found != columns_.end()) {
        return found->second;
    }
    QString unused;
    const TableLayout layout = this->layout(table, &unused).value_or(TableLayout{});
    const RowRules rules(table, layout);
    QStringList list;
    for (int i = 0; i < layout.size(); ++i) {
        const QString c = quoted(layout[i].name);
        const int limit = rules.textLimit(i);
        list << (limit > 0 ? QStringLiteral("substr(%1, 1, %2)").arg(c).arg(limit + 1)
                           : QStringLiteral("CASE WHEN typeof(%1) IN ('text', 'blob') THEN "
                                            "substr(%1, 1, %2) ELSE %1 END")
                                 .arg(c)
                                 .arg(kForeignTextShown));
    }
    return columns_[table] = list.join(QStringLiteral(", "));
}

qint64 SqliteImportSource::rowCount(const QString& table) {
    QSqlQuery q(source_);
    QString problem;
    return exec(q, QStringLiteral("SELECT count(*) FROM %1").arg(quoted(table)), {}, &problem) &&
                   next(q, &problem)
               ? q.value(0).toLongLong()
               : 0;
}

bool SqliteImportSource::scan(const QString& table, const RowVisitor& visit, QString* problem) {
    problem->clear();
    QSqlQuery q(source_);
    q.setForwardOnly(true);
    if (!exec(q, QStringLiteral("SELECT %1 FROM %2").arg(columns(table), quoted(table)), {},
              problem)) {
        return false;
    }
    const int count = q.record().count();
    qint64 n = 0;
    SourceRow row;
    while (next(q, problem)) {
        row.clear();
        for (int i = 0; i < count; ++i) {
            row << q.value(i);
        }
        if (!visit(row, ++n)) {
            return false;
        }
    }
    return problem->isEmpty() && !interrupted();
}

bool SqliteImportSource::rowsWithKey(const QString& table, int key, QList<SourceRow>* out,
                                     QString* problem) {
    out->clear();
    QString unused;
    const TableLayout layout = this->layout(table, &unused).value_or(TableLayout{});
    if (layout.isEmpty()) {
        return false;
    }
    QSqlQuery q(source_);
    q.setForwardOnly(true);
    if (!exec(q,
              QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                  .arg(columns(table), quoted(table), quoted(layout[0].name)),
              {key}, problem)) {
        return false;
    }
    const int count = q.record().count();
    while (next(q, problem)) {
        SourceRow row;
        for (int i = 0; i < count; ++i) {
            row << q.value(i);
        }
        out->append(row);
    }
    return problem->isEmpty() && !interrupted();
}

// ---- The Paradox tables of the earlier system ------------------------------------------------

struct ParadoxImportSource::Opened {
    struct Run {
        qint64 first = 0;
        qint64 count = 0;
    };
    ParadoxTable table;
    QString fileName;
    // Where each key's records are: runs of neighbouring records, one per key as the earlier
    // system wrote them, so the index grows with the cycles and not with the calls.
    QHash<int, QList<Run>> runs;
    bool indexed = false;
};

ParadoxImportSource::ParadoxImportSource(const QString& directory) : directory_(directory) {}

ParadoxImportSource::~ParadoxImportSource() = default;

ParadoxImportSource::Opened* ParadoxImportSource::open(const QString& table, QString* problem) {
    auto found = tables_.find(table);
    if (found != tables_.end()) {
        return found->second.get();
    }
    const QString path = findFile(directory_, sourceFileName(table));
    if (path.isEmpty()) {
        return nullptr;
    }
    auto opened = std::make_unique<Opened>();
    opened->fileName = QFileInfo(path).fileName();
    if (!opened->table.open(path, [this] { return interrupted(); })) {
        *problem = opened->table.problem();
        return nullptr;
    }
    return tables_.emplace(table, std::move(opened)).first->second.get();
}

std::optional<TableLayout> ParadoxImportSource::layout(const QString& table, QString* problem) {
    problem->clear();
    if (findFile(directory_, sourceFileName(table)).isEmpty()) {
        return std::nullopt;
    }
    Opened* t = open(table, problem);
    return t != nullptr ? t->table.layout() : TableLayout{};
}

TableLayout ParadoxImportSource::expectedLayout(const QString& table) {
    return installedLayout(table);
}

QString ParadoxImportSource::tableName(const QString& table) const {
    const QString path = findFile(directory_, sourceFileName(table));
    return path.isEmpty() ? sourceFileName(table) : QFileInfo(path).fileName();
}

QString ParadoxImportSource::missingTable(const QString& table) const {
    return txt(str::ImportFile) + QLatin1Char(' ') + sourceFileName(table) + QLatin1Char(' ') +
           txt(str::ImportNotFound);
}

qint64 ParadoxImportSource::rowCount(const QString& table) {
    QString problem;
    Opened* t = open(table, &problem);
    return t != nullptr ? t->table.recordCount() : 0;
}

int ParadoxImportSource::textCodePage(const QString& table) {
    QString problem;
    Opened* t = open(table, &problem);
    return t != nullptr ? t->table.textCodePage() : 0;
}

bool ParadoxImportSource::scan(const QString& table, const RowVisitor& visit, QString* problem) {
    problem->clear();
    Opened* t = open(table, problem);
    if (t == nullptr) {
        return false;
    }
    const qint64 count = t->table.recordCount();
    const bool indexing = !t->indexed;
    SourceRow row;
    for (qint64 r = 0; r < count; ++r) {
        if (r % kRowsPerLook == 0 && interrupted()) {
            return false;
        }
        if (!t->table.record(r, &row)) {
            *problem = t->table.problem();
            return false;
        }
        if (indexing && !row.isEmpty() && !row.first().isNull()) {
            QList<Opened::Run>& runs = t->runs[row.first().toInt()];
            if (!runs.isEmpty() && runs.last().first + runs.last().count == r) {
                ++runs.last().count;
            } else {
                runs.append({r, 1});
            }
        }
        if (visit && !visit(row, r + 1)) {
            return false;
        }
    }
    t->indexed = true;
    return true;
}

bool ParadoxImportSource::rowsWithKey(const QString& table, int key, QList<SourceRow>* out,
                                      QString* problem) {
    out->clear();
    Opened* t = open(table, problem);
    if (t == nullptr) {
        return false;
    }
    if (!t->indexed && !scan(table, {}, problem)) {
        return false;
    }
    SourceRow row;
    for (const Opened::Run& run : t->runs.value(key)) {
        for (qint64 r = run.first; r < run.first + run.count; ++r) {
            if (!t->table.record(r, &row)) {
                *problem = t->table.problem();
                return false;
            }
            out->append(row);
        }
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
