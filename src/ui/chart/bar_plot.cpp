#include "ui/chart/bar_plot.h"

#include "core/ini_file.h"
#include "core/strings.h"
#include "ui/chart/chart_output.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFontMetricsF>
#include <QLineSeries>
#include <QTimer>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace zev7 {

namespace {
constexpr double kBarWidth = 0.5;
constexpr double kMarkGap = 4.0;  // pixels between the value marks of neighbouring bars
// The wheel moves the value axis by the value of 1/25 of the chart's height per notch.
constexpr double kWheelShare = 25.0;
const QColor kDefaultGraphColour(0, 255, 0);
}  // namespace

BarPlot::BarPlot(QChart* chart, ChartSource& source, QObject* parent)
    : ChartPlot(parent), chart_(chart), source_(source), spec_(source.barSpec()) {
    barSet_ = new QBarSet(source_.seriesName());
    barSet_->setPen(Qt::NoPen);
    barSet_->setLabelColor(Qt::black);  // the marks stand above the bars, on the background
    bars_ = new QBarSeries;
    bars_->setName(source_.seriesName());
    bars_->append(barSet_);
    bars_->setBarWidth(kBarWidth);
    bars_->setLabelsFormat(QStringLiteral("@value"));
    bars_->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    anchor_ = new QLineSeries;

    bottom_ = new QValueAxis;
    bottom_->setTitleText(txt(str::GraphCallsAxis));
    bottom_->setLabelFormat(QStringLiteral("%.0f"));
    barAxis_ = new QValueAxis;
    left_ = new QValueAxis;
    left_->setLabelFormat(QStringLiteral("%g"));  // narrow labels leave the title its room
    // A long rotated title in a small window made the chart cut the labels to "...".
    left_->setTruncateLabels(false);
    left_->setTitleText(spec_.leftTitle);
    chart_->addAxis(bottom_, Qt::AlignBottom);
    chart_->addAxis(barAxis_, Qt::AlignBottom);
    chart_->addAxis(left_, Qt::AlignLeft);
    chart_->addSeries(anchor_);
    anchor_->attachAxis(bottom_);
    anchor_->attachAxis(left_);
    chart_->addSeries(bars_);
    bars_->attachAxis(barAxis_);
    bars_->attachAxis(left_);
    barAxis_->setVisible(false);
    chart_->legend()->setVisible(false);
    connect(bottom_, &QValueAxis::rangeChanged, this, &BarPlot::onAxisRangeChanged);
    connect(left_, &QValueAxis::rangeChanged, this, &BarPlot::onAxisRangeChanged);
    connect(chart_, &QChart::plotAreaChanged, this, &BarPlot::fitBarMarks);
}

QAbstractSeries* BarPlot::mainSeries() const {
    return bars_;
}

QList<QAbstractSeries*> BarPlot::unlisted() const {
    return {anchor_};
}

void BarPlot::applyDefaults() {
    barSet_->setColor(kDefaultGraphColour);
    bars_->setLabelsVisible(true);
    axis_ = spec_.axis;
    applyLeftRange(axis_.dnl, axis_.upl);
    layOutBottom();
}

void BarPlot::draw() {
    showBars();
    updatePages();
}

void BarPlot::showBars() {
    const std::vector<QPointF>& all = source_.bars();
    const AxisWindow w = axisWindow(bottom_);
    // The bars that stand at least partly inside the window (a bar is half a call wide).
    const int first = std::max(1, static_cast<int>(std::floor(w.min - 0.5)) + 1);
    int last = static_cast<int>(std::ceil(w.max + 0.5)) - 1;
    if (!all.empty()) {
        last = std::min(last, static_cast<int>(all.back().x()));
    }
    QList<qreal> values;
    auto it = std::lower_bound(all.begin(), all.end(), first,
                               [](const QPointF& p, int x) { return p.x() < x; });
    if (it != all.end() && last >= first) {
        values.fill(0.0, last - first + 1);
        for (; it != all.end() && it->x() <= last; ++it) {
            // Marks show hundredths, as the call table does.
            values[static_cast<int>(it->x()) - first] = std::round(it->y() * 100.0) / 100.0;
        }
    }
    if (values.size() != shownCount_ || first != shownFrom_ || !values.isEmpty()) {
        barSet_->remove(0, barSet_->count());
        barSet_->append(values);
        // The chart makes the marks of new bars hidden; they follow the series' setting again.
        if (bars_->isLabelsVisible()) {
            bars_->setLabelsVisible(false);
            bars_->setLabelsVisible(true);
        }
    }
    shownFrom_ = first;
    shownCount_ = static_cast<int>(values.size());
    const bool was = adjusting_;
    adjusting_ = true;
    barAxis_->setRange(w.min - first, w.max - first);
    adjusting_ = was;
    fitBarMarks();
}

void BarPlot::fitBarMarks() {
    const AxisWindow w = axisWindow(bottom_);
    const double width = chart_->plotArea().width();
    if (width <= 0 || w.max <= w.min) {
        return;
    }
    const double spacing = width / (w.max - w.min);
    const QFontMetricsF fm(barSet_->labelFont());
    double widest = 0;
    for (int i = 0; i < barSet_->count(); ++i) {
        widest = std::max(widest, fm.horizontalAdvance(QString::number(barSet_->at(i))));
    }
    const bool level = spacing >= widest + kMarkGap;
    const bool upright = !level && spacing >= fm.height() + kMarkGap;
    bars_->setLabelsAngle(upright ? -90.0 : 0.0);
    barSet_->setLabelColor(level || upright ? QColor(Qt::black) : QColor(Qt::transparent));
}

