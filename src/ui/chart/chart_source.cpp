#include "ui/chart/chart_source.h"

namespace zev7 {

const std::vector<QPointF>& ChartSource::bars() const {
    static const std::vector<QPointF> none;
    return none;
}

const LineData& ChartSource::lineData() const {
    static const LineData none;
    return none;
}

}  // namespace zev7
