// Deleting cycles from the results database: the interval and the five ways of choosing what
// goes, the lists the deletion window offers, and the deletion itself. A cycle leaves with its
// test calls, their measurements, its results and its settings in one transaction, so that a
// deletion that is interrupted, or a program that dies in the middle of one, never leaves a
// cycle half deleted. The numbers in Table_Out and Table_In always stay.
#pragma once

#include "dbquery/sql_fragment.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QTime>
#include <functional>

namespace zev7 {

// "Все циклы", "Прерванные циклы", "По Исх.", "По Вх.", "Исх. - Вх."
enum class DeletionMode { All, Interrupted, ByOutgoing, ByIncoming, OutgoingIncoming };

// A cycle qualifies when it started on or after dateOn, ended on or before dateOff, started at
// a time of day not before timeOn and ended at one not after timeOff: dates and times are
// compared apart, as the interval edits read.
struct DeletionInterval {
    QDate dateOn;
    QDate dateOff;
    QTime timeOn;
    QTime timeOff;

    // The condition on the cycle table under `alias` ("CYC"), values bound.
    SqlFragment condition(const QString& alias = QStringLiteral("CYC")) const;
};

// One entry of a lookup list: the identifier and what the user reads.
struct DeletionListEntry {
    int id = 0;
    QString text;
};

// What the user chose: the mode and, for the modes with lists, the chosen entries (0 none).
struct DeletionChoice {
    DeletionMode mode = DeletionMode::All;
    int outId = 0;
    int inId = 0;
    int cycleId = 0;
};

class DeletionQueries {
public:
    explicit DeletionQueries(QSqlDatabase db) : db_(db) {}

    // Outgoing numbers with a cycle in the interval, by their text.
    QList<DeletionListEntry> outgoing(const DeletionInterval& interval);
    // Incoming numbers with a cycle in the interval; restricted to one outgoing number when
    // outId is not 0.
    QList<DeletionListEntry> incoming(const DeletionInterval& interval, int outId = 0);
    // The cycles of one pair in the interval, by start; the text is the start's date and time.
    QList<DeletionListEntry> cycles(const DeletionInterval& interval, int outId, int inId);

    // The statement that selects the CYCLE_ID values to delete. A list mode without its
    // entry chosen selects nothing.
    static SqlFragment selection(const DeletionInterval& interval, const DeletionChoice& choice);
    // Runs it; false with the engine's text in error() when it fails.
    bool selectedCycles(const SqlFragment& selection, QList<int>* ids);

    const QString& error() const { return error_; }

private:
    QList<DeletionListEntry> list(const SqlFragment& statement);

    QSqlDatabase db_;
    QString error_;
};

// How a deletion reports its progress and learns that the user wants it stopped.
struct DeletionCallbacks {
    std::function<void(int gauge)> progress;  // 0..100
    std::function<void()> processEvents;      // lets the window handle "Прервать"
    std::function<bool()> interrupted;
    // Called after each cycle has been deleted, inside its block's transaction (tests use it
    // to end the program at an awkward moment).
    std::function<void(int deletedSoFar)> afterCycle;
};

struct DeletionResult {
    int deleted = 0;  // cycles gone, committed
    bool interrupted = false;
    bool failed = false;  // a block could not be written: it is whole again, later ones untried
    QString error;
};

class CycleDeleter {
public:
    // Cycles deleted together in one transaction: large enough that a month of cycles is not
    // thousands of disk syncs, small enough that "Прервать" and a crash lose little.
    static constexpr int kCyclesPerTransaction = 100;

    explicit CycleDeleter(QSqlDatabase db) : db_(db) {}

    // Deletes the cycles with everything that belongs to them, gauge up to 80, stopping after
    // the cycle during which the user interrupted; then, when not interrupted, packs the tables
    // (gauge 84 .. 100).
    DeletionResult deleteCycles(const QList<int>& cycleIds, const DeletionCallbacks& callbacks);
    // "Удалить все циклы": every result table and both number tables emptied and packed,
    // gauge 20 .. 100. Cannot be interrupted.
    DeletionResult deleteAll(const DeletionCallbacks& callbacks);

private:
    bool deleteOne(int cycleId, QString* error);
    void packAfterDeletion(const DeletionCallbacks& callbacks);

    QSqlDatabase db_;
};

}  // namespace zev7
