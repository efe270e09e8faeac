// The main window's chart toolbar acts on the active chart window through this interface; the
// commands are in the toolbar's order.
#pragma once

#include "ui/chart/chart_axes.h"

namespace zev7 {

enum class ChartZoom {
    Restore,  // back to the whole range
    In,       // to 120 %
    Out,      // to 80 %
    InY,      // 10 % of the height off each end
    OutY,
    InX,  // 10 % of the width off each end
    OutX,
    Up,  // the view 10 % of the height up
    Down,
    Left,  // the view 10 % of the width left
    Right,
};
inline constexpr int kChartZoomCommands = 11;

// The window of one axis after a command; `vertical` tells the left axis from the bottom one.
// Restore leaves it as it is (the window knows its own whole range).
AxisWindow zoomWindow(AxisWindow w, ChartZoom command, bool vertical);
// A command on the two value axes of a graph: the bottom one across, the left one up.
void zoomAxes(QValueAxis* bottom, QValueAxis* left, ChartZoom command);

class ChartZoomTarget {
public:
    virtual ~ChartZoomTarget() = default;
    // Whether the toolbar applies to this window now (a pie has nothing to zoom).
    virtual bool zoomApplies() const = 0;
    virtual void zoomChart(ChartZoom command) = 0;
};

}  // namespace zev7
