// What a port's live graph shows: one of the two pies of the running cycle's outcomes or one of
// the three bar graphs with a bar per test call, from what the port window keeps
// (PortGraphData), with the status rows of the numbers dialled and the cycle's start above and
// below. Redraws come with the port's run model's repaints, at most every 40 ms.
#pragma once

#include "ui/chart/chart_source.h"
#include "ui/model/port_graph_data.h"

#include <QPointer>

namespace zev7 {

class PanelBar;

class PortChartSource : public ChartSource {
    Q_OBJECT

public:
    PortChartSource(int port, int kind, PortGraphData& data, QObject* parent = nullptr);

    int port() const { return port_; }

    ChartShape shape() const override;
    int kind() const override { return kind_; }
    ChartOwner owner() const override { return ChartOwner::LiveGraph; }
    QString seriesName() const override;
    ChartLook look() const override;
    int repaintDelayMs() const override;
    PieSpec pieSpec() const override;
    PieCounts pieCounts() const override;
    BarSpec barSpec() const override;
    const std::vector<QPointF>& bars() const override;
    QWidget* takeTopPanel() override;
    QWidget* takeBottomPanel() override;
    void updatePanels() override;

private:
    const int port_;
    const int kind_;
    QPointer<PortGraphData> data_;  // the port window's; the chart window closes when it goes
    PanelBar* bar3_ = nullptr;
    PanelBar* bar1_ = nullptr;
};

// The window's title for a graph kind: "Диаграмма вызовов" .. "Уровень СКПВ".
QString graphTitle(int kind);
// The window's caption: "Порт:3  Затухание".
QString graphCaption(int port, int kind);

}  // namespace zev7
