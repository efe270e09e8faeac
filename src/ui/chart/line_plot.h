// The lines of a database graph: the values of a cycle's calls, a point per cycle of the
// selection (labelled with its start, with its norm alongside), or a histogram of a level with
// its mean line and its value marks. The points are paged; a histogram is one page of its
// intervals. Only the shown page and its neighbours are handed to the chart.
#pragma once

#include "ui/chart/chart_plot.h"
#include "ui/chart/chart_source.h"

#include <QPair>
#include <QString>

class QAreaSeries;
class QCategoryAxis;
class QChart;
class QLineSeries;

namespace zev7 {

class HistogramMarks;

class LinePlot : public ChartPlot {
    Q_OBJECT

public:
    LinePlot(QChart* chart, ChartSource& source, QObject* parent = nullptr);

    // The bottom axis labels shown now: "time<br>date" per cycle, the interval edges of a
    // histogram.
    QStringList bottomLabels() const;
    QLineSeries* meanLine() const { return mean_; }
    QLineSeries* normLine() const { return norm_; }
    // A histogram's value marks; null for the other graphs.
    HistogramMarks* histogramMarks() const { return marks_; }

    QAbstractSeries* mainSeries() const override;
    QList<QAbstractSeries*> unlisted() const override;
    QValueAxis* bottomAxis() const override { return bottom_; }
    QValueAxis* leftAxis() const override { return left_; }
    void draw() override;
    BarPages pages() const override { return {page_, pageCount()}; }
    void showPage(int page) override;
    void restore() override;
    // A zoom or scroll keeps the bottom axis at or above its first point.
    void zoom(ChartZoom command) override;
    void seriesEdited(bool pointsChanged) override;
    void writeLook(IniFile& ini, const QString& section) const override;
    void readLook(const IniFile& ini, const QString& section) override;

private:
    bool isHistogram() const { return spec_.mode == LineMode::Histogram; }
    int pageCount() const;
    int pointsPerPage() const;
    void drawHistogram();
    void relabel();
    void setBottomLabels(const QList<QPair<QString, double>>& labels);
    void bottomMoved();
    void fitLeftAxis();
    void fillShownPoints();
    void hideMarksOffPage();
    void syncFill();
    // The series of the series menu, whose look is stored by their number.
    QList<QAbstractSeries*> menuSeries() const;
    // The least value of the bottom axis on the pages.
    double axisStart() const;

    QChart* chart_;
    ChartSource& source_;
    const LineSpec spec_;
    int page_ = 1;
    bool adjusting_ = false;

    QLineSeries* values_ = nullptr;  // the histogram's outline, the calls' or cycles' values
    QAreaSeries* fill_ = nullptr;    // the histogram's area under the outline
    QLineSeries* mean_ = nullptr;
    QLineSeries* norm_ = nullptr;
    HistogramMarks* marks_ = nullptr;
    QValueAxis* bottom_ = nullptr;
    // A point per cycle: the cycles' start under each point; histograms: the interval edges.
    QCategoryAxis* labelled_ = nullptr;
    QValueAxis* left_ = nullptr;
};

}  // namespace zev7
