// The outcome counts on a pie's slices, as the live graphs and the database graphs show them:
// each slice its count, its share in percent as its mark, and a dark edge only where it has a
// share and shares the pie (an empty slice's edge, or the edge of a slice that is the whole pie,
// would be a lone radius across it).
#pragma once

#include <QColor>
#include <QList>
#include <QMargins>
#include <QObject>

class QChart;
class QPieSeries;

namespace zev7 {

// The slice colours a pie starts with: the two of the call pie or the 13 of the loss pie.
const QList<QColor>& pieSliceColours(bool losses);

// Where a pie's first slice starts, in degrees clockwise from the top.
inline constexpr int kPieRotation = 90;
// Turns the whole pie to start at `degrees`.
void setPieRotation(QPieSeries* pie, int degrees);

// The shares of the counts in percent, rounded to `decimals` decimals so that they add up to
// exactly 100: the largest remainders get the last units (three equal thirds read 33, 33 and
// 34 %, never 101 % in all). All counts 0: all shares 0.
QList<double> percentShares(const QList<double>& counts, int decimals);

// `decimals` of the percentages; `marks` false hides every mark. A pie whose counts are all 0
// (a cycle without a loss, a cycle before its first call) is drawn empty, its legend kept:
// the chart would otherwise go on drawing the last shares it had.
void showPieCounts(QChart* chart, QPieSeries* pie, const QList<double>& counts, int decimals,
                   bool marks = true);

// Keeps a pie chart readable at any size: the legend beside (or above) the pie as wide as its
// longest entry, the pie in automatic size as large as leaves its percentages room, and only
// the percentages that overlap no other shown and lie inside the chart. Lives with the pie.
class PieFit : public QObject {
    Q_OBJECT

public:
    PieFit(QChart* chart, QPieSeries* pie);

    // The pie's size is the user's (a radius set by the arrow keys): only labels and legend
    // are fitted.
    void setAutoSize(bool automatic);
    // After the counts, the legend's texts, the size or the rotation changed.
    void refit();

    static PieFit* of(QPieSeries* pie);

private:
    QChart* chart_;
    QPieSeries* pie_;
    QMargins margins_;  // the chart's own, around the legend and the pie
    bool autoSize_ = true;
    bool fitting_ = false;
};

}  // namespace zev7
