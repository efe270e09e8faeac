// TFormBD_Graph, the statistical graph window of the database: the chart window over one graph
// kind's data (DbChartSource), one window per kind. Its look is kept in "ZEV7.ini" under its
// caption.
#pragma once

#include "dbui/db_chart_source.h"
#include "ui/chart/chart_window.h"

class QLineSeries;

namespace zev7 {

class HistogramMarks;
class LinePlot;

class TFormBD_Graph : public ChartWindow {
    Q_OBJECT

public:
    // The help topic of the statistics windows, which these graphs belong to.
    static constexpr int kHelpContext = 52;

    TFormBD_Graph(int kind, QSqlDatabase db, IniFile* ini, UserMessages* messages,
                  QWidget* parent = nullptr);

    // The object name by which the frame finds the window of a kind.
    static QString windowName(int kind);

    int kind() const { return dbSource().kind(); }
    // Reads the graph's data for this cycle and selection and draws it from page 1.
    void redraw(const GraphScope& scope);
    const GraphData& data() const { return dbSource().data(); }
    const GraphScope& scope() const { return dbSource().scope(); }

    // The bottom axis's visible range.
    double bottomMin() const { return bottomWindow().min; }
    double bottomMax() const { return bottomWindow().max; }
    // The bottom axis labels shown now: "time<br>date" per cycle of kinds 14..31, the interval
    // edges of a histogram.
    QStringList bottomLabels() const;
    QLineSeries* meanLine() const;
    QLineSeries* normLine() const;
    // A histogram's value marks; null for the other kinds.
    HistogramMarks* histogramMarks() const;

private:
    DbChartSource& dbSource() const { return static_cast<DbChartSource&>(source()); }
    LinePlot* lines() const;
};

}  // namespace zev7
