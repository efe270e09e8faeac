#include "ui/chart/line_plot.h"

#include "core/ini_file.h"
#include "core/strings.h"
#include "ui/chart/chart_output.h"
#include "ui/chart/histogram_marks.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QFontMetricsF>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace zev7 {

namespace {

// The mean line stands this much above the highest bar.
constexpr double kMeanAbove = 5.0;
constexpr int kMeanWidth = 6;
constexpr int kNormWidth = 2;
constexpr int kMostBottomTicks = 10;
constexpr double kLabelGap = 8.0;  // pixels between neighbouring labels of the cycle axis
const QColor kValuesColour(0, 0, 255);
const QColor kMeanColour(255, 0, 0);
const QColor kNormColour(255, 0, 0);
// The histogram's area lets the grid show through.
constexpr int kFillAlpha = 110;

// Marks show hundredths ("#0.##").
double hundredths(double v) {
    return std::round(v * 100.0) / 100.0;
}

}  // namespace

LinePlot::LinePlot(QChart* chart, ChartSource& source, QObject* parent)
    : ChartPlot(parent), chart_(chart), source_(source), spec_(source.lineSpec()) {
    left_ = new QValueAxis;
    left_->setLabelFormat(QStringLiteral("%g"));
    left_->setTruncateLabels(false);
    left_->setTitleText(spec_.leftTitle);
    if (spec_.mode == LineMode::PerCall) {
        bottom_ = new QValueAxis;
        bottom_->setTickType(QValueAxis::TicksDynamic);
        bottom_->setLabelFormat(QStringLiteral("%.0f"));
    } else {
        labelled_ = new QCategoryAxis;
        labelled_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        bottom_ = labelled_;
    }
    bottom_->setTitleText(spec_.bottomTitle);
    bottom_->setTruncateLabels(false);
    chart_->addAxis(bottom_, Qt::AlignBottom);
    chart_->addAxis(left_, Qt::AlignLeft);

    const auto add = [this](QAbstractSeries* s) {
        chart_->addSeries(s);
        s->attachAxis(bottom_);
        s->attachAxis(left_);
    };
    values_ = new QLineSeries;
    values_->setName(spec_.name);
    values_->setColor(kValuesColour);
    values_->setPointLabelsVisible(true);
    values_->setPointLabelsFormat(QStringLiteral("@yPoint"));
    values_->setPointLabelsClipping(false);
    if (isHistogram()) {
        auto* upper = new QLineSeries;
        fill_ = new QAreaSeries(upper);
        upper->setParent(fill_);
        fill_->setName(values_->name());
        fill_->setPen(Qt::NoPen);
        add(fill_);
        add(values_);
        mean_ = new QLineSeries;
        mean_->setName(txt(str::GraphDbMean));
        QPen pen(kMeanColour);
        pen.setWidth(kMeanWidth);
        mean_->setPen(pen);
        mean_->setPointsVisible(true);
        mean_->setPointLabelsVisible(true);
        add(mean_);
        marks_ = new HistogramMarks(chart_, values_, mean_);
        syncFill();
    } else {
        values_->setPointsVisible(true);
        add(values_);
        if (spec_.norm) {
            norm_ = new QLineSeries;
            norm_->setName(txt(str::GraphDbNorm));
            QPen pen(kNormColour);
            pen.setWidth(kNormWidth);
            pen.setStyle(Qt::DashLine);
            norm_->setPen(pen);
            add(norm_);
        }
    }
    chart_->legend()->setVisible(norm_ != nullptr || mean_ != nullptr);
    chart_->legend()->setAlignment(Qt::AlignTop);
    connect(bottom_, &QValueAxis::rangeChanged, this, &LinePlot::bottomMoved);
    if (spec_.mode == LineMode::ByCycle) {
        // A wider or narrower window holds more or fewer labels.
        connect(chart_, &QChart::plotAreaChanged, this, [this] {
            if (!adjusting_) {
                relabel();
            }
        });
    }
}

QAbstractSeries* LinePlot::mainSeries() const {
    return values_;
}

