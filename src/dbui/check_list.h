// The tick lists of the database windows: a list widget whose items carry a check box.
#pragma once

#include <QList>
#include <QString>

class QListWidget;
class QListWidgetItem;

namespace zev7 {

struct CheckEntry {
    QString text;
    bool ticked = true;
};

// Replaces the items without reporting item changes.
void fillCheckList(QListWidget* list, const QList<CheckEntry>& entries);
// Sets the ticks row by row without reporting item changes.
void setChecks(QListWidget* list, const QList<bool>& ticks);
bool isTicked(const QListWidgetItem* item);

}  // namespace zev7
