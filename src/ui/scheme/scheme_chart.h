// The drawing of the scenario scheme: time across, one row per port down (port 1 on top), a bar
// per planned cycle execution with its label, the clashes red, the ports' legend on the right.
// The left button drags a bar of a free port's first run; the wheel zooms the time axis around
// the mouse (with Shift it scrolls); the keys + - Left Right Home do the same from the keyboard.
#pragma once

#include "scenario/scenario_scheme.h"

#include <QColor>
#include <QWidget>

namespace zev7 {

class SchemeChart : public QWidget {
    Q_OBJECT

public:
    static inline const QColor kFreeColour{0, 255, 0};
    static inline const QColor kBusyColour{0, 128, 0};
    static inline const QColor kEnumeratedColour{255, 255, 0};
    static inline const QColor kRepeatColour{255, 255, 255};
    static inline const QColor kClashColour{255, 0, 0};
    // The narrowest and widest time window the axis shows, in days.
    static constexpr double kMinVisibleDays = 5.0 / 1440.0;
    static constexpr double kMaxVisibleDays = 3660.0;

    explicit SchemeChart(ScenarioScheme& scheme, QWidget* parent = nullptr);

    const TimeSpan& visible() const { return visible_; }
    void setVisible(const TimeSpan& window);
    // The rows changed: the port axis follows them.
    void rowsChanged();
    // Zooms by `factor` (below 1 zooms in) keeping `anchor` where it is on the axis.
    void zoom(double factor, double anchor);
    // Scrolls by a fraction of the visible window (negative: back in time).
    void scroll(double fraction);

    static QColor colourOf(const SchemeRow& row, const SchemeBar& bar);
    // Geometry, for the mouse and for tests that drag with it.
    QRectF plotArea() const;
    double xOf(double time) const;
    double timeAt(double x) const;
    QRectF barRect(int row, int bar) const;
    int rowAt(double y) const;

signals:
    void visibleChanged();
    void cycleMoved(const zev7::CycleMove& move);
    // The user asked for the whole data range (Home).
    void wholeRangeRequested();
    void dragFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    double yOf(double axisValue) const;
    int legendWidth() const;
    void paintTimeAxis(QPainter& p, const QRectF& plot);
    void paintPortAxis(QPainter& p, const QRectF& plot);
    void paintBars(QPainter& p, const QRectF& plot);
    void paintLegend(QPainter& p, const QRectF& plot);

    ScenarioScheme& scheme_;
    TimeSpan visible_;
    double portAxisMax_ = 6.0;
};

}  // namespace zev7
