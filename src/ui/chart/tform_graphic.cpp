#include "ui/chart/tform_graphic.h"

#include "core/ini_file.h"
#include "core/strings.h"
#include "scenario/result_code.h"
#include "ui/chart/chart_output.h"
#include "ui/chart/chart_view.h"
#include "ui/chart/pie_slices.h"
#include "ui/chart/tform_color.h"
#include "ui/frame/help_window.h"
#include "ui/frame/panel_bar.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QPieSeries>
#include <QPieSlice>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace zev7 {

namespace {

constexpr QSize kClientSize{600, 400};
constexpr double kBarWidth = 0.5;
constexpr double kLeastPieSize = 0.05;
constexpr int kLeastPointsPerPage = 5;
constexpr double kMarkGap = 4.0;  // pixels between the value marks of neighbouring bars
constexpr int kMostPointsPerPage = 1000;
// The wheel moves the value axis by the value of 1/25 of the chart's height per notch.
constexpr double kWheelShare = 25.0;
const QColor kDefaultBackground(255, 255, 255);
const QColor kDefaultGraphColour(0, 255, 0);

QStringList sliceNames(int kind) {
    if (kind == CallsPie) {
        return {txt(str::GraphAllSuccesses), txt(str::GraphAllLosses)};
    }
    QStringList names;
    for (ResultCode outcome : kLossOutcomes) {
        names << resultCodeText(outcome);
    }
    return names;
}

QString sliceKey(int kind, int slice) {
    return kind == CallsPie ? QStringLiteral("DiagConnectColor%1").arg(slice + 1)
                            : QStringLiteral("DiagNoConnectColor%1").arg(slice + 1);
}

}  // namespace

const QList<QColor>& pieSliceColours(bool losses) {
    static const QList<QColor> calls = {QColor(0, 128, 0), QColor(255, 0, 0)};
    static const QList<QColor> lossColours = {
        QColor(255, 0, 0),   QColor(0, 128, 0), QColor(255, 255, 0),   QColor(0, 0, 255),
        QColor(0, 255, 255), QColor(255, 0, 0), QColor(192, 192, 192), QColor(255, 255, 255),
        QColor(0, 255, 0),   QColor(0, 0, 0),   QColor(255, 0, 255),   QColor(0, 0, 128),
        QColor(0, 0, 255)};
    return losses ? lossColours : calls;
}

QString graphTitle(int kind) {
    static const char* const kTitles[] = {str::GraphCalls, str::GraphLosses, str::GraphAttenuation,
                                          str::GraphDialTone, str::GraphRingback};
    return txt(kTitles[std::clamp(kind, 0, kGraphKinds - 1)]);
}

QString graphCaption(int port, int kind) {
    return txt(str::PortCaptionPrefix) + QString::number(port) + QStringLiteral("  ") +
           graphTitle(kind);
}

GraphAxisSettings GraphAxisSettings::defaults(int kind) {
    if (kind == AttenuationBars) {
        return {50.0, -50.0, 0.2, 30.0, 0.0};
    }
    return {10.0, -50.0, 0.2, 0.0, -40.0};
}

