// The bars of a live graph: a bar per test call, the value over it, the calls paged ten (or the
// stored number) at a time. Only the bars of the visible window are handed to the chart, so a
// cycle of thousands of calls pages as fast as one of ten. The value axis keeps its limits; the
// wheel and a right drag scroll it.
#pragma once

#include "ui/chart/chart_plot.h"
#include "ui/chart/chart_source.h"

#include <vector>

class QBarSeries;
class QBarSet;
class QChart;
class QLineSeries;

namespace zev7 {

class BarPlot : public ChartPlot {
    Q_OBJECT

public:
    BarPlot(QChart* chart, ChartSource& source, QObject* parent = nullptr);

    const GraphAxisSettings& axisSettings() const { return axis_; }
    // The bars on the chart now.
    int shownBars() const;
    // The user moved the axes (zoom or scroll): the limits and the least window apply.
    void axesMoved(const ChartWindows& before);
    // The points per page changed: the bottom axis is laid out again from page 1.
    void layOutBottom();

    QAbstractSeries* mainSeries() const override;
    QList<QAbstractSeries*> unlisted() const override;
    QValueAxis* bottomAxis() const override { return bottom_; }
    QValueAxis* leftAxis() const override { return left_; }
    void draw() override;
    void applyDefaults() override;
    BarPages pages() const override { return pages_; }
    void showPage(int page) override;
    void restore() override;
    void zoom(ChartZoom command) override;
    // Wheel notches (forward positive) move the value axis down by 1/25 of its span each.
    void wheel(double notches) override;
    void rightDragged(QPointF from, QPointF to) override;
    void seriesEdited(bool pointsChanged) override;
    void writeLook(IniFile& ini, const QString& section) const override;
    void readLook(const IniFile& ini, const QString& section) override;

private:
    void showBars();
    // The value marks upright where the bars stand too close for them level, and left out
    // where even upright they would run into each other.
    void fitBarMarks();
    void updatePages();
    void applyLeftRange(double dnl, double upl);
    void onAxisRangeChanged();

    QChart* chart_;
    ChartSource& source_;
    const BarSpec spec_;
    QBarSeries* bars_ = nullptr;
    QBarSet* barSet_ = nullptr;
    QLineSeries* anchor_ = nullptr;  // holds the labelled bottom axis
    QValueAxis* bottom_ = nullptr;   // labelled in call numbers
    QValueAxis* barAxis_ = nullptr;  // hidden: the shown bars by their index
    QValueAxis* left_ = nullptr;

    GraphAxisSettings axis_;
    BarPages pages_;
    ChartWindows lastWindows_;
    bool adjusting_ = false;
    bool axesCheckPending_ = false;
    int shownFrom_ = 0;  // call number of the first shown bar
    int shownCount_ = 0;
};

}  // namespace zev7
