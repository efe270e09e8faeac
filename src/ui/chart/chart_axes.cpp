#include "ui/chart/chart_axes.h"

#include "ui/chart/chart_zoom.h"

#include <QChart>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace zev7 {

namespace {

constexpr char kIncrementProperty[] = "zev7Increment";
constexpr char kPointsProperty[] = "zev7PointsPerPage";
// The labels of an axis stay readable: at most about this many ticks.
constexpr double kMostTicks = 12.0;

// A multiple 1, 2, 5, 10, 20 ... of the increment that leaves room for the labels.
double labelInterval(double increment, double span) {
    if (increment <= 0.0 || span <= 0.0) {
        return 1.0;
    }
    double step = increment;
    for (int i = 0; span / step > kMostTicks && i < 60; ++i) {
        const double factor = (i % 3 == 1) ? 2.5 : 2.0;  // 1, 2, 5, 10, 20, 50 ...
        step *= factor;
    }
    return step;
}

}  // namespace

AxisWindow limitAxisWindow(AxisWindow w, double lo, double hi, double increment, bool bounded) {
    const double least = kMinimumIncrements * increment;
    if (bounded && w.max > hi) {
        w.max = hi;
    }
    if (w.max < lo + least) {
        w.max = lo + least;
    }
    if (w.min < lo) {
        w.min = lo;
    }
    if (bounded && w.min > hi - least) {
        w.min = hi - least;
    }
    return w;
}

AxisWindow keepMinimumWindow(AxisWindow now, AxisWindow before, double unit) {
    const double least = kMinimumIncrements * unit;
    // A hair's breadth below the least window is rounding, not a zoom.
    if (unit <= 0.0 || now.span() >= least - 1e-9 * least) {
        return now;
    }
    const bool minUp = now.min > before.min;
    const bool maxUp = now.max > before.max;
    const bool minDown = now.min < before.min;
    const bool maxDown = now.max < before.max;
    if ((minUp && maxUp) || (minDown && maxDown)) {
        return {now.max - least, now.max};
    }
    return before;
}

BarPages barPages(int count, double firstX, AxisWindow shown) {
    const double width = shown.span();
    if (count <= 0 || width <= 0.0 || count <= width) {
        return {1, 1};
    }
    BarPages p;
    p.pages = static_cast<int>(std::ceil(count / width));
    if (shown.min < firstX) {
        p.page = 1;
    } else {
        p.page = static_cast<int>(p.pages * (shown.min + 0.5) / count + 1.0);
    }
    p.page = std::clamp(p.page, 1, p.pages);
    return p;
}

AxisWindow pageWindow(int page, double width, double firstX) {
    const double x0 = firstX > 1.0 ? firstX : 0.5;
    return {width * (page - 1) + x0, width * page + x0};
}

QValueAxis* chartAxis(const QChart* chart, Qt::Alignment side) {
    if (chart == nullptr) {
        return nullptr;
    }
    for (QAbstractAxis* axis : chart->axes()) {
        auto* value = qobject_cast<QValueAxis*>(axis);
        if (value != nullptr && value->isVisible() && value->alignment() == side) {
            return value;
        }
    }
    return nullptr;
}

AxisWindow axisWindow(const QValueAxis* axis) {
    return {axis->min(), axis->max()};
}

double axisIncrement(const QValueAxis* axis) {
    const double stored = axis->property(kIncrementProperty).toDouble();
    return stored > 0.0 ? stored : 1.0;
}

void setAxisWindow(QValueAxis* axis, AxisWindow w) {
    if (w.max <= w.min) {
        w.max = w.min + axisIncrement(axis);
    }
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0.0);
    axis->setTickInterval(labelInterval(axisIncrement(axis), w.span()));
    axis->setRange(w.min, w.max);
}

void SetAxisRange(QValueAxis* axis, double increment, double minimum, double maximum) {
    axis->setProperty(kIncrementProperty, increment > 0.0 ? increment : 1.0);
    setAxisWindow(axis, {minimum, maximum});
}

