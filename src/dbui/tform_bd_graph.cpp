#include "dbui/tform_bd_graph.h"

#include "ui/chart/line_plot.h"

namespace zev7 {

QString TFormBD_Graph::windowName(int kind) {
    return QStringLiteral("TFormBD_Graph%1").arg(kind);
}

TFormBD_Graph::TFormBD_Graph(int kind, QSqlDatabase db, IniFile* ini, UserMessages* messages,
                             QWidget* parent)
    : ChartWindow(std::make_unique<DbChartSource>(kind, std::move(db), messages),
                  graphKindCaption(kind), kHelpContext, ini, messages, parent) {
    setObjectName(windowName(kind));
}

void TFormBD_Graph::redraw(const GraphScope& scope) {
    dbSource().read(scope, pointsPerPage());
}

LinePlot* TFormBD_Graph::lines() const {
    return qobject_cast<LinePlot*>(plot());
}

QStringList TFormBD_Graph::bottomLabels() const {
    return lines() != nullptr ? lines()->bottomLabels() : QStringList{};
}

QLineSeries* TFormBD_Graph::meanLine() const {
    return lines() != nullptr ? lines()->meanLine() : nullptr;
}

QLineSeries* TFormBD_Graph::normLine() const {
    return lines() != nullptr ? lines()->normLine() : nullptr;
}

HistogramMarks* TFormBD_Graph::histogramMarks() const {
    return lines() != nullptr ? lines()->histogramMarks() : nullptr;
}

}  // namespace zev7
