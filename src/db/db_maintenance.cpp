#include "db/db_maintenance.h"

#include "core/strings.h"
#include "db/db_connection.h"
#include "db/db_dialect.h"
#include "db/db_schema.h"
#include "db/db_transaction.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace zev7 {

namespace {

constexpr int kGaugeStep = 15;
constexpr int kGaugeBeforeLastTable = 90;
constexpr int kGaugeFull = 100;
constexpr int kUnknownEngineError = 1;

QSqlDatabase connectionOrOwn(const QSqlDatabase& db) {
    return db.isValid() ? db : DbConnection::forThisThread();
}

int errorCode(const QSqlQuery& query) {
    bool ok = false;
    const int code = query.lastError().nativeErrorCode().toInt(&ok);
    return ok && code != 0 ? code : kUnknownEngineError;
}

// Runs the statements in order; the first that fails gives its error code.
int execAll(QSqlDatabase& db, const QStringList& statements) {
    for (const QString& sql : statements) {
        QSqlQuery q(db);
        if (!q.exec(sql)) {
            return errorCode(q);
        }
    }
    return 0;
}

bool tableExists(QSqlDatabase& db, const QString& name) {
    QSqlQuery q(db);
    q.prepare(dbDialect().tableExists());
    q.addBindValue(name);
    return q.exec() && q.next();
}

// The highest key an auto-increment table has given out, -1 when it keeps none.
qint64 keySequence(QSqlDatabase& db, const QString& name) {
    QSqlQuery q(db);
    q.prepare(dbDialect().readKeyCounter());
    q.addBindValue(name);
    if (q.exec() && q.next()) {
        return q.value(0).toLongLong();
    }
    return -1;
}

// Nobody is waited for: a table that is in use is skipped.
class NoWaiting {
public:
    explicit NoWaiting(QSqlDatabase& db) : db_(db) {
        QSqlQuery(db_).exec(dbDialect().busyTimeout(0));
    }
    ~NoWaiting() {
        QSqlQuery(db_).exec(dbDialect().busyTimeout(DbConnection::options().busyTimeoutMs));
    }
    NoWaiting(const NoWaiting&) = delete;
    NoWaiting& operator=(const NoWaiting&) = delete;

private:
    QSqlDatabase& db_;
};

// Copies the rows into a fresh table of the same layout, which then takes the old one's place.
// Identifiers already given out stay given out.
int rebuild(QSqlDatabase& db, const TableDef& def) {
    const QString name = def.name;
    const QString copy = name + QStringLiteral("__pack");
    const QString columns = DbSchema::columnNames(def).join(QStringLiteral(", "));
    const qint64 sequence = keySequence(db, name);

    QStringList steps{
        QStringLiteral("DROP TABLE IF EXISTS %1").arg(copy),
        DbSchema::createTableSql(def, copy),
        QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3 ORDER BY %4")
            .arg(copy, columns, name, dbDialect().insertionOrder()),
        QStringLiteral("DROP TABLE %1").arg(name),
        QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(copy, name),
    };
    steps << DbSchema::createIndexSql(def);
    if (const int code = execAll(db, steps); code != 0) {
        return code;
    }
    if (sequence >= 0) {
        QSqlQuery q(db);
        q.prepare(dbDialect().forgetKeyCounter());
        q.addBindValue(name);
        if (!q.exec()) {
            return errorCode(q);
        }
        // The copy numbered nothing new, so the old counter is never below the copy's.
        q.prepare(dbDialect().storeKeyCounter());
        q.addBindValue(name);
        q.addBindValue(sequence);
        if (!q.exec()) {
            return errorCode(q);
        }
    }
    return 0;
}

// The vacuum pragma frees one page each time it is stepped, and the driver steps a statement
// without result columns only once: so it is run once per free page, all in one transaction.
void releaseFreePages(QSqlDatabase& db) {
    QSqlQuery free(db);
    if (!free.exec(dbDialect().freePageCount()) || !free.next()) {
        return;
    }
    const int pages = free.value(0).toInt();
    free.finish();
    if (pages <= 0) {
        return;
    }
    DbTransaction tx(db);
    if (!tx.began()) {
        return;
    }
    QSqlQuery vacuum(db);
    if (!vacuum.prepare(dbDialect().releaseFreePage())) {
        return;
    }
    for (int i = 0; i < pages; ++i) {
        if (!vacuum.exec()) {
            return;
        }
    }
    vacuum.finish();
    tx.commit();
}

}  // namespace

