// The alerts of the ports as the desktop program shows them: a line in the batch log while a
// batch run goes on, and a notice on the desktop: the system tray's balloon where the desktop
// has a tray, otherwise one small window that collects the latest alerts and never blocks
// anything (it is not modal; a port is never held by it). The port threads call
// alertRaised(); the notice is posted to the UI thread and the thread goes on at once.
#pragma once

#include "engine/alerts/port_alerts.h"

#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class QMessageBox;
class QSystemTrayIcon;
class QWidget;

namespace zev7 {

class UiThreadCaller;

class DesktopAlerts : public AlertListener {
public:
    // `batchLog` writes one line into the batch log while batch mode runs (UI thread).
    DesktopAlerts(UiThreadCaller& caller, std::function<void(const QString&)> batchLog);
    ~DesktopAlerts() override;
    DesktopAlerts(const DesktopAlerts&) = delete;
    DesktopAlerts& operator=(const DesktopAlerts&) = delete;

    // The window the notice window opens over (the main window).
    void setWindow(QWidget* window) { window_ = window; }

    void alertRaised(const PortAlert& alert) override;
    // Shows the alert now; UI thread.
    void show(const PortAlert& alert);
    // The notice window, while it is open.
    QMessageBox* noticeWindow() const;

private:
    void showInWindow(const QString& line);

    UiThreadCaller& caller_;
    std::function<void(const QString&)> batchLog_;
    QPointer<QWidget> window_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    QPointer<QMessageBox> box_;
    QStringList recent_;
};

}  // namespace zev7