ChartWindows chartWindows(const QChart* chart) {
    ChartWindows w;
    if (QValueAxis* a = chartAxis(chart, Qt::AlignBottom)) {
        w.bottom = axisWindow(a);
    }
    if (QValueAxis* a = chartAxis(chart, Qt::AlignRight)) {
        w.right = axisWindow(a);
    }
    if (QValueAxis* a = chartAxis(chart, Qt::AlignLeft)) {
        w.left = axisWindow(a);
    }
    return w;
}

void LimitAxes(QChart* chart, double a, double b, double c, double d, double e, double f) {
    const auto limit = [chart](Qt::Alignment side, double lo, double hi, bool bounded) {
        if (QValueAxis* axis = chartAxis(chart, side)) {
            const AxisWindow w =
                limitAxisWindow(axisWindow(axis), lo, hi, axisIncrement(axis), bounded);
            if (!(w == axisWindow(axis))) {
                setAxisWindow(axis, w);
            }
        }
    };
    limit(Qt::AlignBottom, a, b, a != b);
    if (c != d) {
        limit(Qt::AlignRight, c, d, true);
    }
    limit(Qt::AlignLeft, e, f, true);
}

void KeepMinimumWindow(QChart* chart, const ChartWindows& before, double bottomUnit,
                       double rightUnit, double leftUnit) {
    const auto keep = [chart](Qt::Alignment side, const std::optional<AxisWindow>& was,
                              double unit) {
        QValueAxis* axis = chartAxis(chart, side);
        if (axis == nullptr || !was) {
            return;
        }
        const AxisWindow w = keepMinimumWindow(axisWindow(axis), *was, unit);
        if (!(w == axisWindow(axis))) {
            setAxisWindow(axis, w);
        }
    };
    keep(Qt::AlignBottom, before.bottom, bottomUnit);
    keep(Qt::AlignRight, before.right, rightUnit);
    keep(Qt::AlignLeft, before.left, leftUnit);
}

int chartPointsPerPage(const QChart* chart) {
    const int points = chart->property(kPointsProperty).toInt();
    return points > 0 ? points : kDefaultPointsPerPage;
}

void setChartPointsPerPage(QChart* chart, int points) {
    chart->setProperty(kPointsProperty, points);
}

AxisWindow zoomWindow(AxisWindow w, ChartZoom command, bool vertical) {
    constexpr double kStep = 0.1;
    constexpr double kZoomIn = 1.2;
    constexpr double kZoomOut = 0.8;
    const double span = w.span();
    const double centre = (w.min + w.max) / 2.0;
    const auto scaled = [&](double factor) {
        return AxisWindow{centre - span / factor / 2.0, centre + span / factor / 2.0};
    };
    const auto widened = [&](double by) { return AxisWindow{w.min - by, w.max + by}; };
    const auto moved = [&](double by) { return AxisWindow{w.min + by, w.max + by}; };
    switch (command) {
        case ChartZoom::Restore:
            return w;
        case ChartZoom::In:
            return scaled(kZoomIn);
        case ChartZoom::Out:
            return scaled(kZoomOut);
        case ChartZoom::InY:
            return vertical ? widened(-kStep * span) : w;
        case ChartZoom::OutY:
            return vertical ? widened(kStep * span) : w;
        case ChartZoom::InX:
            return vertical ? w : widened(-kStep * span);
        case ChartZoom::OutX:
            return vertical ? w : widened(kStep * span);
        case ChartZoom::Up:
            return vertical ? moved(kStep * span) : w;
        case ChartZoom::Down:
            return vertical ? moved(-kStep * span) : w;
        case ChartZoom::Left:
            return vertical ? w : moved(-kStep * span);
        case ChartZoom::Right:
            return vertical ? w : moved(kStep * span);
    }
    return w;
}

void zoomAxes(QValueAxis* bottom, QValueAxis* left, ChartZoom command) {
    setAxisWindow(bottom, zoomWindow(axisWindow(bottom), command, false));
    setAxisWindow(left, zoomWindow(axisWindow(left), command, true));
}

}  // namespace zev7