QList<QAbstractSeries*> LinePlot::unlisted() const {
    return fill_ != nullptr ? QList<QAbstractSeries*>{fill_} : QList<QAbstractSeries*>{};
}

QList<QAbstractSeries*> LinePlot::menuSeries() const {
    QList<QAbstractSeries*> out;
    for (QAbstractSeries* s : chart_->series()) {
        if (s != fill_) {
            out << s;
        }
    }
    return out;
}

void LinePlot::syncFill() {
    if (fill_ == nullptr) {
        return;
    }
    QColor colour = values_->color();
    fill_->setBorderColor(colour);
    colour.setAlpha(kFillAlpha);
    fill_->setColor(colour);
    fill_->setVisible(values_->isVisible());
    // The area carries the histogram's colour in the legend already; the chart shows a series'
    // entry again whenever the series is shown again.
    for (QLegendMarker* m : chart_->legend()->markers(values_)) {
        m->setVisible(false);
    }
}

int LinePlot::pointsPerPage() const {
    return chartPointsPerPage(chart_);
}

// ---- Drawing ----------------------------------------------------------------------------------

void LinePlot::draw() {
    if (isHistogram()) {
        drawHistogram();
    } else {
        fitLeftAxis();
        showPage(1);
    }
}

void LinePlot::drawHistogram() {
    const LineData& data = source_.lineData();
    const QList<LinePoint>& points = data.points;
    QList<QPointF> outline;
    QList<HistogramBar> bars;
    const bool shown = data.histogramShown() && !points.isEmpty();
    if (shown) {
        outline << QPointF(points.first().x, 0.0);
        for (const LinePoint& p : points) {
            outline << QPointF(p.x, hundredths(p.y));
        }
        outline << QPointF(points.last().x, 0.0);
        // Two points per interval: its left and its right edge.
        for (qsizetype i = 0; i + 1 < points.size(); i += 2) {
            bars.append({points[i].x, points[i + 1].x, hundredths(points[i].y)});
        }
    }
    values_->replace(outline);
    fill_->upperSeries()->replace(outline);
    const double top = data.highestBar + kMeanAbove;
    mean_->clear();
    if (shown) {
        mean_->append(data.mean, 0.0);
        mean_->append(data.mean, top);
    }
    values_->setVisible(shown && values_->color() != chart_->backgroundBrush().color());
    mean_->setVisible(shown);
    syncFill();

    adjusting_ = true;
    const int intervals = pointsPerPage();
    const double low = data.measured > 0 ? data.low : 0.0;
    const double high = data.measured > 0 ? data.high : 1.0;
    bottom_->setRange(low, high);
    // The interval edges, with enough decimals to tell them apart.
    const int every = (intervals + kMostBottomTicks - 1) / kMostBottomTicks;
    const double step = (high - low) / intervals;
    const int decimals =
        std::clamp(static_cast<int>(std::ceil(-std::log10(step * every))) + 1, 2, 6);
    QList<QPair<QString, double>> edges;
    for (int i = 0; i <= intervals; i += every) {
        const double x = low + i * step;
        // The lowest edge lies 0.00001 below the smallest value: 0 is not shown as "-0.00".
        const double edge = std::abs(x) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : x;
        edges.append({QString::number(edge, 'f', decimals), x});
    }
    setBottomLabels(edges);
    left_->setRange(0.0, shown ? top : 100.0);
    left_->applyNiceNumbers();
    adjusting_ = false;
    marks_->show(bars, data.mean, top);
    page_ = 1;
    emit pagesChanged();
}

