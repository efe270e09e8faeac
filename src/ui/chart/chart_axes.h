// The zoom and scroll rules every chart window keeps: an axis never leaves its limits, a zoom
// never shows less than five increments, and the bar graphs page through their calls. The rules
// work on plain axis windows so they can be checked without a chart; the chart forms apply them
// to the value axes of a Qt chart (bottom, left and right by their alignment).
#pragma once

#include <Qt>
#include <optional>

class QChart;
class QValueAxis;

namespace zev7 {

// The visible range of one axis.
struct AxisWindow {
    double min = 0.0;
    double max = 0.0;
    double span() const { return max - min; }
    bool operator==(const AxisWindow&) const = default;
};

// A zoom or scroll never shows less than this many increments of an axis.
inline constexpr int kMinimumIncrements = 5;

// The four limit rules of one axis: the maximum at most `hi` (only when bounded), at least
// lo + 5 increments; the minimum at least `lo`, at most hi - 5 increments (only when bounded).
AxisWindow limitAxisWindow(AxisWindow w, double lo, double hi, double increment, bool bounded);
// An axis shown narrower than 5 units: a scroll (both ends moved the same way) keeps its
// maximum and opens the minimum below it; a zoom goes back to the window before. Unit 0: as is.
AxisWindow keepMinimumWindow(AxisWindow now, AxisWindow before, double unit);

// The pages of a bar graph of `count` bars whose first bar stands at `firstX`, shown through
// the bottom axis window `shown`.
struct BarPages {
    int page = 1;
    int pages = 1;
};
BarPages barPages(int count, double firstX, AxisWindow shown);
// The bottom axis window of a page `width` wide.
AxisWindow pageWindow(int page, double width, double firstX);

// ---- The same rules on a chart's value axes -------------------------------------------------

// The chart's visible value axis at this side (Qt::AlignBottom, AlignLeft, AlignRight), or null.
QValueAxis* chartAxis(const QChart* chart, Qt::Alignment side);
AxisWindow axisWindow(const QValueAxis* axis);
// The axis's increment: the step the rules count in (its labels may skip some for room).
double axisIncrement(const QValueAxis* axis);
void SetAxisRange(QValueAxis* axis, double increment, double minimum, double maximum);
// Moves an axis to a window, keeping its increment.
void setAxisWindow(QValueAxis* axis, AxisWindow w);

// The axes' windows before a change, for KeepMinimumWindow.
struct ChartWindows {
    std::optional<AxisWindow> bottom;
    std::optional<AxisWindow> right;
    std::optional<AxisWindow> left;
};
ChartWindows chartWindows(const QChart* chart);

// Bottom limits a..b (the two upper rules only when a != b), right limits c..d (only when
// c != d), left limits e..f (always).
void LimitAxes(QChart* chart, double a, double b, double c, double d, double e, double f);
void KeepMinimumWindow(QChart* chart, const ChartWindows& before, double bottomUnit,
                       double rightUnit, double leftUnit);

// The chart's most points per page (what the colour dialog's count edits); 10 when not set.
inline constexpr int kDefaultPointsPerPage = 10;
int chartPointsPerPage(const QChart* chart);
void setChartPointsPerPage(QChart* chart, int points);

}  // namespace zev7
