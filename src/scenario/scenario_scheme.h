// The scenario scheme: every open port's scenario laid out on one time line, one bar per planned
// cycle execution over the scenario's repetitions, and the clashes the user must resolve before
// the ports start: a port whose cycles overlap each other, or two ports calling the same
// incoming number at the same time (the answering line would be busy for one of them).
// No widgets here: the window draws what this computes and hands drags to it.
#pragma once

#include "scenario/records.h"

#include <QString>
#include <optional>
#include <span>
#include <vector>

namespace zev7 {

// One port's scenario as the scheme reads it.
struct SchemeSource {
    int port = 0;
    bool free = false;     // the port is free (not measuring): its plan can still be moved
    bool running = false;  // the port window's scenario is being executed
    const ScenarHeader* header = nullptr;
    std::span<const CycleRecord> cycles;
};

// The colour a bar has when it clashes with nothing.
enum class BarColour {
    Series,      // the port's own colour: bright green when free, dark green when busy
    Enumerated,  // a cycle with enumeration on a free port, first run: yellow
    Repeat,      // a later run: white
};

struct SchemeBar {
    int cycle = 0;       // zero-based index in the scenario
    int run = 1;         // 1-based repetition
    QString label;       // "k. number" or "k. Комплексный цикл"
    double start = 0.0;  // OLE date-times
    double end = 0.0;
    double windowDays = 0.0;  // the cycle's start window, startUntil - startFrom
    bool complex = false;     // an enumerated cycle calls many numbers: never a number clash
    QString numberKey;        // the dialled symbols SameNumber compares
    BarColour colour = BarColour::Series;
    bool clash = false;        // either of the two below
    bool ownClash = false;     // overlaps another bar of its port
    bool numberClash = false;  // overlaps another port's bar calling the same number
    int numberGroup = -1;      // bars of all ports calling this number; -1 for a complex cycle
};

struct SchemeRow {
    int port = 0;
    bool free = false;
    bool draggable = false;  // free and not running
    double baseTime = 0.0;
    QString legend;  // empty when the scenario has no cycles
    std::vector<SchemeBar> bars;
};

// Where a dragged cycle's start window goes: the port window writes it into the scenario.
struct CycleMove {
    int port = 0;
    int cycle = 0;
    double startFrom = 0.0;
    double startUntil = 0.0;
};

// The time range the bars cover.
struct TimeSpan {
    double first = 0.0;
    double last = 0.0;
    double length() const { return last - first; }
};

// "Стр. n из m": which page of the data the visible window shows.
struct SchemePage {
    int page = 1;
    int count = 1;
};

class ScenarioScheme {
public:
    // About a second between one run's last cycle and the next run, when the scenario repeats
    // after its end: the port thread's own step.
    static constexpr double kRepeatGapDays = 1.1627906976744185e-05;
    // A dragged bar of no length still gets one the user can see and grab (about 23 minutes).
    static constexpr double kMinDraggedBarDays = 0.0157;
    static constexpr int kMaxRuns = 999;
    // A row stops adding runs here: 999 runs of a long scenario would take the memory of
    // millions of bars for a chart nobody can read that far.
    static constexpr std::size_t kMaxBarsPerRow = 20000;

    // Lays out the sources' bars (ports in increasing order) and marks the clashes.
    void build(std::span<const SchemeSource> sources);
    const std::vector<SchemeRow>& rows() const { return rows_; }
    // The highest port shown, 0 without rows.
    int lastPort() const;

    // Marks every bar that overlaps another bar of its own port, or a bar of another port
    // calling the same number.
    void markClashes();
    // Two bars overlap when they share at least one moment, ends included.
    static bool overlap(double aStart, double aEnd, double bStart, double bEnd) {
        return aStart <= bEnd && bStart <= aEnd;
    }

    // The range of all bars; nothing without bars.
    std::optional<TimeSpan> dataSpan() const;
    // The page of `visible` within `data` and how many pages the data holds.
    static SchemePage page(const TimeSpan& data, const TimeSpan& visible);
    // The visible window of a page.
    static TimeSpan pageWindow(const TimeSpan& data, double visibleLength, int page);

    // The topmost bar of a row under a time, or -1.
    int barAt(int row, double time) const;
    // Only the first run of a free port that is not running can be moved. False otherwise.
    bool beginDrag(int row, int bar, double mouseTime);
    bool dragging() const { return drag_.has_value(); }
    // Moves the dragged bar so that the grabbed point stays under the mouse, never before the
    // scenario's base time, and recolours the clashes.
    void dragTo(double mouseTime);
    // The moved cycle's new start window, in whole minutes from the base time.
    std::optional<CycleMove> endDrag();
    void cancelDrag() { drag_.reset(); }

private:
    struct Drag {
        int row = 0;
        int bar = 0;
        double duration = 0.0;
        double offset = 0.0;  // bar start - mouse time at the grab
    };

    struct BarRef {
        std::size_t row;
        std::size_t bar;
    };

    void addRow(const SchemeSource& source);
    void groupNumbers();
    void markOwnClashes(std::size_t row);
    void markNumberClashes(int group);
    void markClashesAround(std::size_t row, int group);
    SchemeBar& barOf(const BarRef& ref) { return rows_[ref.row].bars[ref.bar]; }

    std::vector<SchemeRow> rows_;
    std::vector<std::vector<BarRef>> numberGroups_;
    std::optional<Drag> drag_;
};

}  // namespace zev7
