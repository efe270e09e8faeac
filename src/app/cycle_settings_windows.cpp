#include "app/cycle_settings_windows.h"

#include "app/main_window.h"
#include "ui/frame/mdi_child.h"
#include "ui/port/tform_data.h"
#include "ui/settings/tform_set.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

namespace zev7 {

CycleSettingsWindows::CycleSettingsWindows(TMainForm& window, UserMessages& messages, IniFile& ini)
    : QObject(&window), window_(window), messages_(messages), ini_(ini) {
    // Every port window is active once when it opens: that is where its requests are taken up.
    connect(window.mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (sub != nullptr) {
            attach(qobject_cast<TForm_Data*>(sub->widget()));
        }
    });
}

TFormSet* CycleSettingsWindows::dialog() const {
    return sub_ != nullptr ? qobject_cast<TFormSet*>(sub_->widget()) : nullptr;
}

void CycleSettingsWindows::attach(TForm_Data* window) {
    if (window == nullptr) {
        return;
    }
    const bool made = connect(window, &TForm_Data::cycleSettingsWanted, this,
                              &CycleSettingsWindows::onWanted, Qt::UniqueConnection);
    if (made) {
        onWanted(window, false);
    }
}

void CycleSettingsWindows::onWanted(TForm_Data* window, bool open) {
    TFormSet* d = dialog();
    if (!open) {
        // An open dialog follows its own port, or the port window the user works in.
        if (d != nullptr &&
            (d->document() == &window->document() || window_.activeChild() == window)) {
            d->showCycle(&window->document());
        }
        return;
    }
    if (d == nullptr) {
        noteMaximisedPorts();
        TMainForm* main = &window_;
        auto* made = new TFormSet(
            CycleSettingsContext{messages_, &ini_, [main] { return main->checkWindowLimit(); }});
        QMdiSubWindow* sub = window_.addChildWindow(made);
        if (sub == nullptr) {
            return;
        }
        sub_ = sub;
        docked_ = false;
        sub->installEventFilter(this);
        d = made;
        // Among maximised port windows the area maximises a new window too: that is the same
        // request to stand beside them.
        if (sub->isMaximized()) {
            dock();
        }
    }
    d->showCycle(&window->document());
    raiseMdiChild(sub_);
}

void CycleSettingsWindows::noteMaximisedPorts() {
    // The area restores every maximised window when another one takes their place or is
    // restored itself: they are noted before.
    for (QMdiSubWindow* s : window_.mdiArea()->subWindowList()) {
        if (s != sub_ && qobject_cast<TForm_Data*>(s->widget()) != nullptr && s->isMaximized() &&
            !beside_.contains(s)) {
            beside_.append(s);
        }
    }
}

QRect CycleSettingsWindows::clientArea() const {
    return window_.mdiArea()->viewport()->rect();
}

bool CycleSettingsWindows::eventFilter(QObject* watched, QEvent* event) {
    // The event's type first: other events also come while the sub-window is being destroyed,
    // when it is no longer a sub-window the guarded pointer may be compared with.
    const QEvent::Type type = event->type();
    const bool wanted =
        type == QEvent::WindowStateChange || type == QEvent::Close || type == QEvent::Resize;
    if (wanted && !placing_ && watched == sub_) {
        if (type == QEvent::WindowStateChange && sub_->isMaximized()) {
            // After the state change is done: the strip replaces the maximised placement.
            QTimer::singleShot(0, this, &CycleSettingsWindows::dock);
        } else if (type == QEvent::Close) {
            undock();
        } else if (type == QEvent::Resize && docked_) {
            docked_ = false;  // the user gave it another size
        }
    }
    return QObject::eventFilter(watched, event);
}

void CycleSettingsWindows::dock() {
    if (sub_ == nullptr) {
        return;
    }
    placing_ = true;
    noteMaximisedPorts();
    const QRect normal = sub_->normalGeometry();
    sub_->showNormal();
    const QRect area = clientArea();
    const int width = sub_->width();
    const int room = area.width() - width;
    const int left = normal.left() < room / 2 ? 0 : room;
    sub_->setGeometry(left, 0, width, area.height());
    docked_ = true;
    // The port windows that were maximised fill the room beside the strip.
    const QRect place = left == 0 ? QRect(width + 1, 0, room - 1, area.height())
                                  : QRect(0, 0, room - 2, area.height());
    for (QMdiSubWindow* s : std::as_const(beside_)) {
        if (s != nullptr) {
            s->showNormal();
            s->setGeometry(place);
        }
    }
    placing_ = false;
}

void CycleSettingsWindows::undock() {
    // The port windows that stood beside the strip take the whole width again.
    const QRect area = clientArea();
    for (QMdiSubWindow* s : window_.mdiArea()->subWindowList()) {
        if (qobject_cast<TForm_Data*>(s->widget()) != nullptr && s->height() == area.height()) {
            s->setGeometry(0, 0, area.width() - 2, area.height());
        }
    }
    beside_.clear();
    docked_ = false;
}

}  // namespace zev7
