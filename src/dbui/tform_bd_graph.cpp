#include "dbui/tform_bd_graph.h"

#include "core/count_text.h"
#include "core/ini_file.h"
#include "core/strings.h"
#include "db/db_connection.h"
#include "dbquery/cycle_header.h"
#include "dbui/cycle_heading.h"
#include "dbui/histogram_marks.h"
#include "dbui/wait_cursor.h"
#include "scenario/user_messages.h"
#include "ui/chart/chart_axes.h"
#include "ui/chart/chart_output.h"
#include "ui/chart/chart_view.h"
#include "ui/chart/pie_slices.h"
#include "ui/chart/tform_color.h"
#include "ui/chart/tform_graphic.h"

#include <QAreaSeries>
#include <QBoxLayout>
#include <QCategoryAxis>
#include <QChart>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QPieSeries>
#include <QPieSlice>
#include <QStyle>
#include <QToolButton>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace zev7 {

namespace {

constexpr QSize kClientSize{640, 420};
constexpr double kPieLabelArm = 0.2;
constexpr int kLeastIntervals = 1;
constexpr int kMostIntervals = 20;
constexpr int kLeastPoints = 5;
constexpr int kMostPoints = 1000;
// The mean line stands this much above the highest bar.
constexpr double kMeanAbove = 5.0;
constexpr int kMeanWidth = 6;
constexpr int kNormWidth = 2;
constexpr int kMostBottomTicks = 10;
constexpr double kLabelGap = 8.0;  // pixels between neighbouring labels of the cycle axis
const QColor kBackground(255, 255, 255);
const QColor kValuesColour(0, 0, 255);
const QColor kMeanColour(255, 0, 0);
const QColor kNormColour(255, 0, 0);
// The histogram's area lets the grid show through.
constexpr int kFillAlpha = 110;

// Marks show hundredths ("#0.##").
double hundredths(double v) {
    return std::round(v * 100.0) / 100.0;
}

QColor seriesColour(QAbstractSeries* s) {
    if (auto* line = qobject_cast<QXYSeries*>(s)) {
        return line->color();
    }
    return {};
}

}  // namespace

QString TFormBD_Graph::windowName(int kind) {
    return QStringLiteral("TFormBD_Graph%1").arg(kind);
}

TFormBD_Graph::TFormBD_Graph(int kind, QSqlDatabase db, IniFile* ini, UserMessages* messages,
                             QWidget* parent)
    : MdiChild(graphKindCaption(kind), kHelpContext, ini, parent),
      kind_(kind),
      query_(std::move(db)),
      messages_(messages) {
    setObjectName(windowName(kind));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (graphFollowsCycle(kind_)) {
        heading_ = new CycleHeading(this);
        heading_->setContentsMargins(4, 2, 4, 2);
        layout->addWidget(heading_);
    }

    chart_ = new QChart;
    chart_->setObjectName(QStringLiteral("DBChart1"));
    chart_->setPlotAreaBackgroundVisible(true);
    view_ = new ChartView(chart_, this);
    layout->addWidget(view_, 1);

    panel_ = new QWidget(this);
    panel_->setObjectName(QStringLiteral("Panel1"));
    panel_->setAutoFillBackground(true);
    auto* row = new QHBoxLayout(panel_);
    row->setContentsMargins(2, 0, 2, 0);
    prev_ = new QToolButton(panel_);
    prev_->setObjectName(QStringLiteral("PrevBitBtn"));
    prev_->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    prev_->setToolTip(txt(str::GraphPrevPage));
    next_ = new QToolButton(panel_);
    next_->setObjectName(QStringLiteral("NextBitBtn"));
    next_->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    next_->setToolTip(txt(str::GraphNextPage));
    pageLabel_ = new QLabel(panel_);
    pageLabel_->setObjectName(QStringLiteral("Page_Label"));
    row->addStretch(1);
    row->addWidget(prev_);
    row->addWidget(pageLabel_);
    row->addWidget(next_);
    layout->addWidget(panel_);
    connect(prev_, &QToolButton::clicked, this, &TFormBD_Graph::previousPage);
    connect(next_, &QToolButton::clicked, this, &TFormBD_Graph::nextPage);

    chartMenu_ = makeChartMenu(this, chart_, view_, messages_);
    connect(view_, &ChartView::rightClicked, this, &TFormBD_Graph::openSeriesMenu);
    connect(view_, &ChartView::doubleClicked, this, [this](QPoint at) { chartMenu_->exec(at); });

    setChartBackColour(chart_, kBackground);
    chart_->setPlotAreaBackgroundBrush(kBackground);
    setChartPointsPerPage(chart_, kDefaultPointsPerPage);
    if (graphIsPie(kind_)) {
        buildPie();
    } else {
        buildLines();
    }
    panel_->setVisible(!graphIsPie(kind_));
    resize(kClientSize);
}

