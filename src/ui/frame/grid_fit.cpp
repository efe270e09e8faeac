#include "ui/frame/grid_fit.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QTableView>
#include <algorithm>

namespace zev7 {

namespace {
constexpr int kHeaderLinesMargin = 3;
constexpr int kWholeCellsMargin = 15;
constexpr int kGridLineWidth = 1;
}  // namespace

void FitGridColumn(QTableView* grid, int column, GridFit form) {
    const QAbstractItemModel* model = grid->model();
    if (model == nullptr || column < 0 || column >= model->columnCount()) {
        return;
    }
    const QFontMetrics metrics(grid->font());
    const auto widthOf = [&metrics, form](const QString& text) {
        if (form == GridFit::WholeCells) {
            return metrics.horizontalAdvance(text);
        }
        int widest = 0;
        for (const QString& line : text.split(u'\n')) {
            widest = std::max(widest, metrics.horizontalAdvance(line));
        }
        return widest;
    };
    int widest = grid->horizontalHeader()->defaultSectionSize();
    widest = std::max(widest, widthOf(model->headerData(column, Qt::Horizontal).toString()));
    for (int row = 0; row < model->rowCount(); ++row) {
        const QString text = model->data(model->index(row, column)).toString();
        // Body cells are single lines in either form; only the header's lines are split.
        widest = std::max(widest, metrics.horizontalAdvance(text));
    }
    const int margin = form == GridFit::HeaderLines ? kHeaderLinesMargin : kWholeCellsMargin;
    grid->setColumnWidth(column, widest + 2 * kGridLineWidth + margin);
}

}  // namespace zev7
