// Another server's results database read as an import's source: a station that kept its
// results on a server of its own moves onto the central one ("zev7-db copy --from ADDRESS").
// The rows are given as a ZEV7 file holds them (dates and times as the file's texts), so the
// import checks and writes them as it does a file's. Every read sees the database as it was at
// the first one; nothing is written there.
#pragma once

#include "db/db_connection.h"
#include "dbtransfer/import_source.h"

#include <map>

namespace zev7 {

class ServerImportSource : public ImportSource {
public:
    // source: the options of the server to read; own: the program's own database, whose tables
    // are the measure of the source's.
    ServerImportSource(const DbOptions& source, QSqlDatabase own);
    ~ServerImportSource() override;

    QString openProblem() override;
    std::optional<TableLayout> layout(const QString& table, QString* problem) override;
    TableLayout expectedLayout(const QString& table) override;
    QString tableName(const QString& table) const override;
    QString missingTable(const QString& table) const override;
    qint64 rowCount(const QString& table) override;
    bool scan(const QString& table, const RowVisitor& visit, QString* problem) override;
    bool rowsWithKey(const QString& table, int key, QList<SourceRow>* out,
                     QString* problem) override;

private:
    bool select(QSqlQuery& q, const QString& table, const QString& where,
                const QVariantList& values, QString* problem);
    bool rows(QSqlQuery& q, const RowVisitor& visit, qint64* record, QString* problem);
    // The first-column value that ends the next part of a scan after `after` (null: the rest).
    bool partEnd(const QString& table, const QString& key, const QVariant& after, QVariant* end,
                 QString* problem);

    QString address_;
    QString connectionName_;
    QSqlDatabase source_;
    QSqlDatabase own_;
    std::map<QString, std::optional<TableLayout>> layouts_;
};

}  // namespace zev7
