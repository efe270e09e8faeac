#include "dbtransfer/server_source.h"

#include "core/strings.h"
#include "db/db_dialect.h"
#include "dbtransfer/engine_problem.h"

#include <QAtomicInt>
#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTime>

namespace zev7 {

namespace {

// Rows read between two looks at the user's "Прервать".
constexpr int kRowsPerLook = 256;
// A table is read in parts of about this many rows, each part whole before the next: one
// connection cannot hold a running read while the import asks it for a cycle's rows, and a
// table of millions of calls must not be held in memory at once.
constexpr int kRowsPerPart = 5000;

QAtomicInt connectionSerial;

// A value as a ZEV7 file holds it: the server's dates and times become the file's texts.
QVariant asInFile(const QVariant& v) {
    if (v.isNull()) {
        return v;
    }
    if (v.typeId() == QMetaType::QDate) {
        return sqliteDialect().dateValue(v.toDate());
    }
    if (v.typeId() == QMetaType::QTime) {
        return sqliteDialect().timeValue(v.toTime());
    }
    return v;
}

}  // namespace

ServerImportSource::ServerImportSource(const DbOptions& source, QSqlDatabase own)
    : address_(source.server),
      connectionName_(
          QStringLiteral("ZEV7_server_source_%1").arg(connectionSerial.fetchAndAddRelaxed(1))),
      own_(own) {
    source_ = DbConnection::open(connectionName_, source);
    if (source_.isOpen() && source_.transaction()) {
        // One picture of the source for the whole copy, and no way to change it.
        QSqlQuery(source_).exec(
            QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"));
    }
}

ServerImportSource::~ServerImportSource() {
    if (source_.isOpen()) {
        source_.rollback();
        source_.close();
    }
    source_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

QString ServerImportSource::openProblem() {
    const QString head = txt(str::SourceNotDatabase).arg(address_);
    if (!source_.isOpen()) {
        return head + QLatin1Char('\n') +
               engineProblemText(source_.lastError(), dialectOf(source_));
    }
    QString problem;
    const std::optional<TableLayout> cycles = layout(QStringLiteral("Table_Cycle"), &problem);
    if (!problem.isEmpty()) {
        return head + QLatin1Char('\n') + problem;
    }
    return cycles ? QString() : head;
}

std::optional<TableLayout> ServerImportSource::layout(const QString& table, QString* problem) {
    problem->clear();
    if (!source_.isOpen()) {
        return TableLayout{};
    }
    const auto known = layouts_.find(table);
    if (known != layouts_.end()) {
        return known->second;
    }
    std::optional<TableLayout> read = declaredLayout(source_, table);
    if (read && read->isEmpty()) {
        *problem = engineProblemText(source_.lastError(), dialectOf(source_));
        return read;
    }
    return layouts_[table] = read;
}

TableLayout ServerImportSource::expectedLayout(const QString& table) {
    return declaredLayout(own_, table).value_or(TableLayout{});
}

QString ServerImportSource::tableName(const QString& table) const {
    return address_ + QStringLiteral(", ") + table;
}

QString ServerImportSource::missingTable(const QString& table) const {
    return txt(str::SourceTableMissing).arg(address_, table);
}

qint64 ServerImportSource::rowCount(const QString& table) {
    QSqlQuery q(source_);
    return q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)) && q.next()
               ? q.value(0).toLongLong()
               : 0;
}

// The table's columns in the order of its layout; `where` narrows the rows.
bool ServerImportSource::select(QSqlQuery& q, const QString& table, const QString& where,
                                const QVariantList& values, QString* problem) {
    QString unused;
    const TableLayout fields = layout(table, &unused).value_or(TableLayout{});
    if (fields.isEmpty()) {
        *problem = missingTable(table);
        return false;
    }
    QStringList names;
    for (const FieldDef& f : fields) {
        names << f.name;
    }
    bool ok = q.prepare(
        QStringLiteral("SELECT %1 FROM %2 %3").arg(names.join(QStringLiteral(", ")), table, where));
    for (const QVariant& v : values) {
        q.addBindValue(v);
    }
    ok = ok && q.exec();
    if (!ok) {
        *problem = engineProblemText(q.lastError(), dialectOf(source_));
    }
    return ok;
}

bool ServerImportSource::rows(QSqlQuery& q, const RowVisitor& visit, qint64* record,
                              QString* problem) {
    const int count = q.record().count();
    SourceRow row;
    while (q.next()) {
        if (*record % kRowsPerLook == 0 && interrupted()) {
            return false;
        }
        row.clear();
        for (int i = 0; i < count; ++i) {
            row << asInFile(q.value(i));
        }
        if (!visit(row, ++*record)) {
            return false;
        }
    }
    if (q.lastError().isValid()) {
        *problem = engineProblemText(q.lastError(), dialectOf(source_));
        return false;
    }
    return !interrupted();
}

bool ServerImportSource::partEnd(const QString& table, const QString& key, const QVariant& after,
                                 QVariant* end, QString* problem) {
    QSqlQuery q(source_);
    q.prepare(
        QStringLiteral("SELECT %1 FROM %2 %3 ORDER BY %1 OFFSET %4 LIMIT 1")
            .arg(key, table, after.isNull() ? QString() : QStringLiteral("WHERE %1 > ?").arg(key))
            .arg(kRowsPerPart - 1));
    if (!after.isNull()) {
        q.addBindValue(after);
    }
    if (!q.exec()) {
        *problem = engineProblemText(q.lastError(), dialectOf(source_));
        return false;
    }
    *end = q.next() ? q.value(0) : QVariant();
    return true;
}

// The table in parts by its first column (a key every row has): each part ends with all rows
// of its last key value.
bool ServerImportSource::scan(const QString& table, const RowVisitor& visit, QString* problem) {
    problem->clear();
    QString unused;
    const TableLayout fields = layout(table, &unused).value_or(TableLayout{});
    if (fields.isEmpty()) {
        *problem = missingTable(table);
        return false;
    }
    const QString key = fields.first().name;
    qint64 record = 0;
    QVariant after;
    for (;;) {
        QVariant end;
        if (!partEnd(table, key, after, &end, problem)) {
            return false;
        }
        QStringList where;
        QVariantList values;
        if (!after.isNull()) {
            where << QStringLiteral("%1 > ?").arg(key);
            values << after;
        }
        if (!end.isNull()) {
            where << QStringLiteral("%1 <= ?").arg(key);
            values << end;
        }
        QSqlQuery q(source_);
        const QString condition =
            where.isEmpty() ? QString()
                            : QStringLiteral("WHERE ") + where.join(QStringLiteral(" AND "));
        if (!select(q, table, condition + QStringLiteral(" ORDER BY ") + key, values, problem) ||
            !rows(q, visit, &record, problem)) {
            return false;
        }
        if (end.isNull()) {
            return true;
        }
        after = end;
    }
}

bool ServerImportSource::rowsWithKey(const QString& table, int key, QList<SourceRow>* out,
                                     QString* problem) {
    out->clear();
    problem->clear();
    QString unused;
    const TableLayout fields = layout(table, &unused).value_or(TableLayout{});
    QSqlQuery q(source_);
    qint64 record = 0;
    return !fields.isEmpty() &&
           select(q, table, QStringLiteral("WHERE %1 = ?").arg(fields.first().name), {key},
                  problem) &&
           rows(
               q,
               [out](const SourceRow& row, qint64) {
                   out->append(row);
                   return true;
               },
               &record, problem);
}

}  // namespace zev7
