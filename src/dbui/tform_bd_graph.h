// TFormBD_Graph, the statistical graph window of the database: one window per graph kind (the
// pies of the current cycle and of the selection, the distribution and the call-by-call values
// of a level within the current cycle, the mean level and one result of every selected cycle
// against its norm). It pages through its points, keeps its look in "ZEV7.ini" under its
// caption, and offers the chart menu: series settings, background, copy, save, print.
#pragma once

#include "dbquery/graph_data.h"
#include "ui/chart/chart_zoom.h"
#include "ui/frame/mdi_child.h"

#include <QSqlDatabase>

class QAbstractAxis;
class QAbstractSeries;
class QAreaSeries;
class QCategoryAxis;
class QChart;
class QLabel;
class QLineSeries;
class QMenu;
class QPieSeries;
class QToolButton;
class QValueAxis;

namespace zev7 {

class ChartView;
class CycleHeading;
class HistogramMarks;
class UserMessages;

class TFormBD_Graph : public MdiChild, public ChartZoomTarget {
    Q_OBJECT

public:
    // The help topic of the statistics windows, which these graphs belong to.
    static constexpr int kHelpContext = 52;

    TFormBD_Graph(int kind, QSqlDatabase db, IniFile* ini, UserMessages* messages,
                  QWidget* parent = nullptr);

    // The object name by which the frame finds the window of a kind.
    static QString windowName(int kind);

    int kind() const { return kind_; }
    // Reads the graph's data for this cycle and selection and draws it from page 1.
    void redraw(const GraphScope& scope);
    const GraphData& data() const { return data_; }
    const GraphScope& scope() const { return scope_; }

    // "DBChart1_MaxPointsPerPage": points per page; the number of intervals of a histogram.
    int pointsPerPage() const;
    void setPointsPerPage(int points);

    // ---- Pages ----------------------------------------------------------------------------
    int page() const { return page_; }
    int pageCount() const;
    QString pageText() const;
    void nextPage();
    void previousPage();
    // The bottom axis's visible range.
    double bottomMin() const;
    double bottomMax() const;
    // The bottom axis labels shown now: "time<br>date" per cycle of kinds 14..31, the interval
    // edges of a histogram.
    QStringList bottomLabels() const;

    // ---- Chart --------------------------------------------------------------------------
    QChart* chart() const { return chart_; }
    ChartView* chartView() const { return view_; }
    QMenu* chartMenu() const { return chartMenu_; }
    // The series the settings dialog edits first: the pie, the histogram, the values.
    QAbstractSeries* mainSeries() const;
    QLineSeries* meanLine() const { return mean_; }
    // A histogram's value marks; null for the other kinds.
    HistogramMarks* histogramMarks() const { return marks_; }
    QLineSeries* normLine() const { return norm_; }
    QColor backgroundColour() const;
    QWidget* pagePanel() const { return panel_; }

    // ChartZoomTarget: the main window's chart toolbar; a zoom or scroll keeps the bottom axis
    // at or above its first point.
    bool zoomApplies() const override { return pie_ == nullptr; }
    void zoomChart(ChartZoom command) override;

protected:
    void writeSettings(IniFile& ini, const QString& section) override;
    void readSettings(const IniFile& ini, const QString& section) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildPie();
    void buildLines();
    void draw();
    void drawPie();
    void drawHistogram();
    void drawPoints();
    void showPage(int page);
    void relabel();
    void setBottomLabels(const QList<QPair<QString, double>>& labels);
    void bottomMoved();
    void fitLeftAxis();
    void fillShownPoints();
    void hideMarksOffPage();
    void openSeriesMenu(QPoint globalPos);
    void syncFill();
    QList<QAbstractSeries*> menuSeries() const;
    // The least value of the bottom axis on this kind's pages.
    double axisStart() const;

    const int kind_;
    GraphQuery query_;
    UserMessages* messages_;
    GraphData data_;
    GraphScope scope_;
    int page_ = 1;
    bool adjusting_ = false;
    bool pieMarks_ = true;  // the slices' percentages shown

    CycleHeading* heading_ = nullptr;
    QChart* chart_ = nullptr;
    ChartView* view_ = nullptr;
    QMenu* chartMenu_ = nullptr;
    QWidget* panel_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QToolButton* prev_ = nullptr;
    QToolButton* next_ = nullptr;

    QPieSeries* pie_ = nullptr;
    QLineSeries* values_ = nullptr;  // the histogram's outline, the calls' or cycles' values
    QAreaSeries* fill_ = nullptr;    // the histogram's area under the outline
    QLineSeries* mean_ = nullptr;
    QLineSeries* norm_ = nullptr;
    HistogramMarks* marks_ = nullptr;
    QValueAxis* bottom_ = nullptr;
    // Kinds 14..31: the cycles' start under each point; histograms: the interval edges.
    QCategoryAxis* labelled_ = nullptr;
    QValueAxis* left_ = nullptr;
};

}  // namespace zev7
