#include "ui/pie_slices.h"

#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QPen>
#include <QPieSeries>
#include <QPieSlice>

namespace zev7 {

void showPieCounts(QChart* chart, QPieSeries* pie, const QList<double>& counts, int decimals,
                   bool marks) {
    double total = 0.0;
    for (double v : counts) {
        total += v;
    }
    const QList<QPieSlice*> slices = pie->slices();
    for (int i = 0; i < slices.size(); ++i) {
        QPieSlice* slice = slices[i];
        const double v = counts.value(i);
        slice->setValue(v);
        slice->setLabel(total > 0 ? QString::number(100.0 * v / total, 'f', decimals) +
                                        QStringLiteral(" %")
                                  : QString());
        slice->setLabelVisible(marks && v > 0);
        slice->setPen(v > 0 ? QPen(Qt::black, 1) : QPen(Qt::NoPen));
    }
    // Without a count the chart keeps the angles of the last shares it could work out: the
    // slices are hidden instead, the legend still naming them.
    pie->setVisible(total > 0);
    if (chart != nullptr) {
        for (QLegendMarker* marker : chart->legend()->markers(pie)) {
            marker->setVisible(true);
        }
    }
}

}  // namespace zev7