void LinePlot::fillShownPoints() {
    // The series hold the points of the shown range and of a range's width on either side:
    // paging through ten thousand cycles draws a few pages' worth, not all of them.
    const double span = bottom_->max() - bottom_->min();
    const double from = bottom_->min() - span;
    const double to = bottom_->max() + span;
    const LineData& data = source_.lineData();
    const QList<LinePoint>& all = data.points;
    auto it = std::lower_bound(all.begin(), all.end(), from,
                               [](const LinePoint& p, double x) { return p.x < x; });
    QList<QPointF> points;
    QList<QPointF> norms;
    for (; it != all.end() && it->x <= to; ++it) {
        points << QPointF(it->x, hundredths(it->y));
        if (norm_ != nullptr) {
            norms << QPointF(it->x, data.norms.value(static_cast<int>(it - all.begin())));
        }
    }
    values_->replace(points);
    if (norm_ != nullptr) {
        norm_->replace(norms);
    }
    hideMarksOffPage();
}

void LinePlot::hideMarksOffPage() {
    // The line runs on to the points beyond the edges; their values would stand beside the plot.
    values_->clearPointsConfiguration();
    const QList<QPointF> points = values_->points();
    for (int i = 0; i < points.size(); ++i) {
        if (points[i].x() < bottom_->min() || points[i].x() > bottom_->max()) {
            values_->setPointConfiguration(i, QXYSeries::PointConfiguration::LabelVisibility,
                                           false);
        }
    }
}

void LinePlot::fitLeftAxis() {
    const LineData& data = source_.lineData();
    double lo = 0.0;
    double hi = 10.0;
    for (int i = 0; i < data.points.size(); ++i) {
        const double y = data.points[i].y;
        const double n = norm_ != nullptr ? data.norms.value(i) : y;
        lo = i == 0 ? std::min(y, n) : std::min({lo, y, n});
        hi = i == 0 ? std::max(y, n) : std::max({hi, y, n});
    }
    // Percentages start at 0; levels get a margin on both sides.
    const double margin = std::max(1.0, (hi - lo) * 0.1);
    if (spec_.levels) {
        lo -= margin;
    } else {
        lo = std::min(lo, 0.0);
    }
    adjusting_ = true;
    left_->setRange(std::floor(lo), std::ceil(hi + margin));
    left_->applyNiceNumbers();
    adjusting_ = false;
}

// ---- Pages ------------------------------------------------------------------------------------

double LinePlot::axisStart() const {
    return spec_.mode == LineMode::ByCycle ? -0.5 : 0.5;
}

int LinePlot::pageCount() const {
    const QList<LinePoint>& points = source_.lineData().points;
    if (isHistogram() || points.isEmpty()) {
        return 1;
    }
    // Calls are numbered from 1 (a call without a value leaves its place empty); cycles count.
    const double extent =
        spec_.mode == LineMode::PerCall ? points.last().x : static_cast<double>(points.size());
    return std::max(1, static_cast<int>(std::ceil(extent / pointsPerPage())));
}

void LinePlot::showPage(int page) {
    if (isHistogram()) {
        return;
    }
    page_ = std::clamp(page, 1, pageCount());
    const double w = pointsPerPage();
    const double c = axisStart();
    adjusting_ = true;
    bottom_->setRange(c + (page_ - 1) * w, c + page_ * w);
    if (labelled_ == nullptr) {
        bottom_->setTickAnchor(1.0);
        bottom_->setTickInterval(std::max(1.0, std::ceil(w / kMostBottomTicks)));
    }
    adjusting_ = false;
    fillShownPoints();
    relabel();
    emit pagesChanged();
}

QStringList LinePlot::bottomLabels() const {
    return labelled_ != nullptr ? labelled_->categoriesLabels() : QStringList{};
}

