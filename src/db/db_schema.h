// The tables of the results database: what each holds, in which column order (the working
// tables are filled with "SELECT *" from their sources, so the order matters), the
// dictionaries with their texts, and the creation of whatever is missing.
#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace zev7 {

class DbDialect;

namespace table {
// Result tables, written by the port threads.
inline constexpr char Out[] = "Table_Out";
inline constexpr char In[] = "Table_In";
inline constexpr char Cycle[] = "Table_Cycle";
inline constexpr char Seans[] = "Table_Seans";
inline constexpr char ResSeans[] = "Table_ResSeans";
inline constexpr char ResCycle[] = "Table_ResCycle";
inline constexpr char SettCycleDec[] = "Table_Sett_Cycle_Dec";
// Dictionaries.
inline constexpr char ResParam[] = "Table_ResParam";
inline constexpr char SettParamCycle[] = "Table_SettParam_Cycle";
inline constexpr char CycleState[] = "TABLE_CYCLESTATE";
inline constexpr char ResCallParamSeans[] = "TABLE_RESCALLPARAMSEANS";
inline constexpr char BadParam[] = "Table_BadParam";
// Working tables of the database windows.
inline constexpr char TempCycle[] = "TEMP_CYCLE";
inline constexpr char TempResSeans[] = "TEMP_RESSEANS";
inline constexpr char TempResCycle[] = "TEMP_RESCYCLE";
}  // namespace table

// Sizes of the text columns.
inline constexpr int kNumberPartLength = 20;
inline constexpr int kTelNumTextLength = 150;
inline constexpr int kResParamTextLength = 40;
inline constexpr int kSettParamTextLength = 60;
inline constexpr int kStateTextLength = 20;
inline constexpr int kConnectTextLength = 60;
// The short name of the measuring station a cycle was measured by (Table_Cycle.STATION).
inline constexpr int kStationLength = 20;

// The layout version this program writes into the file (PRAGMA user_version). 2: Table_Cycle
// and TEMP_CYCLE end with STATION.
inline constexpr int kSchemaVersion = 2;

struct IndexDef {
    QString name;
    QString columns;  // "COL1,COL2"
    bool unique = false;
};

struct TableDef {
    QString name;
    QStringList columns;      // column declarations in column order
    QStringList constraints;  // table constraints (keys)
    QList<IndexDef> indexes;
    // How many of the last columns later layouts added: a table of an older file lacks them
    // until the setup adds them (its rows hold NULL there), and is sound without them.
    int addedLater = 0;
    // Emptied and filled again by every selection (TEMP_...): nothing in it outlives the
    // selection, and the engine need not keep it through a crash.
    bool workTable = false;
};

class DbSchema {
public:
    // Every table of the database, result tables first.
    static const QList<TableDef>& tables();
    // The tables as the given engine declares them.
    static const QList<TableDef>& tables(const DbDialect& engine);
    // The table of that name, letter case ignored; "Table_Cycle.DB" names Table_Cycle too.
    // nullptr when there is none.
    static const TableDef* find(const QString& name);
    // The columns' names in column order.
    static QStringList columnNames(const TableDef& def);
    // The columns a table of the database has, in capitals and in order; empty when there is
    // no such table (or it cannot be read).
    static QStringList existingColumns(QSqlDatabase& db, const QString& table);
    // The columns (in capitals) are the table's, or those of an older layout that lacks only
    // columns added later.
    static bool isKnownLayout(const TableDef& def, const QStringList& columns);

    static QString createTableSql(const TableDef& def, const QString& asName = {});
    static QStringList createIndexSql(const TableDef& def);

    // Creates every missing table and index and the missing dictionary rows, in one
    // transaction; a table of an older layout gets the columns added since. Existing rows are
    // left as they are. false with the engine's text in *error when that fails.
    static bool createMissing(QSqlDatabase& db, QString* error);
    // The connection's own work tables where the engine gives them (see
    // DbDialect::ownWorkTable), after createMissing; false with the engine's text in *error.
    static bool useOwnWorkTables(QSqlDatabase& db, QString* error);
};

// Deletes a cycle's rows from every table that holds some (its test calls, their
// measurements, its results and settings, the cycle row last), inside the caller's
// transaction. The numbers stay.
bool deleteCycleRows(QSqlDatabase& db, int cycleId, QString* error);

}  // namespace zev7
