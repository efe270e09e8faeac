#include "ui/frame/mdi_child.h"

#include "core/ini_file.h"
#include "ui/frame/help_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace zev7 {

// Notes the frame's placement whenever it moves or changes size as a normal window: a sub-window
// keeps its own normal placement to itself while it is maximised or minimised.
class NormalPlacementWatch : public QObject {
public:
    explicit NormalPlacementWatch(MdiChild& child) : QObject(&child), child_(child) {}

    void note(const QWidget* frame) {
        if ((frame->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) == 0) {
            child_.normalPlacement_ = frame->geometry();
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The event's type first: a frame being destroyed is no widget to compare with.
        if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
            watched == child_.watchedFrame_) {
            note(child_.watchedFrame_);
        }
        return false;
    }

private:
    MdiChild& child_;
};

namespace {

// The window states as stored: what the users' files hold.
constexpr int kStateNormal = 0;
constexpr int kStateMinimized = 1;
constexpr int kStateMaximized = 2;
// A stored size below this is damage, not a choice.
constexpr int kMinStoredSide = 40;
constexpr int kMaxStoredPosition = 3000;

}  // namespace

MdiChild::MdiChild(const QString& caption, int helpContext, IniFile* ini, QWidget* parent)
    : QWidget(parent), section_(caption), ini_(ini) {
    setHelpContext(helpContext);
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
}

QWidget* MdiChild::frameWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        return sub;
    }
    return this;
}

void MdiChild::saveLayout() {
    if (ini_ == nullptr || ini_->path().isEmpty()) {
        return;
    }
    QWidget* frame = frameWindow();
    int state = kStateNormal;
    if (frame->isMinimized()) {
        state = kStateMinimized;
    } else if (frame->isMaximized()) {
        state = kStateMaximized;
    }
    // The normal placement is kept also for a maximised window, so restoring it gives it back.
    const QRect r = (state == kStateNormal) ? frame->geometry() : normalPlacement();
    ini_->writeInt(section_, QStringLiteral("Left"), r.x());
    ini_->writeInt(section_, QStringLiteral("Top"), r.y());
    ini_->writeInt(section_, QStringLiteral("Width"), r.width());
    ini_->writeInt(section_, QStringLiteral("Height"), r.height());
    ini_->writeInt(section_, QStringLiteral("WindowState"), state);
    writeSettings(*ini_, section_);
    ini_->save();
}

bool MdiChild::hasStoredPlacement() const {
    return ini_ != nullptr &&
           ini_->readInt(section_, QStringLiteral("Width"), 0) >= kMinStoredSide &&
           ini_->readInt(section_, QStringLiteral("Height"), 0) >= kMinStoredSide;
}

void MdiChild::restoreLayout() {
    if (ini_ == nullptr) {
        return;
    }
    QWidget* frame = frameWindow();
    const int w = ini_->readInt(section_, QStringLiteral("Width"), 0);
    const int h = ini_->readInt(section_, QStringLiteral("Height"), 0);
    if (w >= kMinStoredSide && h >= kMinStoredSide) {
        // A position far off any screen (a damaged file, a removed monitor) starts at the edge.
        int x = ini_->readInt(section_, QStringLiteral("Left"), 0);
        int y = ini_->readInt(section_, QStringLiteral("Top"), 0);
        x = (x < 0 || x > kMaxStoredPosition) ? 0 : x;
        y = (y < 0 || y > kMaxStoredPosition) ? 0 : y;
        frame->setGeometry(x, y, w, h);
    }
    switch (ini_->readInt(section_, QStringLiteral("WindowState"), kStateNormal)) {
        case kStateMinimized:
            frame->showMinimized();
            break;
        case kStateMaximized:
            frame->showMaximized();
            break;
        default:
            break;
    }
    readSettings(*ini_, section_);
}

int MdiChild::helpContext() const {
    return helpContextOf(this);
}

void MdiChild::setHelpContext(int context) {
    zev7::setHelpContext(this, context);
}

void MdiChild::keyPressEvent(QKeyEvent* event) {
    // The program's F1 shortcut usually comes first; a window on its own answers F1 itself.
    if (event->key() == Qt::Key_F1) {
        showHelp(helpContext());
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool MdiChild::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange) {
        QWidget* frame = frameWindow();
        if (frame != this && frame != watchedFrame_) {
            if (placementWatch_ == nullptr) {
                placementWatch_ = new NormalPlacementWatch(*this);
            }
            if (watchedFrame_ != nullptr) {
                watchedFrame_->removeEventFilter(placementWatch_);
            }
            watchedFrame_ = frame;
            frame->installEventFilter(placementWatch_);
            placementWatch_->note(frame);
        }
    }
    return QWidget::event(event);
}

QRect MdiChild::normalPlacement() const {
    if (watchedFrame_ == nullptr) {
        return normalGeometry();  // a window of its own keeps it itself
    }
    return normalPlacement_;
}

void MdiChild::closeEvent(QCloseEvent* event) {
    saveLayout();
    event->accept();
}

void raiseMdiChild(QWidget* window) {
    auto* sub = qobject_cast<QMdiSubWindow*>(window);
    if (sub == nullptr) {
        sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    }
    QWidget* frame = sub != nullptr ? sub : window;
    if (frame->isMinimized()) {
        frame->showNormal();
    }
    frame->show();
    if (sub != nullptr && sub->mdiArea() != nullptr) {
        sub->mdiArea()->setActiveSubWindow(sub);
    }
    frame->raise();
}

}  // namespace zev7
