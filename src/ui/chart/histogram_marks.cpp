#include "ui/chart/histogram_marks.h"

#include <QAbstractAxis>
#include <QChart>
#include <QFontMetricsF>
#include <QPainter>
#include <QValueAxis>
#include <QXYSeries>
#include <algorithm>
#include <cmath>

namespace zev7 {

namespace {

constexpr double kGap = 2.0;       // between a mark and what it marks or stands beside
constexpr double kPointer = 14.0;  // from the mean line's end point to its box
constexpr double kPadX = 4.0;      // inside the mean's box
constexpr double kPadY = 1.0;

QString percentText(double percent) {
    return QString::number(percent, 'g', 12);
}

// The marks read like the axes' labels.
QColor textColour(const QChart* chart) {
    const QList<QAbstractAxis*> axes = chart->axes();
    return axes.isEmpty() ? QColor(Qt::black) : axes.first()->labelsColor();
}

}  // namespace

HistogramMarks::HistogramMarks(QChart* chart, QXYSeries* bars, QXYSeries* mean)
    : QGraphicsObject(chart), chart_(chart), bars_(bars), mean_(mean) {
    // Above the series and the grid; the legend stands outside the plot.
    setZValue(1000);
    // The marks are drawn here; the series keep their switch, font and colour for them.
    for (QXYSeries* s : {bars_, mean_}) {
        s->setPointLabelsColor(Qt::transparent);
        connect(s, &QXYSeries::pointLabelsVisibilityChanged, this, &HistogramMarks::layOut);
        connect(s, &QXYSeries::pointLabelsFontChanged, this, &HistogramMarks::layOut);
        connect(s, &QAbstractSeries::visibleChanged, this, &HistogramMarks::layOut);
    }
    connect(mean_, &QXYSeries::penChanged, this, [this] { update(); });
    connect(chart_, &QChart::plotAreaChanged, this, &HistogramMarks::layOut);
    for (QAbstractAxis* axis : chart_->axes()) {
        if (auto* values = qobject_cast<QValueAxis*>(axis)) {
            connect(values, &QValueAxis::rangeChanged, this, &HistogramMarks::layOut);
        }
    }
}

void HistogramMarks::show(const QList<HistogramBar>& bars, double mean, double meanTop) {
    data_ = bars;
    meanX_ = mean;
    meanTop_ = meanTop;
    layOut();
}

QRectF HistogramMarks::boundingRect() const {
    return chart_->rect();
}

void HistogramMarks::layOut() {
    prepareGeometryChange();
    barMarks_.clear();
    meanMark_ = {};
    meanBand_ = {};
    const QRectF plot = chart_->plotArea();
    if (!data_.isEmpty() && plot.isValid()) {
        placeMean(plot);
        placeBars(plot);
    }
    update();
}

void HistogramMarks::placeMean(const QRectF& plot) {
    if (!mean_->isVisible()) {
        return;
    }
    const QPointF top = chart_->mapToPosition(QPointF(meanX_, meanTop_), mean_);
    const QPointF foot = chart_->mapToPosition(QPointF(meanX_, 0.0), mean_);
    if (top.x() < plot.left() || top.x() > plot.right()) {
        return;  // scrolled out of sight
    }
    const double half = std::max(mean_->pen().widthF(), mean_->markerSize()) / 2.0;
    const double upper = std::max(top.y(), plot.top());
    meanBand_ = QRectF(QPointF(top.x() - half - kGap, upper - half),
                       QPointF(top.x() + half + kGap, std::min(foot.y(), plot.bottom())));
    if (!mean_->pointLabelsVisible()) {
        return;
    }
    const QString text = percentText(std::round(meanX_ * 100.0) / 100.0);
    const QFontMetricsF fm(mean_->pointLabelsFont());
    const QSizeF size(fm.horizontalAdvance(text) + 2 * kPadX, fm.height() + 2 * kPadY);
    // Beside the line's upper end, to the right where there is room, else to the left.
    QRectF box(QPointF(top.x() + half + kPointer, upper - size.height() / 2), size);
    if (box.right() > plot.right()) {
        box.moveRight(top.x() - half - kPointer);
    }
    if (box.top() < plot.top()) {
        box.moveTop(plot.top());
    }
    meanMark_ = {text, box};
    const bool right = box.left() > top.x();
    pointerFrom_ = QPointF(top.x() + (right ? half : -half), upper);
    pointerTo_ = QPointF(right ? box.left() : box.right(), box.center().y());
}

void HistogramMarks::placeBars(const QRectF& plot) {
    if (!bars_->isVisible() || !bars_->pointLabelsVisible()) {
        return;
    }
    const QFontMetricsF fm(bars_->pointLabelsFont());
    for (const HistogramBar& bar : data_) {
        if (bar.percent <= 0.0) {
            continue;  // an empty interval carries no mark
        }
        const QPointF left = chart_->mapToPosition(QPointF(bar.left, bar.percent), bars_);
        const QPointF right = chart_->mapToPosition(QPointF(bar.right, bar.percent), bars_);
        const double middle = (left.x() + right.x()) / 2.0;
        if (middle < plot.left() || middle > plot.right() || left.y() < plot.top() ||
            left.y() > plot.bottom()) {
            continue;
        }
        const QString text = percentText(bar.percent);
        QRectF box(0, 0, fm.horizontalAdvance(text), fm.height());
        box.moveBottom(left.y() - kGap);
        // Over the bar's middle; where the mean line crosses there, beside the line on the side
        // with room, as long as the mark still stands over its own bar.
        QList<double> centres{middle};
        if (meanBand_.isValid()) {
            centres << meanBand_.right() + box.width() / 2 << meanBand_.left() - box.width() / 2;
        }
        for (double c : centres) {
            box.moveCenter(QPointF(c, box.center().y()));
            if (c >= left.x() && c <= right.x() && isFree(box)) {
                barMarks_.append({text, box});
                break;
            }
        }
    }
}

bool HistogramMarks::isFree(const QRectF& box) const {
    if (box.top() < chart_->rect().top() || box.intersects(meanBand_) ||
        box.intersects(meanMark_.box)) {
        return false;
    }
    return std::none_of(barMarks_.begin(), barMarks_.end(), [&box](const Mark& m) {
        return m.box.adjusted(-kGap, 0, kGap, 0).intersects(box);
    });
}

void HistogramMarks::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    painter->save();
    painter->setFont(bars_->pointLabelsFont());
    painter->setPen(textColour(chart_));
    for (const Mark& m : barMarks_) {
        painter->drawText(m.box, Qt::AlignCenter, m.text);
    }
    if (!meanMark_.text.isEmpty()) {
        QPen line(mean_->pen().color());
        line.setWidthF(1.0);
        painter->setPen(line);
        painter->drawLine(pointerFrom_, pointerTo_);
        painter->setBrush(Qt::white);
        painter->drawRect(meanMark_.box);
        painter->setFont(mean_->pointLabelsFont());
        painter->setPen(textColour(chart_));
        painter->drawText(meanMark_.box, Qt::AlignCenter, meanMark_.text);
    }
    painter->restore();
}

}  // namespace zev7
