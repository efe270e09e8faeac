#include "ui/chart/port_chart_source.h"

#include "core/strings.h"
#include "scenario/result_code.h"
#include "ui/chart/pie_slices.h"
#include "ui/frame/panel_bar.h"
#include "ui/model/port_run_model.h"

#include <algorithm>

namespace zev7 {

namespace {

constexpr QSize kChartSize{600, 400};

QStringList sliceNames(int kind) {
    if (kind == CallsPie) {
        return {txt(str::GraphAllSuccesses), txt(str::GraphAllLosses)};
    }
    QStringList names;
    for (ResultCode outcome : kLossOutcomes) {
        names << resultCodeText(outcome);
    }
    return names;
}

}  // namespace

QString graphTitle(int kind) {
    static const char* const kTitles[] = {str::GraphCalls, str::GraphLosses, str::GraphAttenuation,
                                          str::GraphDialTone, str::GraphRingback};
    return txt(kTitles[std::clamp(kind, 0, kGraphKinds - 1)]);
}

QString graphCaption(int port, int kind) {
    return txt(str::PortCaptionPrefix) + QString::number(port) + QStringLiteral("  ") +
           graphTitle(kind);
}

PortChartSource::PortChartSource(int port, int kind, PortGraphData& data, QObject* parent)
    : ChartSource(parent), port_(port), kind_(std::clamp(kind, 0, kGraphKinds - 1)), data_(&data) {
    connect(&data, &PortGraphData::changed, this, &ChartSource::changed);
    connect(&data, &QObject::destroyed, this, &ChartSource::gone);
}

int PortChartSource::repaintDelayMs() const {
    // A run model's repaint announces the data, and that is drawn at once; data nobody announces
    // is drawn as often as a run model would.
    return data_ != nullptr && data_->announcementsHeld() ? 0 : PortRunModel::kRepaintIntervalMs;
}

ChartShape PortChartSource::shape() const {
    return kind_ < AttenuationBars ? ChartShape::Pie : ChartShape::Bars;
}

QString PortChartSource::seriesName() const {
    return graphTitle(kind_);
}

ChartLook PortChartSource::look() const {
    ChartLook look;
    look.chartName = QStringLiteral("Chart2");
    look.clientSize = kChartSize;
    look.sizeAddsPanels = true;
    look.backgroundKey = QStringLiteral("ParamColor.Back");
    if (shape() == ChartShape::Bars) {
        look.pointsKey = QStringLiteral("CountPoint");
    }
    return look;
}

PieSpec PortChartSource::pieSpec() const {
    PieSpec spec;
    spec.names = sliceNames(kind_);
    spec.colours = pieSliceColours(kind_ != CallsPie);
    spec.legend = kind_ == CallsPie ? Qt::AlignTop : Qt::AlignRight;
    spec.shapedByUser = true;
    spec.colourKey = kind_ == CallsPie ? QStringLiteral("DiagConnectColor%1")
                                       : QStringLiteral("DiagNoConnectColor%1");
    spec.firstColourKey = 1;
    return spec;
}

PieCounts PortChartSource::pieCounts() const {
    PieCounts now;
    now.legend = sliceNames(kind_);
    if (data_ == nullptr) {
        return now;
    }
    const PieValues& pies = data_->pies();
    if (kind_ == CallsPie) {
        now.counts = {static_cast<double>(pies.calls[0]), static_cast<double>(pies.calls[1])};
    } else {
        for (int v : pies.losses) {
            now.counts.append(v);
        }
    }
    return now;
}

BarSpec PortChartSource::barSpec() const {
    if (kind_ == AttenuationBars) {
        return {txt(str::GraphDbAxis), {50.0, -50.0, 0.2, 30.0, 0.0}};
    }
    return {graphTitle(kind_) + u',' + txt(str::GraphDbmAxis), {10.0, -50.0, 0.2, 0.0, -40.0}};
}

const std::vector<QPointF>& PortChartSource::bars() const {
    return data_ != nullptr && shape() == ChartShape::Bars ? data_->bars(kind_)
                                                           : ChartSource::bars();
}

QWidget* PortChartSource::takeTopPanel() {
    bar3_ = new PanelBar({40, 220, 110, 0});
    bar3_->setObjectName(QStringLiteral("StatusBar3"));
    bar3_->setText(0, txt(str::BarOut));
    bar3_->setHint(1, txt(str::HintResOutNumber));
    bar3_->setHint(2, txt(str::HintResCycleStart));
    return bar3_;
}

QWidget* PortChartSource::takeBottomPanel() {
    bar1_ = new PanelBar({40, 220, 0});
    bar1_->setObjectName(QStringLiteral("StatusBar1"));
    bar1_->setText(0, txt(str::BarIn));
    bar1_->setHint(1, txt(str::HintResInNumber));
    return bar1_;
}

void PortChartSource::updatePanels() {
    if (data_ == nullptr || bar3_ == nullptr || bar1_ == nullptr) {
        return;
    }
    const QString out = data_->outNumberText();
    const QString start = data_->cycleStartText();
    const QString in = data_->inNumberText();
    bar3_->setText(1, out.isEmpty() ? txt(str::EmptyNumberText) : out);
    bar3_->setText(2, start.isEmpty() ? txt(str::EmptyCycleStart) : start);
    bar1_->setText(1, in.isEmpty() ? txt(str::EmptyNumberText) : in);
}

}  // namespace zev7
