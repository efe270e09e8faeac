#include "ui/chart/pie_slices.h"

#include <QChart>
#include <QFontMetricsF>
#include <QLegend>
#include <QLegendMarker>
#include <QPen>
#include <QPieSeries>
#include <QPieSlice>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace zev7 {

namespace {
// A slice's own wish to show its mark, apart from whether it fits.
const char* const kMarkWanted = "zev7MarkWanted";
constexpr double kLeastPieSize = 0.3;
constexpr double kMostPieSize = 0.9;
constexpr double kLabelPadding = 4.0;
// Between a percentage and the edge of the chart's plot area, which cuts what crosses it.
constexpr double kLabelRoom = 20.0;
constexpr double kLegendSpacing = 14.0;  // beside each entry: its coloured square and gaps
constexpr double kLegendRowGap = 12.0;
constexpr double kMostLegendShare = 0.75;
constexpr double kColumnGap = 40.0;  // between columns of a legend, as the chart spaces them  // of
                                     // the chart's width, the rest for the pie
}  // namespace

QList<double> percentShares(const QList<double>& counts, int decimals) {
    const double total = std::accumulate(counts.begin(), counts.end(), 0.0);
    QList<double> shares(counts.size(), 0.0);
    if (total <= 0) {
        return shares;
    }
    // In units of the last decimal: 100 % is 10^(2 + decimals) units.
    const double scale = std::pow(10.0, decimals);
    const auto whole = static_cast<long long>(std::llround(100.0 * scale));
    QList<long long> units(counts.size());
    QList<int> order(counts.size());
    long long given = 0;
    for (int i = 0; i < counts.size(); ++i) {
        const double exact = std::max(0.0, counts[i]) * 100.0 * scale / total;
        units[i] = static_cast<long long>(std::floor(exact));
        given += units[i];
        order[i] = i;
    }
    const auto remainder = [&](int i) {
        return std::max(0.0, counts[i]) * 100.0 * scale / total - static_cast<double>(units[i]);
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return remainder(a) > remainder(b); });
    for (int k = 0; given < whole && k < order.size(); ++k) {
        if (counts[order[k]] > 0) {
            ++units[order[k]];
            ++given;
        }
    }
    for (int i = 0; i < counts.size(); ++i) {
        shares[i] = static_cast<double>(units[i]) / scale;
    }
    return shares;
}

const QList<QColor>& pieSliceColours(bool losses) {
    static const QList<QColor> calls = {QColor(0, 128, 0), QColor(255, 0, 0)};
    static const QList<QColor> lossColours = {
        QColor(255, 0, 0),   QColor(0, 128, 0), QColor(255, 255, 0),   QColor(0, 0, 255),
        QColor(0, 255, 255), QColor(255, 0, 0), QColor(192, 192, 192), QColor(255, 255, 255),
        QColor(0, 255, 0),   QColor(0, 0, 0),   QColor(255, 0, 255),   QColor(0, 0, 128),
        QColor(0, 0, 255)};
    return losses ? lossColours : calls;
}

void setPieRotation(QPieSeries* pie, int degrees) {
    pie->setPieStartAngle(degrees);
    pie->setPieEndAngle(degrees + 360);
}

void showPieCounts(QChart* chart, QPieSeries* pie, const QList<double>& counts, int decimals,
                   bool marks) {
    const QList<double> shares = percentShares(counts, decimals);
    const auto filled = std::count_if(counts.begin(), counts.end(), [](double v) { return v > 0; });
    const QList<QPieSlice*> slices = pie->slices();
    for (int i = 0; i < slices.size(); ++i) {
        QPieSlice* slice = slices[i];
        const double v = counts.value(i);
        slice->setValue(v);
        slice->setLabel(filled > 0
                            ? QString::number(shares.value(i), 'f', decimals) + QStringLiteral(" %")
                            : QString());
        const bool wanted = marks && v > 0;
        slice->setProperty(kMarkWanted, wanted);
        slice->setLabelVisible(wanted);
        slice->setPen(v > 0 && filled > 1 ? QPen(Qt::black, 1) : QPen(Qt::NoPen));
    }
    // Without a count the chart keeps the angles of the last shares it could work out: the
    // slices are hidden instead, the legend still naming them.
    pie->setVisible(filled > 0);
    if (chart != nullptr) {
        for (QLegendMarker* marker : chart->legend()->markers(pie)) {
            marker->setVisible(true);
        }
    }
    if (PieFit* fit = PieFit::of(pie)) {
        fit->refit();
    }
}

PieFit::PieFit(QChart* chart, QPieSeries* pie)
    : QObject(pie), chart_(chart), pie_(pie), margins_(chart->margins()) {
    connect(chart_, &QChart::geometryChanged, this, &PieFit::refit);
}

PieFit* PieFit::of(QPieSeries* pie) {
    return pie != nullptr ? pie->findChild<PieFit*>(QString(), Qt::FindDirectChildrenOnly)
                          : nullptr;
}

void PieFit::setAutoSize(bool automatic) {
    autoSize_ = automatic;
    refit();
}

