#include "ui/chart/tform_graphic.h"

#include "core/strings.h"
#include "ui/chart/bar_plot.h"

namespace zev7 {

TForm_Graphic::TForm_Graphic(int port, int kind, const QString& title, PortGraphData& data,
                             UserMessages& messages, IniFile* ini, QWidget* parent)
    : ChartWindow(
          std::make_unique<PortChartSource>(port, kind, data),
          txt(str::PortCaptionPrefix) + QString::number(port) + QStringLiteral("  ") + title,
          kHelpContext, ini, &messages, parent) {
    setObjectName(QStringLiteral("Form_Graphic%1_%2").arg(port).arg(this->kind()));
}

const GraphAxisSettings& TForm_Graphic::axisSettings() const {
    static const GraphAxisSettings none;
    const auto* bars = qobject_cast<const BarPlot*>(plot());
    return bars != nullptr ? bars->axisSettings() : none;
}

int TForm_Graphic::shownBars() const {
    const auto* bars = qobject_cast<const BarPlot*>(plot());
    return bars != nullptr ? bars->shownBars() : 0;
}

}  // namespace zev7
