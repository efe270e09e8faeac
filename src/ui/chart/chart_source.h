// What a chart window shows: the port's live graphs and the database's graphs each hand the one
// chart window (ChartWindow) a source, which says which graph it is (pie, bars a call, lines or
// histogram), where its look is kept in "ZEV7.ini", and gives the counts and points to draw.
// The window draws, pages, zooms, stores the look and makes the report's pictures itself.
#pragma once

#include "ui/chart/tform_color.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

class QWidget;

namespace zev7 {

enum class ChartShape { Pie, Bars, Lines };

// Where the window keeps its look under its caption, in the keys the users' files hold.
struct ChartLook {
    QString chartName;            // the chart's object name
    QSize clientSize;             // the chart's designed size; the report's pictures have it too
    bool sizeAddsPanels = false;  // the window is as much higher as the rows above and below
    QString backgroundKey;        // the chart's background colour
    QString plotAreaKey;          // the plot area's own colour; empty: the plot area is not painted
    QString panelKey;             // the page row's colour; empty: it follows the background
    bool panelFullWidth = false;  // the page row coloured across the window, not only its buttons
    QString pointsKey;            // points per page (intervals of a histogram); empty: not stored
    int leastPoints = 5;
    int mostPoints = 1000;
};

// The slices of a pie and how the user may shape it.
struct PieSpec {
    QStringList names;      // the slices in order
    QList<QColor> colours;  // before any stored look
    Qt::Alignment legend = Qt::AlignRight;
    double labelArm = 0.0;      // the marks' arm as a share of the radius; 0 leaves the chart's own
    int decimals = 0;           // of the percentages
    bool shapedByUser = false;  // the arrow keys size it, the right button turns it
    QString colourKey;          // "…%1", numbered from `firstColourKey`
    int firstColourKey = 0;
    QString marksKey;  // the switch of the percentages; empty: always shown
};

// What a pie shows now: a count per slice and the legend's texts.
struct PieCounts {
    QList<double> counts;
    QStringList legend;
};

// The left axis of a bar graph: scroll and zoom limits, increment, and the range that undoing
// a zoom restores.
struct GraphAxisSettings {
    double maxl = 0.0;
    double minl = 0.0;
    double incrl = 0.0;
    double upl = 0.0;
    double dnl = 0.0;
};

// A bar a test call: its number on the bottom axis, its value up the left one.
struct BarSpec {
    QString leftTitle;
    GraphAxisSettings axis;
};

// A line through the calls of a cycle (numbered from 1), a point per cycle of the selection
// (labelled with its start), or a histogram (two points per interval) with its mean.
enum class LineMode { PerCall, ByCycle, Histogram };
struct LineSpec {
    LineMode mode = LineMode::PerCall;
    QString name;
    QString bottomTitle;
    QString leftTitle;
    bool levels = false;  // levels get a margin below; percentages start at 0
    bool norm = false;    // each cycle's norm drawn along
};

struct LinePoint {
    double x = 0.0;
    double y = 0.0;
    QString label;  // the cycle's "time date" under a point of a cycle
};

struct LineData {
    QList<LinePoint> points;
    QList<double> norms;  // one per point, with a norm line
    // Histograms: measured calls, their mean and range; the bars and the mean line only from
    // two measured calls on.
    int measured = 0;
    double mean = 0.0;
    double low = 0.0;
    double high = 0.0;
    double highestBar = 0.0;
    bool histogramShown() const { return measured >= 2; }
};

class ChartSource : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual ChartShape shape() const = 0;
    // The kind and owner the series settings dialog knows the graph by.
    virtual int kind() const = 0;
    virtual ChartOwner owner() const = 0;
    virtual QString seriesName() const = 0;
    virtual ChartLook look() const = 0;
    // Redraws after a change wait this long, so a flood of calls repaints a few times only.
    virtual int repaintDelayMs() const { return 0; }

    virtual PieSpec pieSpec() const { return {}; }
    virtual PieCounts pieCounts() const { return {}; }
    virtual BarSpec barSpec() const { return {}; }
    // The bars: x the call number, y the value, in call order.
    virtual const std::vector<QPointF>& bars() const;
    virtual LineSpec lineSpec() const { return {}; }
    virtual const LineData& lineData() const;

    // The rows above and below the chart (status bars, the cycle heading), handed over once;
    // null for none.
    virtual QWidget* takeTopPanel() { return nullptr; }
    virtual QWidget* takeBottomPanel() { return nullptr; }
    // The window redraws: the rows show the source's texts again.
    virtual void updatePanels() {}
    // The number of a histogram's intervals changed: the data is read again.
    virtual void reread(int /*pointsPerPage*/) {}

signals:
    // Something to draw changed.
    void changed();
    // The data went away (the port window closed): the chart window closes too.
    void gone();
};

}  // namespace zev7
