// What the statistical graphs of the database draw, read without any widget: the call and loss
// pies of one cycle and of the whole selection, the distribution of a measured level within a
// cycle with its mean, the level call by call, the mean level of every selected cycle, and one
// result of every selected cycle against its norm. Each graph kind has a fixed number 0..31
// (6, 8, 11 and 13 are not used) by which its window is found and its settings are stored.
#pragma once

#include "dbquery/record_filter.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace zev7 {

inline constexpr int kGraphKindCount = 32;
// The kinds that follow the current cycle of the list and those over the whole selection.
enum GraphKindNumber {
    GraphCyclePie = 0,
    GraphCycleLossPie = 1,
    GraphSelectionPie = 2,
    GraphSelectionLossPie = 3,
    GraphFirstHistogram = 4,
    GraphLastHistogram = 8,
    GraphFirstPerCall = 9,
    GraphLastPerCall = 13,
    GraphFirstMean = 14,
    GraphLastMean = 16,
    GraphFirstResult = 17,
    GraphLastResult = 31,
};

// The measured values of a test call the graphs show.
enum class GraphLevel { Attenuation, DialTone, Ringback };

bool graphKindUsed(int kind);
bool graphIsPie(int kind);
bool graphIsHistogram(int kind);
bool graphIsPerCall(int kind);
bool graphIsByCycle(int kind);  // 14..31: one point per selected cycle
bool graphFollowsCycle(int kind);
// The measured value of kinds 4..16; Attenuation for the others.
GraphLevel graphLevel(int kind);
// The result parameter (2..16) of kinds 17..31.
int graphResultParam(int kind);
// The kind that shows a level in the given way: histogram (4, 5, 7), per call (9, 10, 12),
// mean per cycle (14, 15, 16).
int histogramKind(GraphLevel level);
int perCallKind(GraphLevel level);
int meanKind(GraphLevel level);

// The window's caption (also its section in "ZEV7.ini"); empty for an unused kind.
QString graphKindCaption(int kind);
// The series title of kinds 17..31: the result's label; of the level kinds: the level's name.
QString graphSeriesTitle(int kind);
// "Затухание,дБ", "Уровень ОС,дБм", "Уровень СКПВ,дБм".
QString graphLevelAxisTitle(GraphLevel level);
// The labels of the slices of a pie kind, in slice order.
QStringList graphSliceLabels(int kind);

// One drawn point; `label` names it on the bottom axis (the cycle's "time date") when not empty.
struct GraphPoint {
    double x = 0.0;
    double y = 0.0;
    QString label;
    bool operator==(const GraphPoint&) const = default;
};

struct GraphData {
    // Pies: one value per slice. Others: the series' points in drawing order.
    QList<double> slices;
    QList<GraphPoint> points;
    // Kinds 17..31: the cycles' norms, one per point.
    QList<double> norms;
    // Histograms: measured calls, their mean and range; the histogram and the mean line are
    // shown only from two measured calls on.
    int measured = 0;
    double mean = 0.0;
    double low = 0.0;
    double high = 0.0;
    bool histogramShown() const { return measured >= 2; }
    // The highest bar of a histogram.
    double highestBar() const;
};

// What a graph is drawn over: the current cycle, the cycles the user took out and the filter.
struct GraphScope {
    int cycleId = -1;
    QList<int> excludedCycleIds;
    SqlFilter filter;
};

class GraphQuery {
public:
    explicit GraphQuery(QSqlDatabase db) : db_(std::move(db)) {}

    // The data of a kind; `intervals` is the histograms' number of intervals (1 and up).
    // false (with the engine's text in lastError()) when a query fails; `out` is then empty.
    bool read(int kind, const GraphScope& scope, int intervals, GraphData& out);

    const QString& lastError() const { return error_; }
    QSqlDatabase database() const { return db_; }

private:
    bool pie(int kind, const GraphScope& scope, GraphData& out);
    bool histogram(GraphLevel level, int cycleId, int intervals, GraphData& out);
    bool perCall(GraphLevel level, int cycleId, GraphData& out);
    bool meanPerCycle(GraphLevel level, const GraphScope& scope, GraphData& out);
    bool resultByCycle(int param, const GraphScope& scope, GraphData& out);

    QSqlDatabase db_;
    QString error_;
};

}  // namespace zev7
