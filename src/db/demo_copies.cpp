#include "db/demo_copies.h"

#include "db/db_connection.h"
#include "db/db_dialect.h"
#include "db/db_schema.h"
#include "db/db_transaction.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace zev7 {

namespace {

const QString kCopiesConnection = QStringLiteral("ZEV7_demo_copies");

// The tables that hold a cycle's rows; the numbers and the dictionaries stay as they are.
const char* const kCycleTables[] = {table::Cycle, table::Seans, table::ResSeans, table::ResCycle,
                                    table::SettCycleDec};

QVariant scalar(QSqlDatabase& db, const QString& sql, QString* error) {
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next()) {
        *error = q.lastError().text();
        return {};
    }
    return q.value(0);
}

// INSERT … SELECT of one table's rows of the first `baseCycles` cycles, keys moved by
// keyShift and dates by dayShift.
QString copyStatement(const DbDialect& d, const TableDef& def, qint64 baseCycles, qint64 keyShift,
                      int dayShift) {
    const QStringList columns = DbSchema::columnNames(def);
    QStringList values;
    for (const QString& c : columns) {
        if (c == QLatin1String("CYCLE_ID")) {
            values << QStringLiteral("CYCLE_ID + %1").arg(keyShift);
        } else if (c.startsWith(QLatin1String("DATE_"))) {
            values << d.addDays(c, dayShift);
        } else {
            values << c;
        }
    }
    return QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %1 WHERE CYCLE_ID <= %4")
        .arg(def.name, columns.join(QLatin1Char(',')), values.join(QLatin1Char(',')))
        .arg(baseCycles);
}

}  // namespace

DemoCopiesReport repeatDemoCycles(int copies, const std::function<void(int done)>& progress) {
    DemoCopiesReport report;
    DbOptions options = DbConnection::options();
    options.syncEveryCommit = false;
    {
        QSqlDatabase db = DbConnection::open(kCopiesConnection, options);
        const DbDialect& d = dialectFor(options);
        QString error;
        const qint64 base =
            scalar(db, QStringLiteral("SELECT MAX(CYCLE_ID) FROM Table_Cycle"), &error)
                .toLongLong();
        const QDate first =
            d.toDate(scalar(db, QStringLiteral("SELECT MIN(DATE_ON) FROM Table_Cycle"), &error));
        const QDate last =
            d.toDate(scalar(db, QStringLiteral("SELECT MAX(DATE_OFF) FROM Table_Seans"), &error));
        if (base <= 0 || !first.isValid() || !last.isValid()) {
            report.error = error.isEmpty() ? QStringLiteral("no cycles to repeat") : error;
        }
        // Whole weeks, so that every copied day keeps its day of the week.
        const int weeks = static_cast<int>((first.daysTo(last) + 1 + 6) / 7);
        for (int k = 1; k < copies && report.error.isEmpty(); ++k) {
            DbTransaction t(db);
            QSqlQuery q(db);
            for (const char* name : kCycleTables) {
                const TableDef* def = DbSchema::find(QString::fromLatin1(name));
                if (!q.exec(copyStatement(d, *def, base, base * k, weeks * 7 * k))) {
                    report.error = q.lastError().text();
                    break;
                }
            }
            if (report.error.isEmpty() && !t.commit()) {
                report.error = t.error();
            }
            if (progress) {
                progress(k);
            }
        }
        // The key counter past the copies, so that the next cycle measured numbers on.
        const qint64 counterNeeded = base * copies;
        QSqlQuery q(db);
        q.prepare(d.readKeyCounter());
        q.addBindValue(QString::fromLatin1(table::Cycle));
        if (report.error.isEmpty() && q.exec() && q.next() &&
            q.value(0).toLongLong() < counterNeeded) {
            QSqlQuery forget(db);
            forget.prepare(d.forgetKeyCounter());
            forget.addBindValue(QString::fromLatin1(table::Cycle));
            forget.exec();
            QSqlQuery store(db);
            store.prepare(d.storeKeyCounter());
            store.addBindValue(QString::fromLatin1(table::Cycle));
            store.addBindValue(counterNeeded);
            store.exec();
        }
        report.cycles =
            scalar(db, QStringLiteral("SELECT COUNT(*) FROM Table_Cycle"), &error).toInt();
        report.calls =
            scalar(db, QStringLiteral("SELECT COUNT(*) FROM Table_Seans"), &error).toLongLong();
        db.close();
    }
    QSqlDatabase::removeDatabase(kCopiesConnection);
    return report;
}

}  // namespace zev7
