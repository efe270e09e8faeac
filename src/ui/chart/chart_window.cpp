#include "ui/chart/chart_window.h"

#include "core/ini_file.h"
#include "core/strings.h"
#include "ui/chart/bar_plot.h"
#include "ui/chart/chart_output.h"
#include "ui/chart/chart_plot.h"
#include "ui/chart/chart_view.h"
#include "ui/chart/line_plot.h"
#include "ui/chart/pie_slices.h"
#include "ui/chart/tform_color.h"
#include "ui/frame/help_window.h"

#include <QChart>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLegendMarker>
#include <QMenu>
#include <QPieSeries>
#include <QPieSlice>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace zev7 {

namespace {
constexpr double kLeastPieSize = 0.05;
const QColor kDefaultBackground(255, 255, 255);
}  // namespace

ChartWindow::ChartWindow(std::unique_ptr<ChartSource> source, const QString& caption,
                         int helpContext, IniFile* ini, UserMessages* messages, QWidget* parent)
    : MdiChild(caption, helpContext, ini, parent),
      source_(std::move(source)),
      messages_(messages),
      look_(source_->look()) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QWidget* top = source_->takeTopPanel();
    QWidget* bottom = source_->takeBottomPanel();
    if (top != nullptr) {
        layout->addWidget(top);
    }

    chart_ = new QChart;
    chart_->setObjectName(look_.chartName);
    chart_->setPlotAreaBackgroundVisible(!look_.plotAreaKey.isEmpty());
    view_ = new ChartView(chart_, this);
    view_->installEventFilter(this);
    layout->addWidget(view_, 1);

    pagePanel_ = new QWidget(this);
    pagePanel_->setObjectName(QStringLiteral("Panel1"));
    pagePanel_->setAutoFillBackground(true);
    auto* row = new QHBoxLayout(pagePanel_);
    row->setContentsMargins(2, 0, 2, 0);
    prev_ = new QToolButton(pagePanel_);
    prev_->setObjectName(QStringLiteral("PrevBitBtn"));
    prev_->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    prev_->setToolTip(txt(str::GraphPrevPage));
    next_ = new QToolButton(pagePanel_);
    next_->setObjectName(QStringLiteral("NextBitBtn"));
    next_->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    next_->setToolTip(txt(str::GraphNextPage));
    pageLabel_ = new QLabel(pagePanel_);
    pageLabel_->setObjectName(QStringLiteral("Page_Label"));
    if (look_.panelFullWidth) {
        row->addStretch(1);
    }
    row->addWidget(prev_);
    row->addWidget(pageLabel_);
    row->addWidget(next_);
    if (look_.panelFullWidth) {
        layout->addWidget(pagePanel_);
    } else {
        // Only the buttons and the page number stand on the chart's colour.
        auto* pagesLine = new QHBoxLayout;
        pagesLine->addStretch(1);
        pagesLine->addWidget(pagePanel_);
        layout->addLayout(pagesLine);
    }
    if (bottom != nullptr) {
        layout->addWidget(bottom);
    }
    connect(prev_, &QToolButton::clicked, this, &ChartWindow::previousPage);
    connect(next_, &QToolButton::clicked, this, &ChartWindow::nextPage);

    chartMenu_ = makeChartMenu(this, chart_, view_, messages_,
                               [this] { setBackgroundColour(chart_->backgroundBrush().color()); });
    connect(view_, &ChartView::clicked, this, [this] { view_->setZoomAllowed(mouseZooms()); });
    connect(view_, &ChartView::doubleClicked, this, &ChartWindow::openChartMenu);
    connect(view_, &ChartView::rightClicked, this, &ChartWindow::openSeriesMenu);
    connect(view_, &ChartView::wheelTurned, this, &ChartWindow::wheel);
    connect(view_, &ChartView::rightDragged, this, [this](QPointF from, QPointF to) {
        if (isPie()) {
            turnPie(to);
        } else {
            plot_->rightDragged(from, to);
        }
    });

    if (source_->repaintDelayMs() > 0) {
        repaint_ = new QTimer(this);
        repaint_->setSingleShot(true);
        repaint_->setInterval(source_->repaintDelayMs());
        connect(repaint_, &QTimer::timeout, this, &ChartWindow::refresh);
    }
    connect(source_.get(), &ChartSource::changed, this, &ChartWindow::sourceChanged);
    connect(source_.get(), &ChartSource::gone, this, [this] { frameWindow()->close(); });

    setChartPointsPerPage(chart_, kDefaultPointsPerPage);
    switch (source_->shape()) {
        case ChartShape::Pie:
            buildPie();
            break;
        case ChartShape::Bars:
            plot_ = new BarPlot(chart_, *source_, this);
            break;
        case ChartShape::Lines:
            plot_ = new LinePlot(chart_, *source_, this);
            break;
    }
    if (plot_ != nullptr) {
        connect(plot_, &ChartPlot::pagesChanged, this, &ChartWindow::showPageText);
    }
    pagePanel_->setVisible(!isPie());
    view_->setZoomAllowed(mouseZooms());
    setBackgroundColour(kDefaultBackground);
    if (!look_.plotAreaKey.isEmpty()) {
        chart_->setPlotAreaBackgroundBrush(kDefaultBackground);
    }
    if (plot_ != nullptr) {
        plot_->applyDefaults();
    }
    refresh();
    const int panels =
        (top != nullptr && look_.sizeAddsPanels ? top->sizeHint().height() : 0) +
        (bottom != nullptr && look_.sizeAddsPanels ? bottom->sizeHint().height() : 0);
    resize(look_.clientSize.width(), look_.clientSize.height() + panels);
}

