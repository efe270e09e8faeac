// What a statistical graph of the database shows: the pies of the current cycle and of the
// selection, the distribution and the call-by-call values of a level within the current
// cycle, the mean level and one result of every selected cycle against its norm. It reads the
// graph's data for a cycle and selection and hands it to the chart window; the graphs of one
// cycle show its heading above the chart.
#pragma once

#include "dbquery/graph_data.h"
#include "ui/chart/chart_source.h"

#include <QSqlDatabase>

namespace zev7 {

class CycleHeading;
class UserMessages;

class DbChartSource : public ChartSource {
    Q_OBJECT

public:
    DbChartSource(int kind, QSqlDatabase db, UserMessages* messages, QObject* parent = nullptr);

    // Reads the graph's data for this cycle and selection (`intervals` of a histogram); the
    // window draws it from page 1.
    void read(const GraphScope& scope, int intervals);
    const GraphData& data() const { return data_; }
    const GraphScope& scope() const { return scope_; }

    ChartShape shape() const override;
    int kind() const override { return kind_; }
    ChartOwner owner() const override { return ChartOwner::DatabaseGraph; }
    QString seriesName() const override;
    ChartLook look() const override;
    PieSpec pieSpec() const override;
    PieCounts pieCounts() const override;
    LineSpec lineSpec() const override;
    const LineData& lineData() const override { return lines_; }
    QWidget* takeTopPanel() override;
    void reread(int intervals) override { read(scope_, intervals); }

private:
    const int kind_;
    GraphQuery query_;
    UserMessages* messages_;
    GraphData data_;
    LineData lines_;  // the same points as the chart takes them
    GraphScope scope_;
    CycleHeading* heading_ = nullptr;
};

}  // namespace zev7
