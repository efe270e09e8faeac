// The value marks of a histogram: each interval's percentage over the middle of its bar, and the
// mean's value in a box beside the top of the mean line, joined to the line by a pointer. The
// chart's own point labels would stand on the line's end point and under the line itself; these
// are laid out so that none covers another, the mean line or its box, and a mark that finds no
// free place is left out rather than drawn over something.
#pragma once

#include <QGraphicsObject>
#include <QList>
#include <QRectF>
#include <QString>

class QChart;
class QXYSeries;

namespace zev7 {

struct HistogramBar {
    double left = 0.0;
    double right = 0.0;
    double percent = 0.0;  // as drawn, to hundredths
};

class HistogramMarks : public QGraphicsObject {
    Q_OBJECT

public:
    // `bars` carries the percentages' switch and font, `mean` the mean's; both keep their own
    // point labels hidden from now on.
    HistogramMarks(QChart* chart, QXYSeries* bars, QXYSeries* mean);

    // The intervals and the mean of the drawn histogram; no bars: nothing to mark.
    void show(const QList<HistogramBar>& bars, double mean, double meanTop);

    struct Mark {
        QString text;
        QRectF box;  // in the chart's coordinates
    };
    // What is drawn now: the bars' marks that fit, and the mean's box (empty text when hidden).
    const QList<Mark>& barMarks() const { return barMarks_; }
    const Mark& meanMark() const { return meanMark_; }
    // The band the mean line covers, in the chart's coordinates.
    QRectF meanBand() const { return meanBand_; }

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    void layOut();
    void placeMean(const QRectF& plot);
    void placeBars(const QRectF& plot);
    bool isFree(const QRectF& box) const;

    QChart* chart_;
    QXYSeries* bars_;
    QXYSeries* mean_;
    QList<HistogramBar> data_;
    double meanX_ = 0.0;
    double meanTop_ = 0.0;

    QList<Mark> barMarks_;
    Mark meanMark_;
    QRectF meanBand_;
    QPointF pointerFrom_;
    QPointF pointerTo_;
};

}  // namespace zev7
