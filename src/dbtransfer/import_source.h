// Where an import reads from: another ZEV7 database file ("ZEV7.sqlite") or the Paradox tables
// ("Table_Cycle.db", ...) that installations of the earlier Windows system left in their
// database directory. Both give each table's layout and its rows, values already in the form
// the own database stores (dates and times as the dialect writes them, reals, texts).
#pragma once

#include "dbtransfer/source_layout.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <map>
#include <memory>
#include <optional>

namespace zev7 {

using SourceRow = QVariantList;

class ImportSource {
public:
    virtual ~ImportSource() = default;

    // The table's layout; nullopt when the source has no such table (or file). A table that
    // is there but cannot be read gives an empty layout, which no check accepts.
    virtual std::optional<TableLayout> layout(const QString& table) = 0;
    // The layout the table must have to be read as the current layout.
    virtual TableLayout expectedLayout(const QString& table) = 0;
    // Every row of a table, in the order of its layout's fields.
    virtual bool rows(const QString& table, QList<SourceRow>* out, QString* error) = 0;
    // The rows whose CYCLE_ID is cycleId.
    virtual bool cycleRows(const QString& table, int cycleId, QList<SourceRow>* out,
                           QString* error) = 0;
};

// The database file another ZEV7 keeps in its database directory.
class SqliteImportSource : public ImportSource {
public:
    // own: the program's own database, whose tables are the measure of the source's.
    SqliteImportSource(const QString& filePath, QSqlDatabase own);
    ~SqliteImportSource() override;

    std::optional<TableLayout> layout(const QString& table) override;
    TableLayout expectedLayout(const QString& table) override;
    bool rows(const QString& table, QList<SourceRow>* out, QString* error) override;
    bool cycleRows(const QString& table, int cycleId, QList<SourceRow>* out,
                   QString* error) override;

private:
    bool select(const QString& table, const QString& where, const QVariantList& values,
                QList<SourceRow>* out, QString* error);

    QString connectionName_;
    QSqlDatabase source_;
    QSqlDatabase own_;
};

class ParadoxImportSource : public ImportSource {
public:
    explicit ParadoxImportSource(const QString& directory);
    ~ParadoxImportSource() override;

    std::optional<TableLayout> layout(const QString& table) override;
    TableLayout expectedLayout(const QString& table) override;
    bool rows(const QString& table, QList<SourceRow>* out, QString* error) override;
    bool cycleRows(const QString& table, int cycleId, QList<SourceRow>* out,
                   QString* error) override;

private:
    struct Loaded;
    Loaded* load(const QString& table, QString* error);

    QString directory_;
    std::map<QString, std::unique_ptr<Loaded>> tables_;
};

// True when the directory holds something an import can read.
bool hasSqliteSource(const QString& directory);
// The source in a directory: the database file when there is one, else the Paradox tables.
std::unique_ptr<ImportSource> openImportSource(const QString& directory, QSqlDatabase own);

}  // namespace zev7