int BarPlot::shownBars() const {
    return barSet_->count();
}

// ---- Pages, zoom and scroll --------------------------------------------------------------------

void BarPlot::updatePages() {
    const std::vector<QPointF>& all = source_.bars();
    const double firstX = all.empty() ? 1.0 : all.front().x();
    pages_ = barPages(static_cast<int>(all.size()), firstX, axisWindow(bottom_));
    emit pagesChanged();
}

void BarPlot::showPage(int page) {
    const std::vector<QPointF>& all = source_.bars();
    const double firstX = all.empty() ? 1.0 : all.front().x();
    adjusting_ = true;
    setAxisWindow(bottom_, pageWindow(page, axisWindow(bottom_).span(), firstX));
    adjusting_ = false;
    lastWindows_ = chartWindows(chart_);
    draw();
}

void BarPlot::layOutBottom() {
    adjusting_ = true;
    SetAxisRange(bottom_, 1.0, 0.5, chartPointsPerPage(chart_) + 0.5);
    adjusting_ = false;
    lastWindows_ = chartWindows(chart_);
    draw();
}

void BarPlot::applyLeftRange(double dnl, double upl) {
    adjusting_ = true;
    SetAxisRange(left_, axis_.incrl, dnl, upl);
    adjusting_ = false;
    lastWindows_ = chartWindows(chart_);
}

void BarPlot::onAxisRangeChanged() {
    if (adjusting_ || axesCheckPending_) {
        return;
    }
    // A mouse zoom moves both axes one after the other; the rules look at the pair once.
    axesCheckPending_ = true;
    QTimer::singleShot(0, this, [this] {
        axesCheckPending_ = false;
        axesMoved(lastWindows_);
    });
}

void BarPlot::axesMoved(const ChartWindows& before) {
    adjusting_ = true;
    LimitAxes(chart_, 0.0, 0.0, 0.0, 0.0, axis_.minl, axis_.maxl);
    if (bottom_->min() < 0.5) {
        setAxisWindow(bottom_, {0.5, bottom_->max()});
    }
    KeepMinimumWindow(chart_, before, 1.0, 0.0, axis_.incrl);
    adjusting_ = false;
    lastWindows_ = chartWindows(chart_);
    draw();
}

void BarPlot::wheel(double notches) {
    const ChartWindows before = chartWindows(chart_);
    const AxisWindow w = axisWindow(left_);
    const double by = w.span() / kWheelShare * notches;
    adjusting_ = true;
    setAxisWindow(left_, {w.min - by, w.max - by});
    adjusting_ = false;
    axesMoved(before);
}

void BarPlot::rightDragged(QPointF from, QPointF to) {
    chart_->scroll(from.x() - to.x(), to.y() - from.y());
}

void BarPlot::restore() {
    axis_.upl = axis_.maxl;
    axis_.dnl = axis_.minl;
    applyLeftRange(axis_.minl, axis_.maxl);
    layOutBottom();
}

void BarPlot::zoom(ChartZoom command) {
    const ChartWindows before = chartWindows(chart_);
    adjusting_ = true;
    zoomAxes(bottom_, left_, command);
    adjusting_ = false;
    axesMoved(before);
    axis_.dnl = left_->min();
    axis_.upl = left_->max();
}

void BarPlot::seriesEdited(bool pointsChanged) {
    if (pointsChanged) {
        layOutBottom();
    }
}

// ---- Stored look -------------------------------------------------------------------------------

void BarPlot::writeLook(IniFile& ini, const QString& section) const {
    ini.writeInt(section, QStringLiteral("GraphColor"), colourToIni(barSet_->color()));
    ini.writeBool(section, QStringLiteral("GraphMark"), bars_->isLabelsVisible());
    ini.writeDouble(section, QStringLiteral("maxl"), axis_.maxl);
    ini.writeDouble(section, QStringLiteral("minl"), axis_.minl);
    ini.writeDouble(section, QStringLiteral("incrl"), axis_.incrl);
    ini.writeDouble(section, QStringLiteral("upl"), axis_.upl);
    ini.writeDouble(section, QStringLiteral("dnl"), axis_.dnl);
}

void BarPlot::readLook(const IniFile& ini, const QString& section) {
    barSet_->setColor(colourFromIni(
        ini.readInt(section, QStringLiteral("GraphColor"), colourToIni(kDefaultGraphColour)),
        kDefaultGraphColour));
    bars_->setLabelsVisible(ini.readBool(section, QStringLiteral("GraphMark"), true));
    const GraphAxisSettings d = spec_.axis;
    GraphAxisSettings a{ini.readDouble(section, QStringLiteral("maxl"), d.maxl),
                        ini.readDouble(section, QStringLiteral("minl"), d.minl),
                        ini.readDouble(section, QStringLiteral("incrl"), d.incrl),
                        ini.readDouble(section, QStringLiteral("upl"), d.upl),
                        ini.readDouble(section, QStringLiteral("dnl"), d.dnl)};
    // Values that make no axis (limits crossed, no increment, a range outside the limits)
    // would leave an empty or frozen graph: the graph's own defaults stand instead.
    const bool sound = std::isfinite(a.maxl) && std::isfinite(a.minl) && a.minl < a.maxl &&
                       a.incrl > 0.0 && a.incrl * kMinimumIncrements <= a.maxl - a.minl &&
                       a.dnl < a.upl && a.dnl >= a.minl && a.upl <= a.maxl;
    axis_ = sound ? a : d;
    bars_->setVisible(barSet_->color() != chart_->backgroundBrush().color());
    applyLeftRange(axis_.dnl, axis_.upl);
    layOutBottom();
}

}  // namespace zev7