ChartWindow::~ChartWindow() {
    // The plot reads the source while it draws: it goes first.
    delete plot_;
    plot_ = nullptr;
}

bool ChartWindow::mouseZooms() const {
    return !isPie() || pieSpec_.shapedByUser;
}

QAbstractSeries* ChartWindow::mainSeries() const {
    return isPie() ? static_cast<QAbstractSeries*>(pie_) : plot_->mainSeries();
}

// ---- Drawing -----------------------------------------------------------------------------------

void ChartWindow::sourceChanged() {
    if (repaint_ == nullptr) {
        refresh();
    } else if (!repaint_->isActive()) {
        repaint_->start();
    }
}

void ChartWindow::refresh() {
    if (repaint_ != nullptr) {
        repaint_->stop();
    }
    source_->updatePanels();
    if (isPie()) {
        drawPie();
    } else {
        plot_->draw();
    }
    showPageText();
}

// ---- Pies --------------------------------------------------------------------------------------

void ChartWindow::buildPie() {
    pieSpec_ = source_->pieSpec();
    pie_ = new QPieSeries;
    pie_->setName(source_->seriesName());
    for (int i = 0; i < pieSpec_.names.size(); ++i) {
        QPieSlice* slice = pie_->append(pieSpec_.names[i], 0.0);
        slice->setBrush(pieSpec_.colours.value(i));
        slice->setBorderColor(Qt::black);
        slice->setLabelVisible(false);
        if (pieSpec_.labelArm > 0) {
            slice->setLabelArmLengthFactor(pieSpec_.labelArm);
        }
    }
    rotation_ = kPieRotation;
    setPieRotation(pie_, rotation_);
    chart_->addSeries(pie_);
    chart_->legend()->setVisible(true);
    chart_->legend()->setAlignment(pieSpec_.legend);
    new PieFit(chart_, pie_);
}

void ChartWindow::drawPie() {
    const PieCounts now = source_->pieCounts();
    showPieCounts(chart_, pie_, now.counts, pieSpec_.decimals, pieMarks_);
    // The legend names the outcomes while the slices' marks carry the percentages.
    const QList<QLegendMarker*> markers = chart_->legend()->markers(pie_);
    for (int i = 0; i < markers.size() && i < now.legend.size(); ++i) {
        markers[i]->setLabel(now.legend[i]);
    }
    PieFit::of(pie_)->refit();
}

