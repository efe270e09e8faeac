#include "dbui/marked_cell_delegate.h"

#include <QPainter>

namespace zev7 {

namespace {
constexpr int kFrameWidth = 2;
}  // namespace

void MarkedCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    if (!(option.state & QStyle::State_Selected) || !index.data(Qt::BackgroundRole).isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem own(option);
    own.state &= ~QStyle::State_Selected;
    QStyledItemDelegate::paint(painter, own, index);
    painter->save();
    painter->setPen(QPen(option.palette.highlight(), kFrameWidth));
    painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
    painter->restore();
}

}  // namespace zev7
