// TForm_Graphic, a live graph window of a port: the chart window over the port's graph data,
// one of the two pies of the running cycle's outcomes or one of the three bar graphs with a bar
// per test call (attenuation, dial-tone level, ringback level). Its look is kept in "ZEV7.ini"
// under its caption ("Порт:3  Затухание").
#pragma once

#include "ui/chart/chart_window.h"
#include "ui/chart/port_chart_source.h"
#include "ui/model/port_graph_data.h"

namespace zev7 {

class UserMessages;

class TForm_Graphic : public ChartWindow {
    Q_OBJECT

public:
    static constexpr int kHelpContext = 36;

    TForm_Graphic(int port, int kind, const QString& title, PortGraphData& data,
                  UserMessages& messages, IniFile* ini, QWidget* parent = nullptr);

    int port() const { return portSource().port(); }
    int kind() const { return portSource().kind(); }
    QAbstractSeries* series() const { return mainSeries(); }
    // The bar graphs' left axis settings (all 0 for a pie).
    const GraphAxisSettings& axisSettings() const;
    // The bars on the chart now (only those of the visible window are handed to the chart).
    int shownBars() const;

private:
    const PortChartSource& portSource() const {
        return static_cast<const PortChartSource&>(source());
    }
};

}  // namespace zev7