void ChartWindow::applyPieSize() {
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

void ChartWindow::turnPie(QPointF to) {
    if (!isPie() || !pieSpec_.shapedByUser) {
        return;
    }
    const QPointF centre = chart_->plotArea().center();
    const int angle =
        static_cast<int>(qRadiansToDegrees(std::atan2(to.y() - centre.y(), to.x() - centre.x())));
    rotation_ = ((angle + rotation_) % 360 + 360) % 360;
    setPieRotation(pie_, rotation_);
    PieFit::of(pie_)->refit();
}

// ---- Pages, zoom and scroll --------------------------------------------------------------------

BarPages ChartWindow::pages() const {
    return plot_ != nullptr ? plot_->pages() : BarPages{};
}

QString ChartWindow::pageText() const {
    const BarPages p = pages();
    return txt(str::GraphPage) + u' ' + QString::number(p.page) + u' ' + txt(str::GraphPageOf) +
           u' ' + QString::number(p.pages);
}

void ChartWindow::showPageText() {
    pageLabel_->setText(pageText());
}

void ChartWindow::nextPage() {
    const BarPages p = pages();
    if (plot_ != nullptr && p.page < p.pages) {
        plot_->showPage(p.page + 1);
    }
}

void ChartWindow::previousPage() {
    const BarPages p = pages();
    if (plot_ != nullptr && p.page > 1) {
        plot_->showPage(p.page - 1);
    }
}

AxisWindow ChartWindow::bottomWindow() const {
    return plot_ != nullptr ? axisWindow(plot_->bottomAxis()) : AxisWindow{};
}

AxisWindow ChartWindow::leftWindow() const {
    return plot_ != nullptr ? axisWindow(plot_->leftAxis()) : AxisWindow{};
}

int ChartWindow::pointsPerPage() const {
    return chartPointsPerPage(chart_);
}

void ChartWindow::setPointsPerPage(int points) {
    const bool sound = points >= look_.leastPoints && points <= look_.mostPoints;
    setChartPointsPerPage(chart_, sound ? points : kDefaultPointsPerPage);
}

void ChartWindow::wheel(double notches) {
    if (plot_ != nullptr) {
        plot_->wheel(notches);
    }
}

void ChartWindow::zoomChart(ChartZoom command) {
    if (plot_ == nullptr) {
        return;
    }
    if (command == ChartZoom::Restore) {
        plot_->restore();
    } else {
        plot_->zoom(command);
    }
}

// ---- Keys --------------------------------------------------------------------------------------

void ChartWindow::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(event)) {
        MdiChild::keyPressEvent(event);
    }
}

bool ChartWindow::eventFilter(QObject* watched, QEvent* event) {
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

bool ChartWindow::handleKey(QKeyEvent* event) {
    if (HandleWindowKeys(event, this)) {
        return true;
    }
    if (!isPie() || !pieSpec_.shapedByUser) {
        return false;
    }
    const auto shrink = [](int& r) {
        r -= kRadiusStep;
        if (r < kLeastRadius) {
            r = 0;  // automatic size
        }
    };
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
            return false;
    }
    applyPieSize();
    return true;
}

// ---- Menus, colours and pictures ---------------------------------------------------------------

void ChartWindow::openSeriesMenu(QPoint globalPos) {
    QMenu menu(this);
    const QList<QAbstractSeries*> excluded =
        plot_ != nullptr ? plot_->unlisted() : QList<QAbstractSeries*>{};
    const int pointsBefore = pointsPerPage();
    AddSeriesMenuItems(chart_, excluded, &menu, [this, excluded, pointsBefore](QAction* item) {
        OpenSeriesSettings(item, this, chart_, excluded, source_->kind(), source_->owner());
        if (plot_ != nullptr) {
            plot_->seriesEdited(pointsPerPage() != pointsBefore);
        }
        view_->setZoomAllowed(mouseZooms());
    });
    menu.addSeparator();
    menu.addActions(chartMenu_->actions());
    menu.exec(globalPos);
}

