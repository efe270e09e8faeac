#include "db/db_check.h"

#include "core/strings.h"
#include "db/db_dialect.h"
#include "db/db_schema.h"
#include "db/db_transaction.h"
#include "db/station_name.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace zev7 {

namespace {

// Rows that only mean something with a row of another table.
struct Link {
    const char* table;
    const char* owner;
    const char* condition;  // t: the table's row, o: the owner's row
};

constexpr Link kLinks[] = {
    {table::Seans, table::Cycle, "o.CYCLE_ID = t.CYCLE_ID"},
    {table::ResSeans, table::Seans, "o.CYCLE_ID = t.CYCLE_ID AND o.SEANS_ID = t.SEANS_ID"},
    {table::ResCycle, table::Cycle, "o.CYCLE_ID = t.CYCLE_ID"},
    {table::SettCycleDec, table::Cycle, "o.CYCLE_ID = t.CYCLE_ID"},
    {table::Cycle, table::Out, "o.OUT_ID = t.OUT_ID"},
    {table::Cycle, table::In, "o.IN_ID = t.IN_ID"},
};

QString name(const char* table) {
    return QString::fromLatin1(table);
}

void engineCheck(QSqlDatabase& db, QStringList& problems) {
    for (const QString& sql : dbDialect().integrityCheckSetUp()) {
        // Without the rights to set the check up, the check itself says what is missing.
        execSql(db, sql);
    }
    QSqlQuery q(db);
    if (!q.exec(dbDialect().integrityCheck())) {
        problems << txt(str::DbCheckFailed).arg(q.lastError().text());
        return;
    }
    while (q.next()) {
        const QString line = q.value(0).toString();
        if (line != QLatin1String("ok")) {
            problems << txt(str::DbCheckEngine).arg(line);
        }
    }
}

// A table of an older layout (a read-only file the setup could not bring up to date) lacks
// only columns added later and is sound.
void columnCheck(QSqlDatabase& db, QStringList& problems) {
    for (const TableDef& def : DbSchema::tables()) {
        const QStringList columns = DbSchema::existingColumns(db, def.name);
        if (columns.isEmpty()) {
            problems << txt(str::DbCheckNoTable).arg(def.name);
        } else if (!DbSchema::isKnownLayout(def, columns)) {
            problems << txt(str::DbCheckColumns)
                            .arg(def.name, columns.join(QStringLiteral(", ")),
                                 DbSchema::columnNames(def).join(QStringLiteral(", ")).toUpper());
        }
    }
}

void linkCheck(QSqlDatabase& db, QStringList& problems) {
    for (const Link& link : kLinks) {
        QSqlQuery q(db);
        const QString sql =
            QStringLiteral(
                "SELECT COUNT(*) FROM %1 t WHERE NOT EXISTS (SELECT 1 FROM %2 o WHERE %3)")
                .arg(name(link.table), name(link.owner), QLatin1String(link.condition));
        if (!q.exec(sql) || !q.next()) {
            problems << txt(str::DbCheckFailed).arg(q.lastError().text());
            continue;
        }
        if (const qint64 n = q.value(0).toLongLong(); n > 0) {
            problems
                << txt(str::DbCheckUnlinked).arg(name(link.table)).arg(n).arg(name(link.owner));
        }
    }
}

bool scalar(QSqlDatabase& db, const QString& sql, QVariant& value) {
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next()) {
        return false;
    }
    value = q.value(0);
    return true;
}

// The cycles and calls of every station; a file of an older layout (read-only, so not brought
// up to date) holds the own station's only.
bool readStations(QSqlDatabase& db, QList<StationContents>& stations) {
    const bool named =
        DbSchema::existingColumns(db, name(table::Cycle)).contains(QLatin1String("STATION"));
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1, COUNT(*), SUM((SELECT COUNT(*) FROM %2 S "
                             "WHERE S.CYCLE_ID = C.CYCLE_ID)) FROM %3 C GROUP BY 1 ORDER BY 1")
                  .arg(named ? stationShownSql(QStringLiteral("C.STATION")) : QStringLiteral("?"),
                       name(table::Seans), name(table::Cycle)));
    q.addBindValue(ownStationName());
    if (!q.exec()) {
        return false;
    }
    while (q.next()) {
        stations.append({q.value(0).toString(), q.value(1).toLongLong(), q.value(2).toLongLong()});
    }
    return true;
}

}  // namespace

QStringList checkDatabase(QSqlDatabase db, const DbStepProgress& progress) {
    QStringList problems;
    const struct {
        const char* label;
        void (*run)(QSqlDatabase&, QStringList&);
    } steps[] = {
        {str::DbCheckStepFile, engineCheck},
        {str::DbCheckStepColumns, columnCheck},
        {str::DbCheckStepLinks, linkCheck},
    };
    const int count = static_cast<int>(std::size(steps));
    for (int i = 0; i < count; ++i) {
        if (progress) {
            progress(i + 1, count, txt(steps[i].label));
        }
        steps[i].run(db, problems);
    }
    return problems;
}

bool readDatabaseContents(QSqlDatabase db, DbContents& contents) {
    QVariant v[6];
    const bool ok =
        scalar(db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(name(table::Cycle)), v[0]) &&
        scalar(db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(name(table::Seans)), v[1]) &&
        scalar(db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(name(table::Out)), v[2]) &&
        scalar(db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(name(table::In)), v[3]) &&
        scalar(db, QStringLiteral("SELECT MIN(DATE_ON) FROM %1").arg(name(table::Cycle)), v[4]) &&
        scalar(db, QStringLiteral("SELECT MAX(DATE_OFF) FROM %1").arg(name(table::Cycle)), v[5]);
    if (!ok) {
        return false;
    }
    contents.cycles = v[0].toLongLong();
    contents.calls = v[1].toLongLong();
    contents.outgoingNumbers = v[2].toLongLong();
    contents.incomingNumbers = v[3].toLongLong();
    contents.firstDay = dbDialect().toDate(v[4]);
    contents.lastDay = dbDialect().toDate(v[5]);
    return readStations(db, contents.stations);
}

}  // namespace zev7
