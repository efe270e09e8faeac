#include "ui/model/port_graph_data.h"

namespace zev7 {

void PortGraphData::cycleStarted(const CycleStartInfo& info) {
    pies_ = {};
    for (auto& bars : bars_) {
        bars.clear();
    }
    outNumber_ = info.outNumberText;
    cycleStart_ = info.startText;
    inNumber_ = info.inNumberText;
    changedNow();
}

void PortGraphData::callAccounted(const CallRefresh& refresh) {
    pies_ = refresh.pies;
    const double x = refresh.callNumber;
    const std::optional<double> values[] = {
        refresh.points.attenuation, refresh.points.dialToneLevel, refresh.points.ringbackLevel};
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        if (values[i]) {
            bars_[i].emplace_back(x, *values[i]);
        }
    }
    changedNow();
}

void PortGraphData::changedNow() {
    if (held_) {
        unannounced_ = true;
    } else {
        emit changed();
    }
}

void PortGraphData::announce() {
    if (unannounced_) {
        unannounced_ = false;
        emit changed();
    }
}

const std::vector<QPointF>& PortGraphData::bars(int kind) const {
    static const std::vector<QPointF> none;
    if (kind < AttenuationBars || kind > RingbackBars) {
        return none;
    }
    return bars_[static_cast<std::size_t>(kind - AttenuationBars)];
}

}  // namespace zev7
