// Maintenance of the results database: packing a table after deletions, emptying a table,
// and the compaction that the window "Сжатие БД" runs. No port may be running a scenario
// while these run; the main window sees to that before it offers them.
#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <functional>

namespace zev7 {

// PackTable's answer when the table cannot be had for itself: another connection is writing
// to the database (SQLite reports it busy at once; nobody is waited for), or there is no such
// table.
inline constexpr int kTableUnavailable = 65535;

// Rebuilds the table so that its rows lie close together again and gives the space that
// deletions freed back to the file system. 0 on success, kTableUnavailable, or the engine's
// error code. db: a connection of the calling thread; by default the thread's own.
int PackTable(const QString& tableName, QSqlDatabase db = {});

// Deletes every row of the table, then packs it. Returns what PackTable returns, or
// kTableUnavailable when the rows could not be deleted.
int ClearTable(const QString& tableName, QSqlDatabase db = {});

struct CompactionCallbacks {
    // Gauge 0..100 and the label text of the window.
    std::function<void(int gauge, const QString& label)> progress;
    // Lets the window handle pending events (the interrupt button) between tables.
    std::function<void()> processEvents;
    // True once the user has asked to stop.
    std::function<bool()> interrupted;
};

struct CompactionResult {
    bool interrupted = false;
    QString finalLabel;  // "Сжатие БД завершено", or "Начать сжатие БД" after an interruption
    QList<QString> tables;  // the tables packed, in order
    QList<int> codes;       // PackTable's answer for each
};

// The compaction of "Сжатие БД": Table_ResCycle, Table_ResSeans, Table_Seans,
// Table_Sett_Cycle_Dec, Table_Cycle, Table_In, then Table_Out, stopping after a table when
// interrupted. A table that cannot be packed is skipped.
CompactionResult compactDatabase(const CompactionCallbacks& callbacks);

}  // namespace zev7
