#include "dbui/check_list.h"

#include <QListWidget>
#include <QSignalBlocker>

namespace zev7 {

void fillCheckList(QListWidget* list, const QList<CheckEntry>& entries) {
    const QSignalBlocker quiet(list);
    list->clear();
    for (const CheckEntry& e : entries) {
        auto* item = new QListWidgetItem(e.text, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(e.ticked ? Qt::Checked : Qt::Unchecked);
    }
}

void setChecks(QListWidget* list, const QList<bool>& ticks) {
    const QSignalBlocker quiet(list);
    for (int i = 0; i < ticks.size() && i < list->count(); ++i) {
        list->item(i)->setCheckState(ticks[i] ? Qt::Checked : Qt::Unchecked);
    }
}

bool isTicked(const QListWidgetItem* item) {
    return item != nullptr && item->checkState() == Qt::Checked;
}

}  // namespace zev7