int PackTable(const QString& tableName, QSqlDatabase db) {
    db = connectionOrOwn(db);
    const TableDef* def = DbSchema::find(tableName);
    if (def == nullptr || !db.isOpen()) {
        return kTableUnavailable;
    }
    if (const QString vacuum = dbDialect().packInPlace(def->name); !vacuum.isEmpty()) {
        // The server packs the table where it lies, outside any transaction, and waits for
        // nobody: a table in use is skipped.
        NoWaiting noWaiting(db);
        if (!tableExists(db, def->name)) {
            return kTableUnavailable;
        }
        QSqlQuery q(db);
        if (q.exec(vacuum)) {
            return 0;
        }
        return dbDialect().isBusyError(q.lastError().nativeErrorCode()) ? kTableUnavailable
                                                                        : errorCode(q);
    }
    int code = 0;
    {
        NoWaiting noWaiting(db);
        DbTransaction tx(db, DbTransaction::Mode::Exclusive);
        if (!tx.began() || !tableExists(db, def->name)) {
            return kTableUnavailable;
        }
        code = rebuild(db, *def);
        if (code != 0) {
            return code;
        }
        if (!tx.commit()) {
            return kUnknownEngineError;
        }
    }
    // Freed pages go back to the file system, and the log is folded into the file so that the
    // file really shrinks. Either may find a reader in the way; the table is packed anyway.
    releaseFreePages(db);
    execSql(db, dbDialect().foldLog());
    return code;
}

int ClearTable(const QString& tableName, QSqlDatabase db) {
    db = connectionOrOwn(db);
    const TableDef* def = DbSchema::find(tableName);
    if (def == nullptr || !db.isOpen()) {
        return kTableUnavailable;
    }
    {
        // One statement empties the table; there is no row-by-row loop for the window to
        // wait on.
        DbTransaction tx(db);
        if (!tx.began() || !tableExists(db, def->name) ||
            !execSql(db, QStringLiteral("DELETE FROM %1").arg(def->name)) || !tx.commit()) {
            return kTableUnavailable;
        }
    }
    return PackTable(def->name, db);
}

CompactionResult compactDatabase(const CompactionCallbacks& callbacks) {
    CompactionResult result;
    int gauge = 0;
    const auto progress = [&](const QString& label) {
        if (callbacks.progress) {
            callbacks.progress(gauge, label);
        }
    };
    const auto packStep = [&](const char* name) {
        const QString tableName = QString::fromLatin1(name);
        gauge = std::min(gauge + kGaugeStep, kGaugeFull);
        progress(tableName + txt(str::CompactTableSuffix));
        if (callbacks.processEvents) {
            callbacks.processEvents();
        }
        result.tables << tableName;
        result.codes << PackTable(tableName);
        return callbacks.interrupted && callbacks.interrupted();
    };

    for (const char* name : {table::ResCycle, table::ResSeans, table::Seans, table::SettCycleDec,
                             table::Cycle, table::In}) {
        if (packStep(name)) {
            result.interrupted = true;
            break;
        }
    }
    if (!result.interrupted) {
        gauge = kGaugeBeforeLastTable;
        result.interrupted = packStep(table::Out);
    }
    result.finalLabel = txt(result.interrupted ? str::CompactStart : str::CompactDone);
    progress(result.finalLabel);
    return result;
}

}  // namespace zev7
