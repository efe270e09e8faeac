// The chart view of the program's chart windows: a left-button drag zooms into the drawn
// rectangle (while zooming is allowed), a right-button drag reports its path (the live pies turn
// with it, bar graphs scroll), a right click asks for the pop-up menu, a double click for the
// chart menu, and the wheel reports whole notches.
#pragma once

#include <QChartView>

namespace zev7 {

class ChartView : public QChartView {
    Q_OBJECT

public:
    explicit ChartView(QChart* chart, QWidget* parent = nullptr);

    // Zooming by the mouse is suspended while the chart menu is open.
    void setZoomAllowed(bool allowed);
    bool zoomAllowed() const { return zoomAllowed_; }

signals:
    void rightDragged(QPointF from, QPointF to);
    void rightClicked(QPoint globalPos);
    void doubleClicked(QPoint globalPos);
    // Wheel turns since the last event, in notches (forward positive).
    void wheelTurned(double notches);
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool zoomAllowed_ = true;
    bool rightDown_ = false;
    bool rightMoved_ = false;
    QPointF rightLast_;
};

}  // namespace zev7
