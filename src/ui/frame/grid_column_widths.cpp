#include "ui/frame/grid_column_widths.h"

#include "core/ini_file.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>

namespace zev7 {

GridColumnWidths::GridColumnWidths(QTableView* grid, QString key)
    : QObject(grid), grid_(grid), key_(std::move(key)) {
    connect(grid_->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) {
                if (!applying_) {
                    remember(column, width);
                }
            });
    if (QAbstractItemModel* model = grid_->model()) {
        // The header forgets its sizes on a reset and reports its defaults meanwhile.
        connect(model, &QAbstractItemModel::modelAboutToBeReset, this,
                [this] { applying_ = true; });
        connect(model, &QAbstractItemModel::modelReset, this, &GridColumnWidths::apply);
    }
}

QString GridColumnWidths::keyOf(int column) const {
    const QString name = QStringLiteral("Column%1").arg(column);
    return key_.isEmpty() ? name : key_ + QLatin1Char('.') + name;
}

void GridColumnWidths::remember(int column, int width) {
    if (column < 0) {
        return;
    }
    if (widths_.size() <= column) {
        widths_.resize(column + 1, 0);
    }
    widths_[column] = width;
}

void GridColumnWidths::read(const IniFile& ini, const QString& section) {
    const int columns = grid_->horizontalHeader()->count();
    widths_.fill(0, columns);
    for (int c = 0; c < columns; ++c) {
        const int w = ini.readInt(section, keyOf(c), 0);
        widths_[c] = (w >= kMinWidth && w <= kMaxWidth) ? w : 0;
    }
    apply();
}

void GridColumnWidths::write(IniFile& ini, const QString& section) const {
    const QHeaderView* header = grid_->horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        ini.writeInt(section, keyOf(c), header->sectionSize(c));
    }
}

void GridColumnWidths::setDefaults(const QList<int>& widths) {
    defaults_ = widths;
    apply();
}

bool GridColumnWidths::hasWidths() const {
    return std::any_of(widths_.begin(), widths_.end(), [](int w) { return w > 0; });
}

void GridColumnWidths::apply() {
    applying_ = true;
    QHeaderView* header = grid_->horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        const int w = widths_.value(c) > 0 ? widths_.value(c) : defaults_.value(c);
        if (w > 0) {
            header->resizeSection(c, w);
        }
    }
    applying_ = false;
}

}  // namespace zev7
