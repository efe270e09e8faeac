// Bringing the results of another database into the own one ("Ввод результатов"): the
// checks that refuse a damaged or foreign source before anything is written (every table's
// layout, then every row of it), and the cycle-by-cycle copy that finds or adds the numbers,
// skips cycles already present and converts the older layout with the parameter maps. Cycles
// are written in blocks, each cycle whole or not at all, so an interrupted or crashed import
// leaves no cycle half copied. Rows are read one at a time; the user's "Прервать" is heard
// between rows and inside every read of the source.
#pragma once

#include "dbtransfer/import_source.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <functional>

namespace zev7 {

struct ImportCallbacks {
    // 0..100 for the stage named: the check of one table, then the copy of the cycles.
    std::function<void(int gauge, const QString& stage)> progress;
    // Asked between rows and during every read of the source; true stops the import.
    std::function<bool()> interrupted;
    // After each commit: the source's CYCLE_IDs of the cycles the own database now holds whole
    // (added, completed or found present), for a source that lets them go (the spool).
    std::function<void(const QList<int>& sourceCycleIds)> committed;
};

// What an import takes and how it treats a cycle the own database has already.
struct ImportRules {
    // Only the source cycles (by their CYCLE_ID) this accepts are looked at; all when empty.
    std::function<bool(int sourceCycleId)> selects;
    // A cycle the own database has already is completed from the source instead of being
    // skipped: the test calls it lacks are added (a call is known by its cycle and its number,
    // so none is stored twice), and when the source holds every call the own database holds,
    // the cycle's end, state and results become the source's. This is how a spooled cycle
    // that the server received in part, before it went away, is made whole.
    bool completePresent = false;
    // The source is the station's own spool, written by this program: only the layout is
    // checked, not every row (the spool may be sent while the port measures).
    bool ownSpool = false;
};

enum class ImportOutcome {
    Done,         // every cycle of the source was looked at (or the user interrupted)
    OwnDatabase,  // the source is the own database directory: nothing happens
    Refused,      // a table is missing or differs: nothing written, message says which
    Failed,       // the own database could not be written at all
};

struct ImportResult {
    ImportOutcome outcome = ImportOutcome::Done;
    QString message;  // the refusal, as the user reads it
    bool oldLayout = false;
    int sourceCycles = 0;
    int imported = 0;          // cycles added
    int present = 0;           // cycles already in the own database, skipped
    int completed = 0;         // cycles the own database held in part, completed
    int failed = 0;            // cycles the own database refused, left out
    bool interrupted = false;  // the user stopped it: what was written stays, cycles whole
    QString error;             // what went wrong with the last cycle left out
};

// The source directory is the program's own database directory (letter case ignored, links
// followed).
bool isOwnDatabaseDirectory(const QString& directory);

class ResultImporter {
public:
    // Cycles committed together; each cycle inside is whole or rolled back on its own.
    static constexpr int kCyclesPerTransaction = 50;

    explicit ResultImporter(QSqlDatabase own, ImportRules rules = {})
        : own_(own), rules_(std::move(rules)) {}

    // The structure checks; an empty text when the source may be imported, *oldLayout telling
    // which layout its measurement tables have.
    static QString checkStructure(ImportSource& source, bool* oldLayout);
    // Every row of every table read once and checked; the refusal, or empty when all is sound
    // (or the user stopped it).
    static QString checkRows(ImportSource& source, const ImportCallbacks& callbacks);

    ImportResult run(const QString& directory, const ImportCallbacks& callbacks);
    ImportResult run(ImportSource& source, const ImportCallbacks& callbacks);

private:
    class Copy;

    QSqlDatabase own_;
    ImportRules rules_;
};

}  // namespace zev7
