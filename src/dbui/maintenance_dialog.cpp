#include "dbui/maintenance_dialog.h"

#include <QCloseEvent>

namespace zev7 {

void MaintenanceDialog::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void MaintenanceDialog::reject() {
    if (!running_) {
        QDialog::reject();
    }
}

}  // namespace zev7
