// The outcome counts on a pie's slices, as the live graphs and the database graphs show them:
// each slice its count, its share in percent as its mark, and a dark edge only where it has a
// share (an empty slice's edge would be a lone radius across the pie).
#pragma once

#include <QList>

class QChart;
class QPieSeries;

namespace zev7 {

// `decimals` of the percentages; `marks` false hides every mark. A pie whose counts are all 0
// (a cycle without a loss, a cycle before its first call) is drawn empty, its legend kept:
// the chart would otherwise go on drawing the last shares it had.
void showPieCounts(QChart* chart, QPieSeries* pie, const QList<double>& counts, int decimals,
                   bool marks = true);

}  // namespace zev7
