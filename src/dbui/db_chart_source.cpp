#include "dbui/db_chart_source.h"

#include "core/count_text.h"
#include "core/strings.h"
#include "dbquery/cycle_header.h"
#include "dbui/cycle_heading.h"
#include "dbui/wait_cursor.h"
#include "scenario/user_messages.h"
#include "ui/chart/pie_slices.h"

namespace zev7 {

namespace {
constexpr QSize kWindowSize{640, 420};
constexpr double kPieLabelArm = 0.2;
constexpr int kMostIntervals = 20;
}  // namespace

DbChartSource::DbChartSource(int kind, QSqlDatabase db, UserMessages* messages, QObject* parent)
    : ChartSource(parent), kind_(kind), query_(std::move(db)), messages_(messages) {}

ChartShape DbChartSource::shape() const {
    return graphIsPie(kind_) ? ChartShape::Pie : ChartShape::Lines;
}

QString DbChartSource::seriesName() const {
    if (graphIsPie(kind_)) {
        return graphKindCaption(kind_);
    }
    return graphIsHistogram(kind_) ? txt(str::GraphDbDistribution) : graphSeriesTitle(kind_);
}

ChartLook DbChartSource::look() const {
    ChartLook look;
    look.chartName = QStringLiteral("DBChart1");
    look.clientSize = kWindowSize;
    look.backgroundKey = QStringLiteral("DBChart1_BackColor");
    look.plotAreaKey = QStringLiteral("DBChart1_Color");
    look.panelKey = QStringLiteral("Panel1_Color");
    look.panelFullWidth = true;
    look.pointsKey = QStringLiteral("DBChart1_MaxPointsPerPage");
    if (graphIsHistogram(kind_)) {
        look.leastPoints = 1;
        look.mostPoints = kMostIntervals;
    }
    return look;
}

PieSpec DbChartSource::pieSpec() const {
    PieSpec spec;
    spec.names = graphSliceLabels(kind_);
    spec.colours = pieSliceColours(kind_ == GraphCycleLossPie || kind_ == GraphSelectionLossPie);
    spec.labelArm = kPieLabelArm;
    spec.decimals = 1;
    spec.colourKey = QStringLiteral("AColor%1");
    spec.marksKey = QStringLiteral("MarkVis0");
    return spec;
}

PieCounts DbChartSource::pieCounts() const {
    // The legend names the outcomes with their counts.
    PieCounts now{data_.slices, {}};
    const QStringList labels = graphSliceLabels(kind_);
    for (int i = 0; i < labels.size(); ++i) {
        now.legend << labels[i].trimmed() + QStringLiteral("  ") + countText(data_.slices.value(i));
    }
    return now;
}

LineSpec DbChartSource::lineSpec() const {
    LineSpec spec;
    spec.name = seriesName();
    if (graphIsHistogram(kind_)) {
        spec.mode = LineMode::Histogram;
        spec.bottomTitle = graphLevelAxisTitle(graphLevel(kind_));
        spec.leftTitle = txt(str::GraphDbPercentAxis);
        return spec;
    }
    spec.mode = graphIsPerCall(kind_) ? LineMode::PerCall : LineMode::ByCycle;
    spec.bottomTitle =
        graphIsPerCall(kind_) ? txt(str::GraphCallsAxis) : txt(str::GraphDbCycleAxis);
    spec.levels = graphIsPerCall(kind_) || kind_ <= GraphLastMean;
    spec.leftTitle =
        spec.levels ? graphLevelAxisTitle(graphLevel(kind_)) : txt(str::GraphDbPercentAxis);
    spec.norm = !spec.levels;
    return spec;
}

QWidget* DbChartSource::takeTopPanel() {
    if (!graphFollowsCycle(kind_)) {
        return nullptr;
    }
    heading_ = new CycleHeading;
    heading_->setContentsMargins(4, 2, 4, 2);
    return heading_;
}

void DbChartSource::read(const GraphScope& scope, int intervals) {
    scope_ = scope;
    if (heading_ != nullptr) {
        heading_->display(scope.cycleId < 0 ? CycleHeader{}
                                            : readCycleHeader(query_.database(), scope.cycleId));
    }
    const WaitCursor wait;
    if (!query_.read(kind_, scope_, intervals, data_) && messages_ != nullptr) {
        messages_->error(txt(str::GraphDbFailed).arg(query_.lastError()));
    }
    lines_.points.clear();
    lines_.points.reserve(data_.points.size());
    for (const GraphPoint& p : data_.points) {
        lines_.points.append({p.x, p.y, p.label});
    }
    lines_.norms = data_.norms;
    lines_.measured = data_.measured;
    lines_.mean = data_.mean;
    lines_.low = data_.low;
    lines_.high = data_.high;
    lines_.highestBar = data_.highestBar();
    emit changed();
}

}  // namespace zev7