// ---- Building ---------------------------------------------------------------------------------

void TFormBD_Graph::buildPie() {
    pie_ = new QPieSeries;
    pie_->setName(windowTitle());
    const QStringList labels = graphSliceLabels(kind_);
    const QList<QColor>& colours =
        pieSliceColours(kind_ == GraphCycleLossPie || kind_ == GraphSelectionLossPie);
    for (int i = 0; i < labels.size(); ++i) {
        QPieSlice* slice = pie_->append(labels[i], 0.0);
        slice->setBrush(colours.value(i));
        slice->setLabelArmLengthFactor(kPieLabelArm);
    }
    setPieRotation(pie_, kPieRotation);
    chart_->addSeries(pie_);
    chart_->legend()->setVisible(true);
    chart_->legend()->setAlignment(Qt::AlignRight);
    new PieFit(chart_, pie_);
    view_->setZoomAllowed(false);
}

void TFormBD_Graph::buildLines() {
    left_ = new QValueAxis;
    left_->setLabelFormat(QStringLiteral("%g"));
    left_->setTruncateLabels(false);
    if (graphIsByCycle(kind_) || graphIsHistogram(kind_)) {
        labelled_ = new QCategoryAxis;
        labelled_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        labelled_->setTitleText(txt(str::GraphDbCycleAxis));
        bottom_ = labelled_;
    } else {
        bottom_ = new QValueAxis;
        bottom_->setTickType(QValueAxis::TicksDynamic);
    }
    bottom_->setTruncateLabels(false);
    chart_->addAxis(bottom_, Qt::AlignBottom);
    chart_->addAxis(left_, Qt::AlignLeft);

    const auto add = [this](QAbstractSeries* s) {
        chart_->addSeries(s);
        s->attachAxis(bottom_);
        s->attachAxis(left_);
    };
    values_ = new QLineSeries;
    values_->setColor(kValuesColour);
    values_->setPointLabelsVisible(true);
    values_->setPointLabelsFormat(QStringLiteral("@yPoint"));
    values_->setPointLabelsClipping(false);
    if (graphIsHistogram(kind_)) {
        values_->setName(txt(str::GraphDbDistribution));
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
        bottom_->setTitleText(graphLevelAxisTitle(graphLevel(kind_)));
        left_->setTitleText(txt(str::GraphDbPercentAxis));
        syncFill();
    } else {
        values_->setName(graphSeriesTitle(kind_));
        values_->setPointsVisible(true);
        add(values_);
        if (graphIsPerCall(kind_)) {
            bottom_->setTitleText(txt(str::GraphCallsAxis));
            bottom_->setLabelFormat(QStringLiteral("%.0f"));
            left_->setTitleText(graphLevelAxisTitle(graphLevel(kind_)));
        } else if (kind_ <= GraphLastMean) {
            left_->setTitleText(graphLevelAxisTitle(graphLevel(kind_)));
        } else {
            left_->setTitleText(txt(str::GraphDbPercentAxis));
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
    connect(bottom_, &QValueAxis::rangeChanged, this, &TFormBD_Graph::bottomMoved);
    if (graphIsByCycle(kind_)) {
        // A wider or narrower window holds more or fewer labels.
        connect(chart_, &QChart::plotAreaChanged, this, [this] {
            if (!adjusting_) {
                relabel();
            }
        });
    }
}

QAbstractSeries* TFormBD_Graph::mainSeries() const {
    return pie_ != nullptr ? static_cast<QAbstractSeries*>(pie_)
                           : static_cast<QAbstractSeries*>(values_);
}

QList<QAbstractSeries*> TFormBD_Graph::menuSeries() const {
    QList<QAbstractSeries*> out;
    for (QAbstractSeries* s : chart_->series()) {
        if (s != fill_) {
            out << s;
        }
    }
    return out;
}

void TFormBD_Graph::syncFill() {
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

// ---- Drawing ----------------------------------------------------------------------------------

void TFormBD_Graph::redraw(const GraphScope& scope) {
    scope_ = scope;
    if (heading_ != nullptr) {
        heading_->display(scope.cycleId < 0 ? CycleHeader{}
                                            : readCycleHeader(query_.database(), scope.cycleId));
    }
    const WaitCursor wait;
    if (!query_.read(kind_, scope_, pointsPerPage(), data_) && messages_ != nullptr) {
        messages_->error(txt(str::GraphDbFailed).arg(query_.lastError()));
    }
    draw();
}

void TFormBD_Graph::draw() {
    if (pie_ != nullptr) {
        drawPie();
    } else if (graphIsHistogram(kind_)) {
        drawHistogram();
    } else {
        drawPoints();
    }
}

void TFormBD_Graph::drawPie() {
    showPieCounts(chart_, pie_, data_.slices, 1, pieMarks_);
    // The legend names the outcomes with their counts; the slices carry the percentages.
    const QStringList labels = graphSliceLabels(kind_);
    const QList<QLegendMarker*> markers = chart_->legend()->markers(pie_);
    for (int i = 0; i < markers.size(); ++i) {
        markers[i]->setLabel(labels.value(i).trimmed() + QStringLiteral("  ") +
                             countText(data_.slices.value(i)));
    }
    PieFit::of(pie_)->refit();
}

void TFormBD_Graph::drawHistogram() {
    const QList<GraphPoint>& points = data_.points;
    QList<QPointF> outline;
    QList<HistogramBar> bars;
    const bool shown = data_.histogramShown() && !points.isEmpty();
    if (shown) {
        outline << QPointF(points.first().x, 0.0);
        for (const GraphPoint& p : points) {
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
    const double top = data_.highestBar() + kMeanAbove;
    mean_->clear();
    if (shown) {
        mean_->append(data_.mean, 0.0);
        mean_->append(data_.mean, top);
    }
    values_->setVisible(shown && values_->color() != backgroundColour());
    mean_->setVisible(shown);
    syncFill();

    adjusting_ = true;
    const int intervals = pointsPerPage();
    const double low = data_.measured > 0 ? data_.low : 0.0;
    const double high = data_.measured > 0 ? data_.high : 1.0;
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
        const double shown = std::abs(x) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : x;
        edges.append({QString::number(shown, 'f', decimals), x});
    }
    setBottomLabels(edges);
    left_->setRange(0.0, shown ? top : 100.0);
    left_->applyNiceNumbers();
    adjusting_ = false;
    marks_->show(bars, data_.mean, top);
    page_ = 1;
    pageLabel_->setText(pageText());
}

void TFormBD_Graph::drawPoints() {
    fitLeftAxis();
    showPage(1);
}

void TFormBD_Graph::fillShownPoints() {
    // The series hold the points of the shown range and of a range's width on either side:
    // paging through ten thousand cycles draws a few pages' worth, not all of them.
    const double span = bottom_->max() - bottom_->min();
    const double from = bottom_->min() - span;
    const double to = bottom_->max() + span;
    const QList<GraphPoint>& all = data_.points;
    auto it = std::lower_bound(all.begin(), all.end(), from,
                               [](const GraphPoint& p, double x) { return p.x < x; });
    QList<QPointF> points;
    QList<QPointF> norms;
    for (; it != all.end() && it->x <= to; ++it) {
        points << QPointF(it->x, hundredths(it->y));
        if (norm_ != nullptr) {
            norms << QPointF(it->x, data_.norms.value(static_cast<int>(it - all.begin())));
        }
    }
    values_->replace(points);
    if (norm_ != nullptr) {
        norm_->replace(norms);
    }
    hideMarksOffPage();
}

void TFormBD_Graph::hideMarksOffPage() {
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

void TFormBD_Graph::fitLeftAxis() {
    double lo = 0.0;
    double hi = 10.0;
    for (int i = 0; i < data_.points.size(); ++i) {
        const double y = data_.points[i].y;
        const double n = norm_ != nullptr ? data_.norms.value(i) : y;
        lo = i == 0 ? std::min(y, n) : std::min({lo, y, n});
        hi = i == 0 ? std::max(y, n) : std::max({hi, y, n});
    }
    // Percentages start at 0; levels get a margin on both sides.
    const double margin = std::max(1.0, (hi - lo) * 0.1);
    if (graphIsPerCall(kind_) || kind_ <= GraphLastMean) {
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

double TFormBD_Graph::axisStart() const {
    return graphIsByCycle(kind_) ? -0.5 : 0.5;
}

int TFormBD_Graph::pageCount() const {
    if (pie_ != nullptr || graphIsHistogram(kind_) || data_.points.isEmpty()) {
        return 1;
    }
    // Calls are numbered from 1 (a call without a value leaves its place empty); cycles count.
    const double extent =
        graphIsPerCall(kind_) ? data_.points.last().x : static_cast<double>(data_.points.size());
    return std::max(1, static_cast<int>(std::ceil(extent / pointsPerPage())));
}

QString TFormBD_Graph::pageText() const {
    return txt(str::GraphPage) + u' ' + QString::number(page_) + u' ' + txt(str::GraphPageOf) +
           u' ' + QString::number(pageCount());
}

void TFormBD_Graph::showPage(int page) {
    if (pie_ != nullptr || graphIsHistogram(kind_)) {
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
    pageLabel_->setText(pageText());
}

void TFormBD_Graph::nextPage() {
    if (page_ < pageCount()) {
        showPage(page_ + 1);
    }
}

void TFormBD_Graph::previousPage() {
    if (page_ > 1) {
        showPage(page_ - 1);
    }
}

double TFormBD_Graph::bottomMin() const {
    return bottom_ != nullptr ? bottom_->min() : 0.0;
}

double TFormBD_Graph::bottomMax() const {
    return bottom_ != nullptr ? bottom_->max() : 0.0;
}

QStringList TFormBD_Graph::bottomLabels() const {
    return labelled_ != nullptr ? labelled_->categoriesLabels() : QStringList{};
}

void TFormBD_Graph::relabel() {
    if (!graphIsByCycle(kind_)) {
        return;
    }
    QList<QPair<QString, double>> labels;
    const int first = std::max(0, static_cast<int>(std::ceil(bottom_->min())));
    const int last =
        std::min(static_cast<int>(data_.points.size()) - 1, static_cast<int>(bottom_->max()));
    // Every label where they stand apart, else every second, third...: time and date of
    // neighbouring cycles never run together.
    const QFontMetricsF fm(labelled_->labelsFont());
    double widest = 0;
    for (int i = first; i <= last; ++i) {
        for (const QString& part : data_.points[i].label.split(u' ')) {
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
        QString label = data_.points[i].label;
        const int blank = static_cast<int>(label.indexOf(u' '));
        if (blank >= 0) {
            label.replace(blank, 1, QStringLiteral("<br>"));
        }
        labels.append({label, double(i)});
    }
    setBottomLabels(labels);
}

void TFormBD_Graph::setBottomLabels(const QList<QPair<QString, double>>& labels) {
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

void TFormBD_Graph::bottomMoved() {
    if (adjusting_ || pie_ != nullptr) {
        return;
    }
    // A zoom or scroll never shows the bottom axis below its first point.
    const double c = graphIsHistogram(kind_) ? data_.low : axisStart();
    adjusting_ = true;
    if (bottom_->min() < c) {
        bottom_->setRange(c, c + (bottom_->max() - bottom_->min()));
    }
    adjusting_ = false;
    if (!graphIsHistogram(kind_)) {
        page_ = std::clamp(static_cast<int>(std::floor((bottom_->min() - c) / pointsPerPage())) + 1,
                           1, pageCount());
        hideMarksOffPage();
        relabel();
        pageLabel_->setText(pageText());
    }
}

int TFormBD_Graph::pointsPerPage() const {
    return chartPointsPerPage(chart_);
}

void TFormBD_Graph::setPointsPerPage(int points) {
    const bool intervals = graphIsHistogram(kind_);
    const int least = intervals ? kLeastIntervals : kLeastPoints;
    const int most = intervals ? kMostIntervals : kMostPoints;
    setChartPointsPerPage(chart_,
                          (points >= least && points <= most) ? points : kDefaultPointsPerPage);
}

void TFormBD_Graph::zoomChart(ChartZoom command) {
    if (pie_ != nullptr) {
        return;
    }
    if (command == ChartZoom::Restore) {
        if (graphIsHistogram(kind_)) {
            drawHistogram();
        } else {
            fitLeftAxis();
            showPage(page_);
        }
        return;
    }
    adjusting_ = true;
    setAxisWindow(bottom_, zoomWindow(axisWindow(bottom_), command, false));
    setAxisWindow(left_, zoomWindow(axisWindow(left_), command, true));
    adjusting_ = false;
    bottomMoved();
}

// ---- Menus ------------------------------------------------------------------------------------

void TFormBD_Graph::openSeriesMenu(QPoint globalPos) {
    QMenu menu(this);
    const QList<QAbstractSeries*> excluded =
        fill_ != nullptr ? QList<QAbstractSeries*>{fill_} : QList<QAbstractSeries*>{};
    const int before = pointsPerPage();
    AddSeriesMenuItems(chart_, excluded, &menu, [this, excluded, before](QAction* item) {
        OpenSeriesSettings(item, this, chart_, excluded, kind_, ChartOwner::DatabaseGraph);
        syncFill();
        if (pointsPerPage() != before) {
            if (graphIsHistogram(kind_)) {
                redraw(scope_);  // new intervals
            } else {
                showPage(1);
            }
        }
    });
    menu.addSeparator();
    menu.addActions(chartMenu_->actions());
    menu.exec(globalPos);
}

void TFormBD_Graph::keyPressEvent(QKeyEvent* event) {
    if (!HandleWindowKeys(event, this)) {
        MdiChild::keyPressEvent(event);
    }
}

QColor TFormBD_Graph::backgroundColour() const {
    return chart_->backgroundBrush().color();
}

// ---- Settings ---------------------------------------------------------------------------------

void TFormBD_Graph::writeSettings(IniFile& ini, const QString& section) {
    if (pie_ != nullptr) {
        const QList<QPieSlice*> slices = pie_->slices();
        ini.writeBool(section, QStringLiteral("Patterns"),
                      slices.first()->brush().style() != Qt::SolidPattern);
        for (int i = 0; i < slices.size(); ++i) {
            ini.writeInt(section, QStringLiteral("AColor%1").arg(i),
                         colourToIni(slices[i]->brush().color()));
        }
        ini.writeBool(section, QStringLiteral("MarkVis0"), pieMarks_);
    } else {
        const QList<QAbstractSeries*> series = menuSeries();
        for (int i = 0; i < series.size(); ++i) {
            auto* line = qobject_cast<QXYSeries*>(series[i]);
            ini.writeInt(section, QStringLiteral("AColor%1").arg(i),
                         colourToIni(seriesColour(line)));
            ini.writeBool(section, QStringLiteral("MarkVis%1").arg(i), line->pointLabelsVisible());
        }
    }
    ini.writeInt(section, QStringLiteral("DBChart1_BackColor"), colourToIni(backgroundColour()));
    ini.writeInt(section, QStringLiteral("DBChart1_Color"),
                 colourToIni(chart_->plotAreaBackgroundBrush().color()));
    ini.writeInt(section, QStringLiteral("Panel1_Color"),
                 colourToIni(panel_->palette().color(QPalette::Window)));
    ini.writeInt(section, QStringLiteral("DBChart1_MaxPointsPerPage"), pointsPerPage());
}

void TFormBD_Graph::readSettings(const IniFile& ini, const QString& section) {
    const auto colour = [&](const QString& key, const QColor& def) {
        return colourFromIni(ini.readInt(section, key, colourToIni(def)), def);
    };
    if (pie_ != nullptr) {
        const bool patterns = ini.readBool(section, QStringLiteral("Patterns"), false);
        const QList<QPieSlice*> slices = pie_->slices();
        for (int i = 0; i < slices.size(); ++i) {
            const QColor c = colour(QStringLiteral("AColor%1").arg(i), slices[i]->brush().color());
            slices[i]->setBrush(QBrush(c, patterns ? slicePattern(i) : Qt::SolidPattern));
        }
        pieMarks_ = ini.readBool(section, QStringLiteral("MarkVis0"), true);
    } else {
        const QList<QAbstractSeries*> series = menuSeries();
        for (int i = 0; i < series.size(); ++i) {
            auto* line = qobject_cast<QXYSeries*>(series[i]);
            line->setColor(colour(QStringLiteral("AColor%1").arg(i), line->color()));
            line->setPointLabelsVisible(ini.readBool(section, QStringLiteral("MarkVis%1").arg(i),
                                                     line->pointLabelsVisible()));
        }
        syncFill();
    }
    setChartBackColour(chart_, colour(QStringLiteral("DBChart1_BackColor"), kBackground));
    chart_->setPlotAreaBackgroundBrush(colour(QStringLiteral("DBChart1_Color"), kBackground));
    QPalette p = panel_->palette();
    p.setColor(QPalette::Window, colour(QStringLiteral("Panel1_Color"), p.color(QPalette::Window)));
    panel_->setPalette(p);
    setPointsPerPage(
        ini.readInt(section, QStringLiteral("DBChart1_MaxPointsPerPage"), kDefaultPointsPerPage));
    if (values_ != nullptr) {
        // A graph in the background's colour could not be seen anyway.
        values_->setVisible(values_->color() != backgroundColour() &&
                            (!graphIsHistogram(kind_) || data_.histogramShown()));
        syncFill();
    }
    draw();
}

}  // namespace zev7