void PieFit::refit() {
    if (fitting_ || chart_->size().isEmpty()) {
        return;
    }
    fitting_ = true;
    const QRectF whole(QPointF(0, 0), chart_->size());
    QMargins margins = margins_;
    QRectF area = whole.marginsRemoved(margins.toMarginsF());
    if (!chart_->title().isEmpty()) {
        area.setTop(area.top() + QFontMetricsF(chart_->titleFont()).height() + kLabelPadding);
    }

    // The legend is placed here rather than by the chart, which gives it at most 0.4 of the
    // width and cuts longer names ("Превышена длит. сигнала АО").
    QLegend* legend = chart_->legend();
    if (legend->isVisible()) {
        const QFontMetricsF fm(legend->font());
        double widest = 0;
        int rows = 0;
        double across = 0;
        for (QLegendMarker* marker : legend->markers()) {
            if (marker->isVisible()) {
                const double w =
                    fm.horizontalAdvance(marker->label()) + fm.height() + kLegendSpacing;
                widest = std::max(widest, w);
                across += w;
                ++rows;
            }
        }
        const double rowHeight = fm.height() + kLegendRowGap;
        legend->detachFromChart();
        if (legend->alignment() & (Qt::AlignLeft | Qt::AlignRight)) {
            // A window too low for every entry gets them in columns side by side.
            const int perColumn =
                std::max(1, static_cast<int>((area.height() - 2 * kLegendRowGap) / rowHeight));
            const int columns = (rows + perColumn - 1) / perColumn;
            const double width =
                std::min(columns * (widest + kLegendSpacing) + (columns - 1) * kColumnGap,
                         area.width() * kMostLegendShare);
            const double height =
                std::min(std::min(rows, perColumn) * rowHeight + 2 * kLegendRowGap, area.height());
            const double left =
                legend->alignment() & Qt::AlignLeft ? area.left() : area.right() - width;
            legend->setGeometry(QRectF(left, area.center().y() - height / 2, width, height));
            if (legend->alignment() & Qt::AlignLeft) {
                area.setLeft(area.left() + width);
                margins.setLeft(margins.left() + static_cast<int>(width));
            } else {
                area.setRight(area.right() - width);
                margins.setRight(margins.right() + static_cast<int>(width));
            }
        } else {
            // The chart's entries take somewhat more than their text and square: a margin
            // is left so that a line is never broken short of its room.
            const double needed = across * 1.25;
            const int lines = std::max(1, static_cast<int>(std::ceil(needed / area.width())));
            const double height = lines * rowHeight + 2 * kLegendRowGap;
            const double width = area.width();
            const double top =
                legend->alignment() & Qt::AlignBottom ? area.bottom() - height : area.top();
            legend->setGeometry(QRectF(area.center().x() - width / 2, top, width, height));
            if (legend->alignment() & Qt::AlignBottom) {
                area.setBottom(area.bottom() - height);
                margins.setBottom(margins.bottom() + static_cast<int>(height));
            } else {
                area.setTop(area.top() + height);
                margins.setTop(margins.top() + static_cast<int>(height));
            }
        }
        legend->update();
    }
    // The chart lays out the pie in what the legend leaves.
    if (chart_->margins() != margins) {
        chart_->setMargins(margins);
    }

    // The pie leaves room around it for the widest percentage at the end of its arm.
    const QList<QPieSlice*> slices = pie_->slices();
    double labelWidth = 0;
    double labelHeight = 0;
    double arm = 0.15;
    for (QPieSlice* s : slices) {
        if (s->property(kMarkWanted).toBool()) {
            const QFontMetricsF fm(s->labelFont());
            labelWidth = std::max(labelWidth, fm.horizontalAdvance(s->label()));
            labelHeight = std::max(labelHeight, fm.height());
            arm = s->labelArmLengthFactor();
        }
    }
    const double side = std::max(1.0, std::min(area.width(), area.height()));
    if (autoSize_) {
        double radius = side / 2 * kMostPieSize;
        if (labelWidth > 0) {
            radius = std::min((area.width() / 2 - labelWidth - kLabelRoom) / (1 + arm),
                              (area.height() / 2 - labelHeight - kLabelRoom) / (1 + arm));
        }
        pie_->setPieSize(std::clamp(2 * radius / side, kLeastPieSize, kMostPieSize));
    }

    // Marks where they fit: the larger shares first, each beside the end of its arm as the
    // chart draws it (to the right on the right half, to the left on the left half).
    const double reach = pie_->pieSize() * side / 2 * (1 + arm);
    const QPointF centre = area.center();
    QList<QPieSlice*> order = slices;
    std::stable_sort(order.begin(), order.end(),
                     [](QPieSlice* a, QPieSlice* b) { return a->value() > b->value(); });
    QList<QRectF> shown;
    for (QPieSlice* s : order) {
        bool visible = s->property(kMarkWanted).toBool();
        if (visible) {
            const double angle = qDegreesToRadians(s->startAngle() + s->angleSpan() / 2);
            const QPointF end = centre + QPointF(std::sin(angle), -std::cos(angle)) * reach;
            const QFontMetricsF fm(s->labelFont());
            const double w = fm.horizontalAdvance(s->label());
            const QRectF box(std::sin(angle) >= 0 ? end.x() : end.x() - w, end.y() - fm.height(), w,
                             fm.height());
            visible =
                area.marginsRemoved(QMarginsF(1, 1, 1, 1) * kLabelRoom / 2).contains(box) &&
                std::none_of(shown.begin(), shown.end(), [&](const QRectF& other) {
                    return other.intersects(box.adjusted(-kLabelPadding, -1, kLabelPadding, 1));
                });
            if (visible) {
                shown.append(box);
            }
        }
        s->setLabelVisible(visible);
    }
    fitting_ = false;
}

}  // namespace zev7
