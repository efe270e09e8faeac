#include "app/desktop_alerts.h"

#include "core/strings.h"
#include "engine/view/ui_thread_caller.h"

#include <QApplication>
#include <QMessageBox>
#include <QStyle>
#include <QSystemTrayIcon>

namespace zev7 {

namespace {
// The notice window shows this many of the latest alerts, newest last.
constexpr int kRecentAlerts = 12;
// A balloon stays this long (the system may shorten it).
constexpr int kBalloonMs = 15000;
}  // namespace

DesktopAlerts::DesktopAlerts(UiThreadCaller& caller, std::function<void(const QString&)> batchLog)
    : caller_(caller), batchLog_(std::move(batchLog)) {}

DesktopAlerts::~DesktopAlerts() {
    delete box_.data();
}

QMessageBox* DesktopAlerts::noticeWindow() const {
    return box_.data();
}

void DesktopAlerts::alertRaised(const PortAlert& alert) {
    caller_.post([this, alert] { show(alert); });
}

void DesktopAlerts::show(const PortAlert& alert) {
    const QString line = txt(str::AlertNotice).arg(QString::number(alert.port), alert.text);
    if (batchLog_) {
        batchLog_(line);
    }
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        if (!tray_) {
            tray_ = std::make_unique<QSystemTrayIcon>(
                QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning));
            tray_->setToolTip(txt(str::ProgramName));
            tray_->show();
        }
        const bool recovery =
            alert.kind == AlertKind::CallsRecovered || alert.kind == AlertKind::CyclesRecovered;
        tray_->showMessage(txt(str::AlertCaption), line,
                           recovery ? QSystemTrayIcon::Information : QSystemTrayIcon::Warning,
                           kBalloonMs);
        return;
    }
    showInWindow(alert.time.toString(QStringLiteral("dd.MM.yy hh:mm:ss ")) + line);
}

void DesktopAlerts::showInWindow(const QString& line) {
    recent_.append(line);
    while (recent_.size() > kRecentAlerts) {
        recent_.removeFirst();
    }
    if (box_.isNull()) {
        box_ = new QMessageBox(QMessageBox::Warning, txt(str::AlertCaption), QString(),
                               QMessageBox::Ok, window_);
        box_->setObjectName(QStringLiteral("AlertNotice"));
        // Read when the operator comes back; until then nothing waits for it.
        box_->setWindowModality(Qt::NonModal);
        box_->setAttribute(Qt::WA_DeleteOnClose);
        // Read and closed: it goes (deleted later), and the next alert opens a new one.
        QObject::connect(box_, &QMessageBox::finished, box_, [this] {
            recent_.clear();
            box_.clear();
        });
    }
    box_->setText(recent_.join(u'\n'));
    box_->show();
    box_->raise();
}

}  // namespace zev7
