// A modal maintenance window of the database (deletion, import): it has no close entry in its
// system menu and cannot be closed, by Escape or otherwise, while its work runs. F1 opens its
// help page (the main window's F1 does not reach past a modal window).
#pragma once

#include <QDialog>

namespace zev7 {

class UserMessages;

// False, with "Идет работа с портами!...", while a port of the program directory runs a
// scenario in any program (its run marker is held): its calls go under the cycles that deletion,
// compaction or an import would take away. Asked when such a command opens and again when it
// starts, since zev7-run may have started a port meanwhile.
bool portsIdleForMaintenance(UserMessages& messages);

class MaintenanceDialog : public QDialog {
    Q_OBJECT

public:
    explicit MaintenanceDialog(int helpContext, QWidget* parent = nullptr);

    bool running() const { return running_; }

protected:
    void setRunningFlag(bool running) { running_ = running; }
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool running_ = false;
};

}  // namespace zev7
