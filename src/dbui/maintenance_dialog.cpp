#include "dbui/maintenance_dialog.h"

#include "core/port_run_marker.h"
#include "core/strings.h"
#include "scenario/user_messages.h"
#include "ui/frame/help_window.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace zev7 {

bool portsIdleForMaintenance(UserMessages& messages) {
    if (PortRunMarker::runningPorts().isEmpty()) {
        return true;
    }
    messages.warning(txt(str::PortsBusyForDatabase));
    return false;
}

MaintenanceDialog::MaintenanceDialog(int helpContext, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {
    setHelpContext(this, helpContext);
}

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

void MaintenanceDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        showHelp(helpContextOf(this));
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace zev7