void ChartWindow::openChartMenu(QPoint globalPos) {
    view_->setZoomAllowed(false);
    chartMenu_->exec(globalPos);
}

QColor ChartWindow::backgroundColour() const {
    return chart_->backgroundBrush().color();
}

void ChartWindow::setBackgroundColour(const QColor& colour) {
    setChartBackColour(chart_, colour);
    if (look_.panelKey.isEmpty()) {
        QPalette p = pagePanel_->palette();
        p.setColor(QPalette::Window, colour);
        pagePanel_->setPalette(p);
    }
}

bool ChartWindow::saveReportBitmap(const QString& path) {
    refresh();
    return saveBitmap16(renderChartAt(chart_, look_.clientSize), path);
}

// ---- Form storage ------------------------------------------------------------------------------

void ChartWindow::writeSettings(IniFile& ini, const QString& section) {
    ini.writeInt(section, look_.backgroundKey, colourToIni(backgroundColour()));
    if (!look_.plotAreaKey.isEmpty()) {
        ini.writeInt(section, look_.plotAreaKey,
                     colourToIni(chart_->plotAreaBackgroundBrush().color()));
    }
    if (!look_.panelKey.isEmpty()) {
        ini.writeInt(section, look_.panelKey,
                     colourToIni(pagePanel_->palette().color(QPalette::Window)));
    }
    if (!look_.pointsKey.isEmpty()) {
        ini.writeInt(section, look_.pointsKey, pointsPerPage());
    }
    if (!isPie()) {
        plot_->writeLook(ini, section);
        return;
    }
    const QList<QPieSlice*> slices = pie_->slices();
    for (int i = 0; i < slices.size(); ++i) {
        ini.writeInt(section, pieSpec_.colourKey.arg(i + pieSpec_.firstColourKey),
                     colourToIni(slices[i]->brush().color()));
    }
    ini.writeBool(section, QStringLiteral("Patterns"),
                  slices.first()->brush().style() != Qt::SolidPattern);
    if (!pieSpec_.marksKey.isEmpty()) {
        ini.writeBool(section, pieSpec_.marksKey, pieMarks_);
    }
}

void ChartWindow::readSettings(const IniFile& ini, const QString& section) {
    const auto colour = [&](const QString& key, const QColor& fallback) {
        return colourFromIni(ini.readInt(section, key, colourToIni(fallback)), fallback);
    };
    setBackgroundColour(colour(look_.backgroundKey, kDefaultBackground));
    if (!look_.plotAreaKey.isEmpty()) {
        chart_->setPlotAreaBackgroundBrush(colour(look_.plotAreaKey, kDefaultBackground));
    }
    if (!look_.panelKey.isEmpty()) {
        QPalette p = pagePanel_->palette();
        p.setColor(QPalette::Window, colour(look_.panelKey, p.color(QPalette::Window)));
        pagePanel_->setPalette(p);
    }
    if (!look_.pointsKey.isEmpty()) {
        setPointsPerPage(ini.readInt(section, look_.pointsKey, kDefaultPointsPerPage));
    }
    if (isPie()) {
        const QList<QPieSlice*> slices = pie_->slices();
        const bool patterns = ini.readBool(section, QStringLiteral("Patterns"),
                                           slices.first()->brush().style() != Qt::SolidPattern);
        for (int i = 0; i < slices.size(); ++i) {
            const QColor c = colour(pieSpec_.colourKey.arg(i + pieSpec_.firstColourKey),
                                    pieSpec_.colours.value(i));
            slices[i]->setBrush(QBrush(c, patterns ? slicePattern(i) : Qt::SolidPattern));
        }
        if (!pieSpec_.marksKey.isEmpty()) {
            pieMarks_ = ini.readBool(section, pieSpec_.marksKey, true);
        }
    } else {
        plot_->readLook(ini, section);
    }
    refresh();
}

void ChartWindow::closeEvent(QCloseEvent* event) {
    if (repaint_ != nullptr) {
        repaint_->stop();
    }
    MdiChild::closeEvent(event);
}

}  // namespace zev7
