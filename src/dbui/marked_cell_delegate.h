// Paints a grid cell that carries its own colour (a loss above its norm in red, a cycle taken
// out of the totals in grey) in that colour also on the current row, which is then marked by a
// frame: otherwise the engineer would not see the red or the grey of the row being looked at.
#pragma once

#include <QStyledItemDelegate>

namespace zev7 {

class MarkedCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace zev7
