// The generated databases the database windows' benchmarks run on: cycles of 100 test calls,
// generated once into /tmp/zev7-bench-<cycles> (or taken from there); the generation is not
// part of the figures. Beyond 10 000 cycles the first 1 000 are repeated by the engine (as
// `zev7-dbgen --copies`). ZEV7_BENCH_DB=postgresql://user@host:port/name runs them on that
// server database instead (one size per database: run one size at a time);
// ZEV7_BENCH_CYCLES adds that size to the sizes measured (100000: 10 000 000 calls).
#pragma once

#include "core/program_dir.h"
#include "db/db_connection.h"
#include "db/demo_copies.h"
#include "db/demo_database.h"
#include "dbquery/selection_criteria.h"
#include "dbquery/selection_lists.h"
#include "dbquery/working_selection.h"
#include "dbui/stat_windows.h"
#include "support/recording_messages.h"

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSqlQuery>
#include <QSqlQueryModel>

namespace zev7::bench {

constexpr int kCallsPerCycle = 100;

// An MDI area standing in for the main window: every window shown at `size` as it opens.
class MdiFrame : public zev7::WindowFrame {
public:
    explicit MdiFrame(QSize size) : size_(size) {}
    QMdiSubWindow* addChildWindow(QWidget* w) override {
        QMdiSubWindow* sub = area.addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->resize(size_);
        sub->show();
        return sub;
    }
    QWidget* childWindow(const QString& name) const override {
        for (QMdiSubWindow* sub : area.subWindowList()) {
            if (sub->widget()->objectName() == name) {
                return sub->widget();
            }
        }
        return nullptr;
    }
    QMdiArea area;

private:
    QSize size_;
};

// An MDI area with the opener of a kind of windows (StatWindows, DbGraphWindows) over it.
template <class Opener>
struct WindowFrame {
    explicit WindowFrame(QSize size) : frame(size), windows(nullptr, nullptr, frame) {}
    void close() {
        windows.closeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    MdiFrame frame;
    QMdiArea& area = frame.area;
    Opener windows;
};

constexpr int kRepeatedCycles = 1000;

inline int cyclesInDatabase() {
    QSqlQuery q(DbConnection::main());
    return q.exec(QStringLiteral("SELECT COUNT(*) FROM Table_Cycle")) && q.next()
               ? q.value(0).toInt()
               : -1;
}

// Sets up the database of that many cycles; false when it cannot be had.
inline bool openDatabase(int cycles) {
    static int open = 0;
    if (open == cycles) {
        return true;
    }
    DbConnection::shutdown();
    const QString home = QStringLiteral("/tmp/zev7-bench-%1").arg(cycles);
    QDir().mkpath(home);
    setProgramDir(home);
    static RecordingMessages messages;
    DbOptions options;
    options.server = qEnvironmentVariable("ZEV7_BENCH_DB");
    if (!DbConnection::setup(&messages, options)) {
        return false;
    }
    // A database that holds cycles is taken as it is (the deletion benchmark thins it by a
    // few months).
    const int present = cyclesInDatabase();
    if (present < 0) {
        return false;
    }
    if (present == 0) {
        const bool repeated = cycles > 10000 && cycles % kRepeatedCycles == 0;
        DemoDatabaseSpec spec;
        spec.cycles = repeated ? kRepeatedCycles : cycles;
        spec.callsPerCycle = kCallsPerCycle;
        if (fillDemoDatabase(spec, messages).failures != 0) {
            return false;
        }
        if (repeated && !repeatDemoCycles(cycles / kRepeatedCycles).error.isEmpty()) {
            return false;
        }
    }
    open = cycles;
    return true;
}

// The sizes measured: 1 000 and 10 000 cycles, and ZEV7_BENCH_CYCLES when set.
inline void databaseSizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000);
    const int more = qEnvironmentVariableIntValue("ZEV7_BENCH_CYCLES");
    if (more > 0) {
        b->Arg(more);
    }
}

// The database of the benchmark's argument, or the benchmark skipped.
inline bool ready(benchmark::State& state) {
    if (openDatabase(static_cast<int>(state.range(0)))) {
        return true;
    }
    state.SkipWithError("database not available");
    return false;
}

// Every cycle of the database, through the lists the selection window offers.
inline SelectionCriteria everything() {
    SelectionCriteria c;
    c.period.dateOn = QStringLiteral("01.01.26");
    c.period.dateOff = QStringLiteral("31.12.40");
    SelectionLists lists(DbConnection::main());
    lists.loadCodeLists(c);
    lists.loadFirstList(c);
    return c;
}

inline void fetchAll(QSqlQueryModel& model) {
    while (model.canFetchMore()) {
        model.fetchMore();
    }
}

// The database of the benchmark's argument with all its cycles selected, or the benchmark
// skipped.
inline bool selected(benchmark::State& state) {
    if (!ready(state)) {
        return false;
    }
    if (!WorkingSelection(DbConnection::main()).load(everything())) {
        state.SkipWithError("selection failed");
        return false;
    }
    return true;
}

}  // namespace zev7::bench
