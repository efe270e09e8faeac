// ChartWindow, the program's one chart window: a pie, bars a call, lines or a histogram, as its
// ChartSource says (a port's live graphs, the database's graphs). It pages through the points,
// keeps zoom and scroll inside the graph's limits, stores its look in "ZEV7.ini" under its
// caption, and offers the chart menu (background, copy, save, print) and the series settings;
// the result report gets its picture from here.
#pragma once

#include "ui/chart/chart_axes.h"
#include "ui/chart/chart_source.h"
#include "ui/chart/chart_zoom.h"
#include "ui/frame/mdi_child.h"

#include <QColor>
#include <memory>

class QAbstractSeries;
class QChart;
class QLabel;
class QMenu;
class QPieSeries;
class QTimer;
class QToolButton;

namespace zev7 {

class ChartPlot;
class ChartView;
class UserMessages;

class ChartWindow : public MdiChild, public ChartZoomTarget {
    Q_OBJECT

public:
    // Pie radius keys change a radius by this much; below the least it is automatic (0).
    static constexpr int kRadiusStep = 25;
    static constexpr int kLeastRadius = 6;

    // Takes the source over.
    ChartWindow(std::unique_ptr<ChartSource> source, const QString& caption, int helpContext,
                IniFile* ini, UserMessages* messages, QWidget* parent = nullptr);
    ~ChartWindow() override;

    ChartSource& source() const { return *source_; }
    bool isPie() const { return pie_ != nullptr; }
    QChart* chart() const { return chart_; }
    ChartView* chartView() const { return view_; }
    QMenu* chartMenu() const { return chartMenu_; }
    QWidget* pagePanel() const { return pagePanel_; }
    ChartPlot* plot() const { return plot_; }
    // The pie, the bars, the values.
    QAbstractSeries* mainSeries() const;

    // The source's data changed: the chart follows now.
    void refresh();

    // ---- Pages ----------------------------------------------------------------------------
    BarPages pages() const;
    int page() const { return pages().page; }
    int pageCount() const { return pages().pages; }
    QString pageText() const;
    void nextPage();
    void previousPage();
    AxisWindow bottomWindow() const;
    AxisWindow leftWindow() const;
    // "Points per page" of the series settings: the number of intervals of a histogram.
    int pointsPerPage() const;
    void setPointsPerPage(int points);
    // Wheel notches (forward positive) move the value axis of the live bars.
    void wheel(double notches);

    // ---- Pies -----------------------------------------------------------------------------
    int horizontalRadius() const { return hRadius_; }
    int verticalRadius() const { return vRadius_; }
    int rotation() const { return rotation_; }
    // The right button dragged to `to`: the pie turns by the pointer's angle.
    void turnPie(QPointF to);

    // ---- Look and pictures ----------------------------------------------------------------
    QColor backgroundColour() const;
    void setBackgroundColour(const QColor& colour);
    // The picture the result report shows: the chart as a 16-colour bitmap of the window's
    // designed size, however small the window is.
    bool saveReportBitmap(const QString& path);

    // ChartZoomTarget: the main window's chart toolbar.
    bool zoomApplies() const override { return !isPie(); }
    void zoomChart(ChartZoom command) override;

protected:
    void writeSettings(IniFile& ini, const QString& section) override;
    void readSettings(const IniFile& ini, const QString& section) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Whether a left drag zooms (a pie the user may shape takes the mouse too).
    bool mouseZooms() const;
    void buildPie();
    void drawPie();
    void applyPieSize();
    void sourceChanged();
    void showPageText();
    void openSeriesMenu(QPoint globalPos);
    void openChartMenu(QPoint globalPos);
    // Ctrl+C, Ctrl+P and the pie's arrow keys; true when the key was taken.
    bool handleKey(QKeyEvent* event);

    std::unique_ptr<ChartSource> source_;
    UserMessages* messages_;
    const ChartLook look_;
    PieSpec pieSpec_;

    QChart* chart_ = nullptr;
    ChartView* view_ = nullptr;
    QWidget* pagePanel_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QToolButton* prev_ = nullptr;
    QToolButton* next_ = nullptr;
    QMenu* chartMenu_ = nullptr;
    QTimer* repaint_ = nullptr;

    QPieSeries* pie_ = nullptr;
    ChartPlot* plot_ = nullptr;
    bool pieMarks_ = true;  // the slices' percentages shown
    int hRadius_ = 0;
    int vRadius_ = 0;
    int rotation_ = 0;
};

}  // namespace zev7
