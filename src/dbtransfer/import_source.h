// Where an import reads from: another ZEV7 database file ("ZEV7.sqlite") or the Paradox tables
// ("Table_Cycle.db", ...) that installations of the earlier Windows system left in their
// database directory. Both give each table's layout and its rows one at a time, values already
// in the form the own database stores (dates and times as the dialect writes them, reals,
// texts). A source lives on the thread that made it: its connection is closed when it goes.
#pragma once

#include "dbtransfer/source_layout.h"

#include <QElapsedTimer>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace zev7 {

using SourceRow = QVariantList;
// Called for every row with its number from 1; returns false to stop the scan.
using RowVisitor = std::function<bool(const SourceRow& row, qint64 record)>;

class ImportSource {
public:
    virtual ~ImportSource() = default;

    // Asked while the source reads: true stops the read at once (the user's "Прервать").
    void setInterrupt(std::function<bool()> interrupted) { interrupted_ = std::move(interrupted); }
    bool interrupted() const { return interrupted_ && interrupted_(); }

    // Why the source as a whole cannot be read (the database file is none), or empty.
    virtual QString openProblem() { return {}; }
    // The table's layout; nullopt when the source has no such table (or file). A table that is
    // there but cannot be read gives an empty layout with the reason in *problem.
    virtual std::optional<TableLayout> layout(const QString& table, QString* problem) = 0;
    // The layout the table must have to be read as the current layout.
    virtual TableLayout expectedLayout(const QString& table) = 0;
    // How messages name the table: the file that holds it.
    virtual QString tableName(const QString& table) const = 0;
    // The message for a table the source does not have.
    virtual QString missingTable(const QString& table) const = 0;

    virtual qint64 rowCount(const QString& table) = 0;
    // Every row of a table in order, in the order of its layout's fields. false with *problem
    // when a row cannot be read (empty when the read was interrupted or the visitor stopped).
    virtual bool scan(const QString& table, const RowVisitor& visit, QString* problem) = 0;
    // The rows whose first field (the number's or the cycle's identifier) is key.
    virtual bool rowsWithKey(const QString& table, int key, QList<SourceRow>* out,
                             QString* problem) = 0;

private:
    std::function<bool()> interrupted_;
};

// The database file another ZEV7 keeps in its database directory. Every statement is
// interrupted when the user stops or when one step of it runs longer than kStepLimitMs.
class SqliteImportSource : public ImportSource {
public:
    static constexpr int kStepLimitMs = 20000;

    // own: the program's own database, whose tables are the measure of the source's.
    SqliteImportSource(const QString& filePath, QSqlDatabase own);
    ~SqliteImportSource() override;

    QString openProblem() override;
    std::optional<TableLayout> layout(const QString& table, QString* problem) override;
    TableLayout expectedLayout(const QString& table) override;
    QString tableName(const QString& table) const override;
    QString missingTable(const QString& table) const override;
    qint64 rowCount(const QString& table) override;
    bool scan(const QString& table, const RowVisitor& visit, QString* problem) override;
    bool rowsWithKey(const QString& table, int key, QList<SourceRow>* out,
                     QString* problem) override;

    // The step under way has run past its limit: the source answers no more.
    bool timedOut() const { return timedOut_; }

private:
    static int progress(void* self);
    std::optional<TableLayout> readLayout(const QString& table, QString* problem);
    QString columns(const QString& table);
    QString engineProblem(const QSqlQuery& q);
    bool exec(QSqlQuery& q, const QString& sql, const QVariantList& values, QString* problem);
    bool next(QSqlQuery& q, QString* problem);

    QString filePath_;
    QString connectionName_;
    QSqlDatabase source_;
    QSqlDatabase own_;
    std::map<QString, QString> columns_;
    std::map<QString, std::pair<std::optional<TableLayout>, QString>> layouts_;
    QElapsedTimer step_;
    bool timedOut_ = false;
};

class ParadoxImportSource : public ImportSource {
public:
    explicit ParadoxImportSource(const QString& directory);
    ~ParadoxImportSource() override;

    std::optional<TableLayout> layout(const QString& table, QString* problem) override;
    TableLayout expectedLayout(const QString& table) override;
    QString tableName(const QString& table) const override;
    QString missingTable(const QString& table) const override;
    qint64 rowCount(const QString& table) override;
    // The first scan of a table also notes where each key's records are.
    bool scan(const QString& table, const RowVisitor& visit, QString* problem) override;
    bool rowsWithKey(const QString& table, int key, QList<SourceRow>* out,
                     QString* problem) override;

    // The code page the table's texts are read in (0 when it cannot be opened).
    int textCodePage(const QString& table);

private:
    struct Opened;
    Opened* open(const QString& table, QString* problem);

    QString directory_;
    std::map<QString, std::unique_ptr<Opened>> tables_;
};

// The fields of a table as its CREATE declares them (a server's types named as a file declares
// them), read through `db`'s dialect: nullopt when there is no such table, empty when the
// columns could not be read.
std::optional<TableLayout> declaredLayout(QSqlDatabase& db, const QString& table);

// True when the directory holds a ZEV7 database file.
bool hasSqliteSource(const QString& directory);
// The source in a directory: the database file when there is one, else the Paradox tables.
std::unique_ptr<ImportSource> openImportSource(const QString& directory, QSqlDatabase own);

}  // namespace zev7