TForm_Graphic::TForm_Graphic(int port, int kind, const QString& title, PortGraphData& data,
                             UserMessages& messages, IniFile* ini, QWidget* parent)
    : MdiChild(txt(str::PortCaptionPrefix) + QString::number(port) + QStringLiteral("  ") + title,
               kHelpContext, ini, parent),
      port_(port),
      kind_(std::clamp(kind, 0, kGraphKinds - 1)),
      data_(&data),
      messages_(messages) {
    setObjectName(QStringLiteral("Form_Graphic%1_%2").arg(port).arg(kind_));

    bar3_ = new PanelBar({40, 220, 110, 0});
    bar3_->setObjectName(QStringLiteral("StatusBar3"));
    bar3_->setText(0, txt(str::BarOut));
    bar3_->setHint(1, txt(str::HintResOutNumber));
    bar3_->setHint(2, txt(str::HintResCycleStart));
    bar1_ = new PanelBar({40, 220, 0});
    bar1_->setObjectName(QStringLiteral("StatusBar1"));
    bar1_->setText(0, txt(str::BarIn));
    bar1_->setHint(1, txt(str::HintResInNumber));

    chart_ = new QChart;
    chart_->setObjectName(QStringLiteral("Chart2"));
    view_ = new ChartView(chart_);
    view_->installEventFilter(this);

    pagePanel_ = new QWidget;
    pagePanel_->setObjectName(QStringLiteral("Panel1"));
    pagePanel_->setAutoFillBackground(true);
    auto* pageRow = new QHBoxLayout(pagePanel_);
    pageRow->setContentsMargins(2, 0, 2, 0);
    prev_ = new QToolButton;
    prev_->setObjectName(QStringLiteral("PrevBitBtn"));
    prev_->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    prev_->setToolTip(txt(str::GraphPrevPage));
    next_ = new QToolButton;
    next_->setObjectName(QStringLiteral("NextBitBtn"));
    next_->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    next_->setToolTip(txt(str::GraphNextPage));
    pageLabel_ = new QLabel;
    pageLabel_->setObjectName(QStringLiteral("Page_Label"));
    pageRow->addWidget(prev_);
    pageRow->addWidget(pageLabel_);
    pageRow->addWidget(next_);
    connect(prev_, &QToolButton::clicked, this, &TForm_Graphic::previousPage);
    connect(next_, &QToolButton::clicked, this, &TForm_Graphic::nextPage);

    auto* pagesLine = new QHBoxLayout;
    pagesLine->addStretch(1);
    pagesLine->addWidget(pagePanel_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar3_);
    layout->addWidget(view_, 1);
    layout->addLayout(pagesLine);
    layout->addWidget(bar1_);

    chartMenu_ = makeChartMenu(this, chart_, view_, &messages_,
                               [this] { setBackgroundColour(chart_->backgroundBrush().color()); });

    connect(view_, &ChartView::clicked, this, [this] { view_->setZoomAllowed(true); });
    connect(view_, &ChartView::doubleClicked, this, &TForm_Graphic::openChartMenu);
    connect(view_, &ChartView::rightClicked, this, &TForm_Graphic::openSeriesMenu);
    connect(view_, &ChartView::wheelTurned, this, &TForm_Graphic::wheel);
    connect(view_, &ChartView::rightDragged, this, [this](QPointF from, QPointF to) {
        if (isPie()) {
            turnPie(to);
        } else {
            chart_->scroll(from.x() - to.x(), to.y() - from.y());
        }
    });

    repaint_ = new QTimer(this);
    repaint_->setSingleShot(true);
    repaint_->setInterval(kRepaintIntervalMs);
    connect(repaint_, &QTimer::timeout, this, &TForm_Graphic::refresh);
    connect(&data, &PortGraphData::changed, this, &TForm_Graphic::scheduleRefresh);
    connect(&data, &QObject::destroyed, this, [this] { frameWindow()->close(); });

    if (isPie()) {
        buildPie();
    } else {
        buildBars();
    }
    pagePanel_->setVisible(!isPie());
    applyDefaults();
    refresh();
    resize(kClientSize.width(),
           kClientSize.height() + bar3_->sizeHint().height() + bar1_->sizeHint().height());
}

void TForm_Graphic::buildPie() {
    pie_ = new QPieSeries;
    pie_->setName(graphTitle(kind_));
    for (const QString& name : sliceNames(kind_)) {
        QPieSlice* slice = pie_->append(name, 0.0);
        slice->setLabelVisible(false);
    }
    chart_->addSeries(pie_);
    chart_->legend()->setVisible(true);
    chart_->legend()->setAlignment(kind_ == CallsPie ? Qt::AlignTop : Qt::AlignRight);
    new PieFit(chart_, pie_);
}

