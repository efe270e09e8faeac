// TForm_Graphic, a live graph window of a port: one of the two pies of the running cycle's
// outcomes or one of the three bar graphs with a bar per test call (attenuation, dial-tone
// level, ringback level). It shows what the port window keeps (PortGraphData), pages through the
// bars, keeps zoom and scroll inside the graph's limits, stores its look in "ZEV7.ini" under its
// caption, and offers the chart menu: background, copy, save, print and the series settings.
#pragma once

#include "ui/chart/chart_axes.h"
#include "ui/chart/chart_zoom.h"
#include "ui/frame/mdi_child.h"
#include "ui/model/port_graph_data.h"

#include <QColor>
#include <QList>
#include <QPointer>

class QAbstractSeries;
class QBarSeries;
class QBarSet;
class QChart;
class QLabel;
class QLineSeries;
class QMenu;
class QPieSeries;
class QTimer;
class QToolButton;
class QValueAxis;

namespace zev7 {

class ChartView;
class PanelBar;
class UserMessages;

// The left axis of a bar graph: scroll and zoom limits, increment, and the range that undoing
// a zoom restores.
struct GraphAxisSettings {
    double maxl = 0.0;
    double minl = 0.0;
    double incrl = 0.0;
    double upl = 0.0;
    double dnl = 0.0;
    static GraphAxisSettings defaults(int kind);
};

class TForm_Graphic : public MdiChild, public ChartZoomTarget {
    Q_OBJECT

public:
    static constexpr int kHelpContext = 36;
    // Pie radius keys change a radius by this much; below the least it is automatic (0).
    static constexpr int kRadiusStep = 25;
    static constexpr int kLeastRadius = 6;
    // Repaints at most this often while calls come in.
    static constexpr int kRepaintIntervalMs = 40;

    TForm_Graphic(int port, int kind, const QString& title, PortGraphData& data,
                  UserMessages& messages, IniFile* ini, QWidget* parent = nullptr);

    int port() const { return port_; }
    int kind() const { return kind_; }
    bool isPie() const { return kind_ < AttenuationBars; }
    QChart* chart() const { return chart_; }
    ChartView* chartView() const { return view_; }
    QAbstractSeries* series() const;

    // ---- Bar graphs ---------------------------------------------------------------------------
    QString pageText() const;
    BarPages pages() const { return pages_; }
    void nextPage();
    void previousPage();
    AxisWindow bottomWindow() const;
    AxisWindow leftWindow() const;
    const GraphAxisSettings& axisSettings() const { return axis_; }
    // The bars on the chart now (only those of the visible window are handed to the chart).
    int shownBars() const;
    // The user moved the axes (zoom or scroll): the limits and the least window apply.
    void axesMoved(const ChartWindows& before);
    // Wheel notches (forward positive) move the value axis down by 1/25 of its span each.
    void wheel(double notches);
    // The points per page changed: the bottom axis is laid out again from page 1.
    void layOutBottom();

    // ---- Pies ---------------------------------------------------------------------------------
    int horizontalRadius() const { return hRadius_; }
    int verticalRadius() const { return vRadius_; }
    int rotation() const { return rotation_; }
    // The right button dragged from `from` to `to`: the pie turns by the pointer's angle.
    void turnPie(QPointF to);

    // ---- Both ---------------------------------------------------------------------------------
    // The data changed: the chart follows now.
    void refresh();
    QColor backgroundColour() const;
    void setBackgroundColour(const QColor& colour);
    // The menu of a double click: background colour, copy, save, print.
    QMenu* chartMenu() const { return chartMenu_; }
    // The picture the result report shows: the chart as a 16-colour bitmap.
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
    void buildPie();
    void buildBars();
    void refreshPie();
    void showBars();
    // The value marks upright where the bars stand too close for them level, and left out
    // where even upright they would run into each other.
    void fitBarMarks();
    void updatePages();
    void applyLeftRange(double dnl, double upl);
    void applyPieSize();
    void applyDefaults();
    void openSeriesMenu(QPoint globalPos);
    void openChartMenu(QPoint globalPos);
    void scheduleRefresh();
    void onAxisRangeChanged();
    void showPage(int page);
    // Ctrl+C, Ctrl+P and the pie's arrow keys; true when the key was taken.
    bool handleKey(QKeyEvent* event);
    const std::vector<QPointF>& barData() const;

    const int port_;
    const int kind_;
    QPointer<PortGraphData> data_;  // the port window's; the window closes when it goes
    UserMessages& messages_;

    QChart* chart_ = nullptr;
    ChartView* view_ = nullptr;
    PanelBar* bar3_ = nullptr;
    PanelBar* bar1_ = nullptr;
    QWidget* pagePanel_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QToolButton* prev_ = nullptr;
    QToolButton* next_ = nullptr;
    QMenu* chartMenu_ = nullptr;
    QTimer* repaint_ = nullptr;

    QPieSeries* pie_ = nullptr;
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
    int hRadius_ = 0;
    int vRadius_ = 0;
    int rotation_ = 90;
};

// The slice colours a pie starts with: the two of the call pie or the 13 of the loss pie.
const QList<QColor>& pieSliceColours(bool losses);
// The window's title for a graph kind: "Диаграмма вызовов" .. "Уровень СКПВ".
QString graphTitle(int kind);
// The window's caption: "Порт:3  Затухание".
QString graphCaption(int port, int kind);

}  // namespace zev7
