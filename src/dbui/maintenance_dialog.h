// A modal maintenance window of the database (deletion, import): it has no close entry in its
// system menu and cannot be closed, by Escape or otherwise, while its work runs.
#pragma once

#include <QDialog>

namespace zev7 {

class MaintenanceDialog : public QDialog {
    Q_OBJECT

public:
    explicit MaintenanceDialog(QWidget* parent = nullptr)
        : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {}

    bool running() const { return running_; }

protected:
    void setRunningFlag(bool running) { running_ = running; }
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    bool running_ = false;
};

}  // namespace zev7