void TForm_Graphic::buildBars() {
    barSet_ = new QBarSet(graphTitle(kind_));
    barSet_->setPen(Qt::NoPen);
    barSet_->setLabelColor(Qt::black);  // the marks stand above the bars, on the background
    bars_ = new QBarSeries;
    bars_->setName(graphTitle(kind_));
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
    left_->setTitleText(kind_ == AttenuationBars
                            ? txt(str::GraphDbAxis)
                            : graphTitle(kind_) + u',' + txt(str::GraphDbmAxis));
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
    connect(bottom_, &QValueAxis::rangeChanged, this, &TForm_Graphic::onAxisRangeChanged);
    connect(left_, &QValueAxis::rangeChanged, this, &TForm_Graphic::onAxisRangeChanged);
    connect(chart_, &QChart::plotAreaChanged, this, &TForm_Graphic::fitBarMarks);
}

QAbstractSeries* TForm_Graphic::series() const {
    return isPie() ? static_cast<QAbstractSeries*>(pie_) : static_cast<QAbstractSeries*>(bars_);
}

void TForm_Graphic::applyDefaults() {
    setBackgroundColour(kDefaultBackground);
    if (isPie()) {
        const QList<QColor>& colours = pieSliceColours(kind_ != CallsPie);
        for (int i = 0; i < pie_->count(); ++i) {
            pie_->slices().at(i)->setBrush(colours.value(i));
            pie_->slices().at(i)->setBorderColor(Qt::black);
        }
        rotation_ = kPieRotation;
        setPieRotation(pie_, rotation_);
        return;
    }
    barSet_->setColor(kDefaultGraphColour);
    bars_->setLabelsVisible(true);
    setChartPointsPerPage(chart_, kDefaultPointsPerPage);
    axis_ = GraphAxisSettings::defaults(kind_);
    applyLeftRange(axis_.dnl, axis_.upl);
    layOutBottom();
}

// ---- Refreshing --------------------------------------------------------------------------------

void TForm_Graphic::scheduleRefresh() {
    if (!repaint_->isActive()) {
        repaint_->start();
    }
}

const std::vector<QPointF>& TForm_Graphic::barData() const {
    static const std::vector<QPointF> none;
    return data_ ? data_->bars(kind_) : none;
}

void TForm_Graphic::refresh() {
    repaint_->stop();
    if (!data_) {
        return;
    }
    const QString out = data_->outNumberText();
    const QString start = data_->cycleStartText();
    const QString in = data_->inNumberText();
    bar3_->setText(1, out.isEmpty() ? txt(str::EmptyNumberText) : out);
    bar3_->setText(2, start.isEmpty() ? txt(str::EmptyCycleStart) : start);
    bar1_->setText(1, in.isEmpty() ? txt(str::EmptyNumberText) : in);
    if (isPie()) {
        refreshPie();
    } else {
        showBars();
        updatePages();
    }
}

void TForm_Graphic::refreshPie() {
    const PieValues& pies = data_->pies();
    QList<double> counts;
    if (kind_ == CallsPie) {
        counts = {static_cast<double>(pies.calls[0]), static_cast<double>(pies.calls[1])};
    } else {
        for (int v : pies.losses) {
            counts.append(v);
        }
    }
    showPieCounts(chart_, pie_, counts, 0);
    // The legend names the outcomes while the slices' marks carry the percentages.
    const QStringList names = sliceNames(kind_);
    const QList<QLegendMarker*> markers = chart_->legend()->markers(pie_);
    for (int i = 0; i < markers.size() && i < names.size(); ++i) {
        markers[i]->setLabel(names[i]);
    }
    PieFit::of(pie_)->refit();
}

