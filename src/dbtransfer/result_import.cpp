#include "dbtransfer/result_import.h"

#include "core/strings.h"
#include "db/db_connection.h"
#include "db/db_dialect.h"
#include "db/db_schema.h"
#include "db/db_transaction.h"
#include "dbtransfer/engine_problem.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlQuery>
#include <algorithm>

namespace zev7 {

namespace {

constexpr int kGaugeFull = 100;

const QStringList kNumberParts = {QStringLiteral("HIER_ATX"),  QStringLiteral("BEF_CALL"),
                                  QStringLiteral("CODE_CITY"), QStringLiteral("ADD_CODE"),
                                  QStringLiteral("NUM_ATX"),   QStringLiteral("NUM_ON_ATX"),
                                  QStringLiteral("ADD_CALL")};

// The columns a copied cycle row takes from its source, after the new numbers' identifiers. A
// source without STATION (the Paradox tables, a file of an older version) leaves it NULL: the
// cycle reads as the station's that imports it, and was measured there or is its own backup.
const QStringList kCycleCopied = {
    QStringLiteral("DATE_ON"),  QStringLiteral("TIME_ON"),    QStringLiteral("DAY_WEEK_ON_ID"),
    QStringLiteral("DATE_OFF"), QStringLiteral("TIME_OFF"),   QStringLiteral("DAY_WEEK_OFF_ID"),
    QStringLiteral("STATE_ID"), QStringLiteral("OUT_TELNUM"), QStringLiteral("IN_TELNUM"),
    QStringLiteral("STATION")};

QString canonicalDirectory(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return QDir::cleanPath(canonical.isEmpty() ? info.absoluteFilePath() : canonical);
}

// The designed refusal for the table, and on a second line what is wrong with it.
QString badStructure(ImportSource& source, const QString& table, const QString& problem = {}) {
    QString text = source.tableName(table) + QStringLiteral(" : ") + txt(str::ImportBadStructure);
    if (!problem.isEmpty()) {
        text += QLatin1Char('\n') + problem;
    }
    return text;
}

// A number part as the own database keeps it: "-" and nothing are an empty part (an empty
// text, never null).
QVariant numberPart(const QVariant& v) {
    const QString text = v.toString().trimmed();
    return text == QLatin1String("-") || text.isEmpty() ? QString(QLatin1String("")) : text;
}

// The table has the expected layout, or that of an older version, which lacks (some of) the
// columns added later at its end.
bool isExpectedLayout(const QString& table, const TableLayout& layout,
                      const TableLayout& expected) {
    if (layout.isEmpty() || layout.size() > expected.size() ||
        layout != expected.mid(0, layout.size())) {
        return false;
    }
    const TableDef* def = DbSchema::find(table);
    const QStringList names = def != nullptr ? DbSchema::columnNames(*def) : QStringList();
    const QStringList later = names.mid(names.size() - (def != nullptr ? def->addedLater : 0));
    for (qsizetype i = layout.size(); i < expected.size(); ++i) {
        if (!later.contains(expected[i].name, Qt::CaseInsensitive)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool isOwnDatabaseDirectory(const QString& directory) {
    return canonicalDirectory(directory).compare(canonicalDirectory(DbConnection::directory()),
                                                 Qt::CaseInsensitive) == 0;
}

QString ResultImporter::checkStructure(ImportSource& source, bool* oldLayout) {
    QString problem;
    for (const char* t : {table::Seans, table::SettCycleDec, table::Cycle, table::In, table::Out}) {
        const QString name = QLatin1String(t);
        const std::optional<TableLayout> layout = source.layout(name, &problem);
        if (!layout) {
            return source.missingTable(name);
        }
        if (!isExpectedLayout(name, *layout, source.expectedLayout(name))) {
            return source.interrupted() ? QString() : badStructure(source, name, problem);
        }
    }
    // The two measurement tables are both of the current layout or both of the older one; when
    // one is current, the other is the one at fault.
    const QString resCycle = QLatin1String(table::ResCycle);
    const QString resSeans = QLatin1String(table::ResSeans);
    QString cycleProblem;
    QString seansProblem;
    const std::optional<TableLayout> cycleLayout = source.layout(resCycle, &cycleProblem);
    const std::optional<TableLayout> seansLayout = source.layout(resSeans, &seansProblem);
    if (source.interrupted()) {
        return {};
    }
    if (!cycleLayout) {
        return source.missingTable(resCycle);
    }
    if (!seansLayout) {
        return source.missingTable(resSeans);
    }
    const bool cycleCurrent =
        !cycleLayout->isEmpty() && *cycleLayout == source.expectedLayout(resCycle);
    const bool seansCurrent =
        !seansLayout->isEmpty() && *seansLayout == source.expectedLayout(resSeans);
    if (cycleCurrent && seansCurrent) {
        *oldLayout = false;
        return {};
    }
    if (cycleCurrent || !isOldResCycleLayout(*cycleLayout)) {
        return cycleCurrent ? badStructure(source, resSeans, seansProblem)
                            : badStructure(source, resCycle, cycleProblem);
    }
    if (!isOldResSeansLayout(*seansLayout)) {
        return badStructure(source, resSeans, seansProblem);
    }
    *oldLayout = true;
    return {};
}

// ---- The copy of one source ------------------------------------------------------------------

class ResultImporter::Copy {
public:
    enum class Outcome { Added, Present, Completed };

    Copy(QSqlDatabase& own, ImportSource& source, bool oldLayout, bool completePresent)
        : own_(own), source_(source), oldLayout_(oldLayout), completePresent_(completePresent) {
        for (const char* t : {table::Out, table::In, table::Cycle, table::Seans, table::ResSeans,
                              table::ResCycle, table::SettCycleDec}) {
            QString unused;
            layouts_.insert(QLatin1String(t),
                            source_.layout(QLatin1String(t), &unused).value_or(TableLayout{}));
        }
    }

    // One source cycle. Returns false when the own database refused it or the source could
    // not be read (error says why; empty when the user stopped); *outcome tells what became of
    // it.
    bool copyCycle(const SourceRow& cycle, Outcome* outcome, QString* error);
    int sourceCycleId(const SourceRow& cycle) const {
        return field(cycle, QLatin1String(table::Cycle), QStringLiteral("CYCLE_ID")).toInt();
    }

private:
    int column(const QString& table, const QString& name) const {
        return fieldIndex(layouts_.value(table), name);
    }
    QVariant field(const SourceRow& row, const QString& table, const QString& name) const {
        return row.value(column(table, name));
    }
    bool numberId(const QString& table, const QString& key, int oldId, int* newId, QString* error);
    bool exec(QSqlQuery& q, QString* error) {
        if (!q.exec()) {
            *error = engineProblemText(q.lastError());
            return false;
        }
        return true;
    }
    bool insert(const QString& table, const QStringList& columns, const QStringList& key,
                const QVariantList& values, QString* error);
    // overwrite: a row the own database has already takes the source's values.
    bool copyRows(const QString& table, int oldCycle, int newCycle, QString* error,
                  bool overwrite = false);
    bool completeCycle(const SourceRow& cycle, int oldCycle, int ownCycle, Outcome* outcome,
                       QString* error);
    // The own cycle's calls, and the number of its last (when last is given).
    bool countCalls(int ownCycle, int* calls, int* last, QString* error);
    bool copyOldResults(int oldCycle, int newCycle, QString* error);
    bool copyOldSettings(int oldCycle, int newCycle, QString* error);

    QSqlDatabase& own_;
    ImportSource& source_;
    bool oldLayout_;
    bool completePresent_;
    QHash<QString, TableLayout> layouts_;
};

bool ResultImporter::Copy::numberId(const QString& table, const QString& key, int oldId, int* newId,
                                    QString* error) {
    QList<SourceRow> found;
    if (!source_.rowsWithKey(table, oldId, &found, error)) {
        return false;
    }
    if (found.isEmpty()) {
        *error = QStringLiteral("%1: %2=%3").arg(source_.tableName(table), key).arg(oldId);
        return false;
    }
    QVariantList parts;
    QStringList where;
    for (const QString& part : kNumberParts) {
        parts << numberPart(field(found.first(), table, part));
        where << part + QStringLiteral("=?");
    }
    QSqlQuery q(own_);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                  .arg(key, table, where.join(QStringLiteral(" AND "))));
    for (const QVariant& v : parts) {
        q.addBindValue(v);
    }
    if (!exec(q, error)) {
        return false;
    }
    if (q.next()) {
        *newId = q.value(0).toInt();
        return true;
    }
    QSqlQuery add(own_);
    add.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (?, ?, ?, ?, ?, ?, ?)")
                    .arg(table, kNumberParts.join(QLatin1Char(','))) +
                dialectOf(own_).returningKey(key));
    for (const QVariant& v : parts) {
        add.addBindValue(v);
    }
    if (!exec(add, error)) {
        return false;
    }
    *newId = insertedKey(add).toInt();
    return *newId != 0;
}

bool ResultImporter::Copy::insert(const QString& table, const QStringList& columns,
                                  const QStringList& key, const QVariantList& values,
                                  QString* error) {
    QSqlQuery q(own_);
    // A row the source holds twice is written once.
    q.prepare(dialectOf(own_).insertUnlessPresent(table, columns, key));
    for (const QVariant& v : values) {
        q.addBindValue(v);
    }
    return exec(q, error);
}

// The rows of the cycle in one of its tables, columns taken by name, under the new CYCLE_ID.
bool ResultImporter::Copy::copyRows(const QString& table, int oldCycle, int newCycle,
                                    QString* error, bool overwrite) {
    const TableDef* def = DbSchema::find(table);
    const QStringList columns = DbSchema::columnNames(*def);
    const QStringList key = {columns[0], columns[1]};  // CYCLE_ID and the row's own number
    QList<SourceRow> rows;
    if (!source_.rowsWithKey(table, oldCycle, &rows, error)) {
        return false;
    }
    QList<int> from;
    for (int c = 1; c < columns.size(); ++c) {
        from << column(table, columns[c]);
    }
    for (const SourceRow& row : rows) {
        QVariantList values{newCycle};
        for (int i : from) {
            values << row.value(i);
        }
        if (overwrite) {
            QSqlQuery q(own_);
            q.prepare(dialectOf(own_).insertOrMerge(table, columns, key));
            for (const QVariant& v : values) {
                q.addBindValue(v);
            }
            if (!exec(q, error)) {
                return false;
            }
        } else if (!insert(table, columns, key, values, error)) {
            return false;
        }
    }
    return true;
}

bool ResultImporter::Copy::countCalls(int ownCycle, int* calls, int* last, QString* error) {
    QSqlQuery q(own_);
    q.prepare(QStringLiteral("SELECT COUNT(*), MAX(SEANS_ID) FROM %1 WHERE CYCLE_ID=?")
                  .arg(QLatin1String(table::Seans)));
    q.addBindValue(ownCycle);
    if (!exec(q, error)) {
        return false;
    }
    const bool found = q.next();
    *calls = found ? q.value(0).toInt() : 0;
    if (last != nullptr) {
        *last = found ? q.value(1).toInt() : 0;
    }
    return true;
}

// A cycle the own database holds already, completed from the source: the calls (and their
// measurements) it lacks are added under its own CYCLE_ID, rows it has stay. When the source's
// last call is not older than the own database's, the source saw the cycle last: its end,
// state and results (counted by the port over every call of the cycle, wherever stored)
// replace the own ones.
bool ResultImporter::Copy::completeCycle(const SourceRow& cycle, int oldCycle, int ownCycle,
                                         Outcome* outcome, QString* error) {
    int before = 0;
    int after = 0;
    int ownLast = 0;
    QList<SourceRow> sourceCalls;
    const QString seans = QLatin1String(table::Seans);
    if (!countCalls(ownCycle, &before, &ownLast, error) ||
        !copyRows(QLatin1String(table::SettCycleDec), oldCycle, ownCycle, error) ||
        !copyRows(seans, oldCycle, ownCycle, error) ||
        !copyRows(QLatin1String(table::ResSeans), oldCycle, ownCycle, error) ||
        !countCalls(ownCycle, &after, nullptr, error) ||
        !source_.rowsWithKey(seans, oldCycle, &sourceCalls, error)) {
        return false;
    }
    *outcome = after > before ? Outcome::Completed : Outcome::Present;
    int sourceLast = 0;
    for (const SourceRow& call : sourceCalls) {
        sourceLast = std::max(sourceLast, field(call, seans, QStringLiteral("SEANS_ID")).toInt());
    }
    if (sourceLast < ownLast) {
        return true;
    }
    const QString cycleTable = QLatin1String(table::Cycle);
    QSqlQuery end(own_);
    end.prepare(
        QStringLiteral("UPDATE Table_Cycle SET DATE_OFF=?, TIME_OFF=?, DAY_WEEK_OFF_ID=?, "
                       "STATE_ID=? WHERE CYCLE_ID=?"));
    for (const char* c : {"DATE_OFF", "TIME_OFF", "DAY_WEEK_OFF_ID", "STATE_ID"}) {
        end.addBindValue(field(cycle, cycleTable, QLatin1String(c)));
    }
    end.addBindValue(ownCycle);
    return exec(end, error) &&
           copyRows(QLatin1String(table::ResCycle), oldCycle, ownCycle, error, true);
}

bool ResultImporter::Copy::copyOldResults(int oldCycle, int newCycle, QString* error) {
    const QString table = QLatin1String(table::ResCycle);
    QList<SourceRow> rows;
    if (!source_.rowsWithKey(table, oldCycle, &rows, error)) {
        return false;
    }
    if (rows.isEmpty()) {
        return true;  // a cycle without a finished call has no results
    }
    const int param = column(table, QStringLiteral("PARAM_RES_ID"));
    const int kind = column(table, QStringLiteral("PARAM_RESCYC_ID"));
    const int value = column(table, QStringLiteral("RESCYC_VALUE"));
    QHash<int, QVariant> counts;
    QHash<int, QVariant> percents;
    for (const SourceRow& row : rows) {
        const int k = row.value(kind).toInt();
        if (k == kOldCountRow || k == kOldPercentRow) {
            (k == kOldCountRow ? counts : percents)
                .insert(row.value(param).toInt(), row.value(value));
        }
    }
    const QStringList columns = DbSchema::columnNames(*DbSchema::find(table));
    for (int r = 1; r <= static_cast<int>(kOldResultParamOf.size()); ++r) {
        const int old = kOldResultParamOf[r - 1];
        QVariantList values{newCycle, r};
        if (old == 0) {
            values << 0.0 << 0.0;  // the older program did not count this outcome
        } else if (counts.contains(old) || percents.contains(old)) {
            values << counts.value(old) << percents.value(old);
        } else {
            continue;
        }
        if (!insert(table, columns, columns.mid(0, 2), values, error)) {
            return false;
        }
    }
    return true;
}

bool ResultImporter::Copy::copyOldSettings(int oldCycle, int newCycle, QString* error) {
    const QString table = QLatin1String(table::SettCycleDec);
    QList<SourceRow> rows;
    if (!source_.rowsWithKey(table, oldCycle, &rows, error)) {
        return false;
    }
    const int param = column(table, QStringLiteral("PARAM_CYCLE_ID"));
    const int value = column(table, QStringLiteral("SETCYC_VALUE"));
    QHash<int, QVariant> values;
    for (const SourceRow& row : rows) {
        values.insert(row.value(param).toInt(), row.value(value));
    }
    const QStringList columns = DbSchema::columnNames(*DbSchema::find(table));
    for (int r = 1; r <= static_cast<int>(kOldCycleSettingOf.size()); ++r) {
        const int old = kOldCycleSettingOf[r - 1];
        if (old != 0 && !values.contains(old)) {
            continue;
        }
        // A setting the older program did not have stays empty.
        const QVariant v = old == 0 ? QVariant() : values.value(old);
        if (!insert(table, columns, columns.mid(0, 2), {newCycle, r, v}, error)) {
            return false;
        }
    }
    return true;
}

bool ResultImporter::Copy::copyCycle(const SourceRow& cycle, Outcome* outcome, QString* error) {
    const QString cycleTable = QLatin1String(table::Cycle);
    const int oldCycle = field(cycle, cycleTable, QStringLiteral("CYCLE_ID")).toInt();
    int outId = 0;
    int inId = 0;
    if (!numberId(QLatin1String(table::Out), QStringLiteral("OUT_ID"),
                  field(cycle, cycleTable, QStringLiteral("OUT_ID")).toInt(), &outId, error) ||
        !numberId(QLatin1String(table::In), QStringLiteral("IN_ID"),
                  field(cycle, cycleTable, QStringLiteral("IN_ID")).toInt(), &inId, error)) {
        return false;
    }
    const QVariant dateOn = field(cycle, cycleTable, QStringLiteral("DATE_ON"));
    const QVariant timeOn = field(cycle, cycleTable, QStringLiteral("TIME_ON"));
    QSqlQuery find(own_);
    find.prepare(
        QStringLiteral("SELECT CYCLE_ID FROM Table_Cycle WHERE OUT_ID=? AND IN_ID=? AND "
                       "DATE_ON=? AND TIME_ON=? AND COALESCE(STATION, '') = COALESCE(?, '')"));
    find.addBindValue(outId);
    find.addBindValue(inId);
    find.addBindValue(dateOn);
    find.addBindValue(timeOn);
    // Another station's cycle of the same numbers and second is not this one.
    find.addBindValue(field(cycle, cycleTable, QStringLiteral("STATION")));
    if (!exec(find, error)) {
        return false;
    }
    if (find.next()) {
        *outcome = Outcome::Present;
        const int ownCycle = find.value(0).toInt();
        return !completePresent_ || oldLayout_ ||
               completeCycle(cycle, oldCycle, ownCycle, outcome, error);
    }
    *outcome = Outcome::Added;
    QStringList columns{QStringLiteral("OUT_ID"), QStringLiteral("IN_ID")};
    QVariantList values{outId, inId};
    for (const QString& c : kCycleCopied) {
        columns << c;
        values << field(cycle, cycleTable, c);
    }
    QSqlQuery add(own_);
    add.prepare(QStringLiteral("INSERT INTO Table_Cycle (%1) VALUES (%2)")
                    .arg(columns.join(QLatin1Char(',')),
                         QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(','))) +
                dialectOf(own_).returningKey(QStringLiteral("CYCLE_ID")));
    for (const QVariant& v : values) {
        add.addBindValue(v);
    }
    if (!exec(add, error)) {
        return false;
    }
    const int newCycle = insertedKey(add).toInt();
    const bool resultsCopied =
        oldLayout_ ? copyOldResults(oldCycle, newCycle, error)
                   : copyRows(QLatin1String(table::ResCycle), oldCycle, newCycle, error);
    const bool settingsCopied =
        resultsCopied &&
        (oldLayout_ ? copyOldSettings(oldCycle, newCycle, error)
                    : copyRows(QLatin1String(table::SettCycleDec), oldCycle, newCycle, error));
    return settingsCopied && copyRows(QLatin1String(table::Seans), oldCycle, newCycle, error) &&
           copyRows(QLatin1String(table::ResSeans), oldCycle, newCycle, error);
}

// ---- The run ---------------------------------------------------------------------------------

ImportResult ResultImporter::run(const QString& directory, const ImportCallbacks& callbacks) {
    if (isOwnDatabaseDirectory(directory)) {
        ImportResult result;
        result.outcome = ImportOutcome::OwnDatabase;
        return result;
    }
    const std::unique_ptr<ImportSource> source = openImportSource(directory, own_);
    return run(*source, callbacks);
}

ImportResult ResultImporter::run(ImportSource& source, const ImportCallbacks& callbacks) {
    source.setInterrupt(callbacks.interrupted);
    ImportResult result;
    // Each check either lets the import go on, or refuses it, or was stopped by the user.
    const auto stops = [&](const QString& refusal) {
        if (source.interrupted()) {
            result.interrupted = true;
            return true;
        }
        if (refusal.isEmpty()) {
            return false;
        }
        result.outcome = ImportOutcome::Refused;
        result.message = refusal;
        return true;
    };
    if (stops(source.openProblem()) || stops(checkStructure(source, &result.oldLayout)) ||
        (!rules_.ownSpool && stops(checkRows(source, callbacks)))) {
        return result;
    }

    Copy copy(own_, source, result.oldLayout, rules_.completePresent);
    const QString cycleTable = QLatin1String(table::Cycle);
    result.sourceCycles = static_cast<int>(source.rowCount(cycleTable));
    const qint64 n = std::max(1, result.sourceCycles);
    const QString stage = txt(str::ImportCopying);
    int gauge = 0;
    const auto report = [&](int value) {
        if (callbacks.progress) {
            callbacks.progress(value, stage);
        }
    };
    report(gauge);
    std::optional<DbTransaction> tx;
    int inBlock = 0;
    ImportResult block;
    QList<int> blockCycles;  // the source's, of the cycles the own database holds
    // A block's cycles count once the block is committed.
    const auto commit = [&] {
        const bool ok = !tx || tx->commit();
        if (!ok) {
            result.outcome = ImportOutcome::Failed;
            result.error = engineProblemText(tx->error());
        } else {
            result.imported += block.imported;
            result.present += block.present;
            result.completed += block.completed;
            result.failed += block.failed;
            if (callbacks.committed && !blockCycles.isEmpty()) {
                callbacks.committed(blockCycles);
            }
        }
        tx.reset();
        block = ImportResult();
        blockCycles.clear();
        inBlock = 0;
        return ok;
    };
    QString error;
    const auto visit = [&](const SourceRow& cycle, qint64 record) {
        const int sourceId = copy.sourceCycleId(cycle);
        if (rules_.selects && !rules_.selects(sourceId)) {
            return !source.interrupted();
        }
        if (!tx) {
            tx.emplace(own_);
            if (!tx->began()) {
                result.outcome = ImportOutcome::Failed;
                result.error = engineProblemText(tx->error());
                tx.reset();
                return false;
            }
        }
        // Each cycle is written whole or not at all, also inside its block.
        execSql(own_, QStringLiteral("SAVEPOINT import_cycle"));
        Copy::Outcome outcome = Copy::Outcome::Present;
        error.clear();
        if (copy.copyCycle(cycle, &outcome, &error)) {
            execSql(own_, QStringLiteral("RELEASE SAVEPOINT import_cycle"));
            ++(outcome == Copy::Outcome::Added       ? block.imported
               : outcome == Copy::Outcome::Completed ? block.completed
                                                     : block.present);
            blockCycles << sourceId;
        } else {
            execSql(own_, QStringLiteral("ROLLBACK TO SAVEPOINT import_cycle"));
            execSql(own_, QStringLiteral("RELEASE SAVEPOINT import_cycle"));
            if (source.interrupted()) {
                return false;
            }
            ++block.failed;
            result.error = error;
        }
        const int next = static_cast<int>(record * kGaugeFull / n);
        if (next > gauge) {
            gauge = std::min(next, kGaugeFull);
            report(gauge);
        }
        if (++inBlock == kCyclesPerTransaction && !commit()) {
            return false;
        }
        return !source.interrupted();
    };
    QString problem;
    const bool whole = source.scan(cycleTable, visit, &problem);
    if (result.outcome == ImportOutcome::Failed || !commit()) {
        return result;
    }
    if (!whole) {
        result.interrupted = source.interrupted();
        if (!result.interrupted && !problem.isEmpty()) {
            // The source changed under the import: what was written is whole, the rest is not.
            result.outcome = ImportOutcome::Refused;
            result.message = badStructure(source, cycleTable, problem);
        }
    }
    report(kGaugeFull);
    return result;
}

}  // namespace zev7