void LinePlot::relabel() {
    if (spec_.mode != LineMode::ByCycle) {
        return;
    }
    const QList<LinePoint>& points = source_.lineData().points;
    QList<QPair<QString, double>> labels;
    const int first = std::max(0, static_cast<int>(std::ceil(bottom_->min())));
    const int last =
        std::min(static_cast<int>(points.size()) - 1, static_cast<int>(bottom_->max()));
    // Every label where they stand apart, else every second, third...: time and date of
    // neighbouring cycles never run together.
    const QFontMetricsF fm(labelled_->labelsFont());
    double widest = 0;
    for (int i = first; i <= last; ++i) {
        for (const QString& part : points[i].label.split(u' ')) {
            widest = std::max(widest, fm.horizontalAdvance(part));
        }
    }
    const double span = bottom_->max() - bottom_->min();
    const double spacing = span > 0 ? chart_->plotArea().width() / span : 0;
    const int every =
        spacing > 0 ? std::max(1, static_cast<int>(std::ceil((widest + kLabelGap) / spacing))) : 1;
    for (int i = first; i <= last; ++i) {
        if ((i - first) % every != 0) {
            continue;
        }
        // Time over date.
        QString label = points[i].label;
        const int blank = static_cast<int>(label.indexOf(u' '));
        if (blank >= 0) {
            label.replace(blank, 1, QStringLiteral("<br>"));
        }
        labels.append({label, double(i)});
    }
    setBottomLabels(labels);
}

void LinePlot::setBottomLabels(const QList<QPair<QString, double>>& labels) {
    const bool was = adjusting_;
    adjusting_ = true;
    for (const QString& label : labelled_->categoriesLabels()) {
        labelled_->remove(label);
    }
    labelled_->setStartValue(bottom_->min());
    for (const auto& [text, x] : labels) {
        // The axis takes a label once: a repeated one gets invisible ends.
        QString label = text;
        while (labelled_->categoriesLabels().contains(label)) {
            label += QChar(0x200B);
        }
        labelled_->append(label, x);
    }
    adjusting_ = was;
}

void LinePlot::bottomMoved() {
    if (adjusting_) {
        return;
    }
    // A zoom or scroll never shows the bottom axis below its first point.
    const double c = isHistogram() ? source_.lineData().low : axisStart();
    adjusting_ = true;
    if (bottom_->min() < c) {
        bottom_->setRange(c, c + (bottom_->max() - bottom_->min()));
    }
    adjusting_ = false;
    if (!isHistogram()) {
        page_ = std::clamp(static_cast<int>(std::floor((bottom_->min() - c) / pointsPerPage())) + 1,
                           1, pageCount());
        hideMarksOffPage();
        relabel();
        emit pagesChanged();
    }
}

void LinePlot::restore() {
    if (isHistogram()) {
        drawHistogram();
    } else {
        fitLeftAxis();
        showPage(page_);
    }
}

void LinePlot::zoom(ChartZoom command) {
    adjusting_ = true;
    zoomAxes(bottom_, left_, command);
    adjusting_ = false;
    bottomMoved();
}

void LinePlot::seriesEdited(bool pointsChanged) {
    syncFill();
    if (!pointsChanged) {
        return;
    }
    if (isHistogram()) {
        source_.reread(pointsPerPage());  // new intervals
    } else {
        showPage(1);
    }
}

// ---- Stored look -------------------------------------------------------------------------------

void LinePlot::writeLook(IniFile& ini, const QString& section) const {
    const QList<QAbstractSeries*> series = menuSeries();
    for (int i = 0; i < series.size(); ++i) {
        auto* line = qobject_cast<QXYSeries*>(series[i]);
        ini.writeInt(section, QStringLiteral("AColor%1").arg(i), colourToIni(line->color()));
        ini.writeBool(section, QStringLiteral("MarkVis%1").arg(i), line->pointLabelsVisible());
    }
}

void LinePlot::readLook(const IniFile& ini, const QString& section) {
    const QList<QAbstractSeries*> series = menuSeries();
    for (int i = 0; i < series.size(); ++i) {
        auto* line = qobject_cast<QXYSeries*>(series[i]);
        line->setColor(colourFromIni(
            ini.readInt(section, QStringLiteral("AColor%1").arg(i), colourToIni(line->color())),
            line->color()));
        line->setPointLabelsVisible(
            ini.readBool(section, QStringLiteral("MarkVis%1").arg(i), line->pointLabelsVisible()));
    }
    // A graph in the background's colour could not be seen anyway.
    values_->setVisible(values_->color() != chart_->backgroundBrush().color() &&
                        (!isHistogram() || source_.lineData().histogramShown()));
    syncFill();
}

}  // namespace zev7