void TForm_Graphic::showBars() {
    const std::vector<QPointF>& all = barData();
    const AxisWindow w = bottomWindow();
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

void TForm_Graphic::fitBarMarks() {
    const AxisWindow w = bottomWindow();
    const double width = chart_->plotArea().width();
    if (barSet_ == nullptr || width <= 0 || w.max <= w.min) {
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

int TForm_Graphic::shownBars() const {
    return barSet_ != nullptr ? barSet_->count() : 0;
}

// ---- Pages, zoom and scroll --------------------------------------------------------------------

AxisWindow TForm_Graphic::bottomWindow() const {
    return bottom_ != nullptr ? axisWindow(bottom_) : AxisWindow{};
}

AxisWindow TForm_Graphic::leftWindow() const {
    return left_ != nullptr ? axisWindow(left_) : AxisWindow{};
}

void TForm_Graphic::updatePages() {
    const std::vector<QPointF>& all = barData();
    const double firstX = all.empty() ? 1.0 : all.front().x();
    pages_ = barPages(static_cast<int>(all.size()), firstX, bottomWindow());
    pageLabel_->setText(pageText());
}

QString TForm_Graphic::pageText() const {
    return txt(str::GraphPage) + u' ' + QString::number(pages_.page) + u' ' +
           txt(str::GraphPageOf) + u' ' + QString::number(pages_.pages);
}

void TForm_Graphic::showPage(int page) {
    const std::vector<QPointF>& all = barData();
    const double firstX = all.empty() ? 1.0 : all.front().x();
    adjusting_ = true;
    setAxisWindow(bottom_, pageWindow(page, bottomWindow().span(), firstX));
    adjusting_ = false;
    lastWindows_ = chartWindows(chart_);
    showBars();
    updatePages();
}

void TForm_Graphic::nextPage() {
    if (!isPie() && pages_.page < pages_.pages) {
        showPage(pages_.page + 1);
    }
}

void TForm_Graphic::previousPage() {
    if (!isPie() && pages_.page > 1) {
        showPage(pages_.page - 1);
    }
}

void TForm_Graphic::layOutBottom() {
    if (isPie()) {
        return;
    }
    adjusting_ = true;
    SetAxisRange(bottom_, 1.0, 0.5, chartPointsPerPage(chart_) + 0.5);
    adjusting_ = false;
    lastWindows_ = chartWindows(chart_);
    showBars();
    updatePages();
}

void TForm_Graphic::applyLeftRange(double dnl, double upl) {
    adjusting_ = true;
    SetAxisRange(left_, axis_.incrl, dnl, upl);
    adjusting_ = false;
    lastWindows_ = chartWindows(chart_);
}

void TForm_Graphic::onAxisRangeChanged() {
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

void TForm_Graphic::axesMoved(const ChartWindows& before) {
    if (isPie()) {
        return;
    }
    adjusting_ = true;
    LimitAxes(chart_, 0.0, 0.0, 0.0, 0.0, axis_.minl, axis_.maxl);
    if (bottom_->min() < 0.5) {
        setAxisWindow(bottom_, {0.5, bottom_->max()});
    }
    KeepMinimumWindow(chart_, before, 1.0, 0.0, axis_.incrl);
    adjusting_ = false;
    lastWindows_ = chartWindows(chart_);
    showBars();
    updatePages();
}

void TForm_Graphic::wheel(double notches) {
    if (isPie()) {
        return;
    }
    const ChartWindows before = chartWindows(chart_);
    const AxisWindow w = leftWindow();
    const double by = w.span() / kWheelShare * notches;
    adjusting_ = true;
    setAxisWindow(left_, {w.min - by, w.max - by});
    adjusting_ = false;
    axesMoved(before);
}

void TForm_Graphic::zoomChart(ChartZoom command) {
    if (isPie()) {
        return;
    }
    if (command == ChartZoom::Restore) {
        axis_.upl = axis_.maxl;
        axis_.dnl = axis_.minl;
        applyLeftRange(axis_.minl, axis_.maxl);
        layOutBottom();
        return;
    }
    const ChartWindows before = chartWindows(chart_);
    adjusting_ = true;
    setAxisWindow(bottom_, zoomWindow(bottomWindow(), command, false));
    setAxisWindow(left_, zoomWindow(leftWindow(), command, true));
    adjusting_ = false;
    axesMoved(before);
    axis_.dnl = leftWindow().min;
    axis_.upl = leftWindow().max;
}

// ---- Pies --------------------------------------------------------------------------------------

void TForm_Graphic::applyPieSize() {
    int radius = 0;
    for (int r : {hRadius_, vRadius_}) {
        if (r > 0) {
            radius = radius == 0 ? r : std::min(radius, r);
        }
    }
    if (radius == 0) {
        PieFit::of(pie_)->setAutoSize(true);
        return;
    }
    QRectF area = chart_->plotArea();
    if (area.isEmpty()) {
        area = QRectF(QPointF(0, 0), QSizeF(view_->size()));
    }
    const double side = std::max(1.0, std::min(area.width(), area.height()));
    pie_->setPieSize(std::clamp(2.0 * radius / side, kLeastPieSize, 1.0));
    PieFit::of(pie_)->setAutoSize(false);
}

void TForm_Graphic::turnPie(QPointF to) {
    if (!isPie()) {
        return;
    }
    const QPointF centre = chart_->plotArea().center();
    const int angle =
        static_cast<int>(qRadiansToDegrees(std::atan2(to.y() - centre.y(), to.x() - centre.x())));
    rotation_ = ((angle + rotation_) % 360 + 360) % 360;
    setPieRotation(pie_, rotation_);
    PieFit::of(pie_)->refit();
}

void TForm_Graphic::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(event)) {
        MdiChild::keyPressEvent(event);
    }
}

bool TForm_Graphic::eventFilter(QObject* watched, QEvent* event) {
    // The chart view has the focus; its own arrow keys would only scroll an empty scene.
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (handleKey(key) || key->key() == Qt::Key_F1) {
            if (key->key() == Qt::Key_F1) {
                showHelp(helpContext());
            }
            return true;
        }
    }
    return MdiChild::eventFilter(watched, event);
}

bool TForm_Graphic::handleKey(QKeyEvent* event) {
    if (HandleWindowKeys(event, this)) {
        return true;
    }
    if (isPie()) {
        const auto shrink = [](int& r) {
            r -= kRadiusStep;
            if (r < kLeastRadius) {
                r = 0;  // automatic size
            }
        };
        bool taken = true;
        switch (event->key()) {
            case Qt::Key_Left:
                shrink(hRadius_);
                break;
            case Qt::Key_Right:
                hRadius_ += kRadiusStep;
                break;
            case Qt::Key_Up:
                shrink(vRadius_);
                break;
            case Qt::Key_Down:
                vRadius_ += kRadiusStep;
                break;
            default:
                taken = false;
        }
        if (taken) {
            applyPieSize();
            return true;
        }
    }
    return false;
}

// ---- Menus, colours and pictures ---------------------------------------------------------------

void TForm_Graphic::openSeriesMenu(QPoint globalPos) {
    QMenu menu(this);
    const QList<QAbstractSeries*> excluded = {anchor_};
    const int pointsBefore = chartPointsPerPage(chart_);
    AddSeriesMenuItems(chart_, excluded, &menu, [this, excluded, pointsBefore](QAction* item) {
        OpenSeriesSettings(item, this, chart_, excluded, kind_, ChartOwner::LiveGraph);
        if (chartPointsPerPage(chart_) != pointsBefore) {
            layOutBottom();
        }
        view_->setZoomAllowed(true);
    });
    menu.addSeparator();
    menu.addActions(chartMenu_->actions());
    menu.exec(globalPos);
}

void TForm_Graphic::openChartMenu(QPoint globalPos) {
    view_->setZoomAllowed(false);
    chartMenu_->exec(globalPos);
}

QColor TForm_Graphic::backgroundColour() const {
    return chart_->backgroundBrush().color();
}

void TForm_Graphic::setBackgroundColour(const QColor& colour) {
    setChartBackColour(chart_, colour);
    QPalette p = pagePanel_->palette();
    p.setColor(QPalette::Window, colour);
    pagePanel_->setPalette(p);
}

bool TForm_Graphic::saveReportBitmap(const QString& path) {
    refresh();
    // The report's picture has the window's designed size, as small as the window may be.
    return saveBitmap16(renderChartAt(chart_, kClientSize), path);
}

// ---- Form storage ------------------------------------------------------------------------------

void TForm_Graphic::writeSettings(IniFile& ini, const QString& section) {
    ini.writeInt(section, QStringLiteral("ParamColor.Back"), colourToIni(backgroundColour()));
    if (isPie()) {
        const QList<QPieSlice*> slices = pie_->slices();
        for (int i = 0; i < slices.size(); ++i) {
            ini.writeInt(section, sliceKey(kind_, i), colourToIni(slices[i]->brush().color()));
        }
        ini.writeBool(section, QStringLiteral("Patterns"),
                      slices.first()->brush().style() != Qt::SolidPattern);
        return;
    }
    ini.writeInt(section, QStringLiteral("GraphColor"), colourToIni(barSet_->color()));
    ini.writeBool(section, QStringLiteral("GraphMark"), bars_->isLabelsVisible());
    ini.writeInt(section, QStringLiteral("CountPoint"), chartPointsPerPage(chart_));
    ini.writeDouble(section, QStringLiteral("maxl"), axis_.maxl);
    ini.writeDouble(section, QStringLiteral("minl"), axis_.minl);
    ini.writeDouble(section, QStringLiteral("incrl"), axis_.incrl);
    ini.writeDouble(section, QStringLiteral("upl"), axis_.upl);
    ini.writeDouble(section, QStringLiteral("dnl"), axis_.dnl);
}

void TForm_Graphic::readSettings(const IniFile& ini, const QString& section) {
    setBackgroundColour(colourFromIni(
        ini.readInt(section, QStringLiteral("ParamColor.Back"), colourToIni(kDefaultBackground)),
        kDefaultBackground));
    if (isPie()) {
        const QList<QPieSlice*> slices = pie_->slices();
        const QList<QColor>& defaults = pieSliceColours(kind_ != CallsPie);
        const bool patterns = ini.readBool(section, QStringLiteral("Patterns"),
                                           slices.first()->brush().style() != Qt::SolidPattern);
        for (int i = 0; i < slices.size(); ++i) {
            const QColor colour = colourFromIni(
                ini.readInt(section, sliceKey(kind_, i), colourToIni(defaults.value(i))),
                defaults.value(i));
            slices[i]->setBrush(QBrush(colour, patterns ? slicePattern(i) : Qt::SolidPattern));
        }
        return;
    }
    barSet_->setColor(colourFromIni(
        ini.readInt(section, QStringLiteral("GraphColor"), colourToIni(kDefaultGraphColour)),
        kDefaultGraphColour));
    bars_->setLabelsVisible(ini.readBool(section, QStringLiteral("GraphMark"), true));
    const int points = ini.readInt(section, QStringLiteral("CountPoint"), kDefaultPointsPerPage);
    setChartPointsPerPage(chart_, (points >= kLeastPointsPerPage && points <= kMostPointsPerPage)
                                      ? points
                                      : kDefaultPointsPerPage);
    const GraphAxisSettings d = GraphAxisSettings::defaults(kind_);
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
    bars_->setVisible(barSet_->color() != backgroundColour());
    applyLeftRange(axis_.dnl, axis_.upl);
    layOutBottom();
}

void TForm_Graphic::closeEvent(QCloseEvent* event) {
    repaint_->stop();
    MdiChild::closeEvent(event);
}

}  // namespace zev7
