#include "tour_placement.h"

#include "app/main_window.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace zev7 {

namespace {
bool keepDefaultSizes = false;
}  // namespace

bool tourKeepsDefaultSizes() {
    return keepDefaultSizes;
}

void setTourKeepsDefaultSizes(bool keep) {
    keepDefaultSizes = keep;
}

void tourPlace(QWidget* frame, const QRect& where) {
    if (frame == nullptr) {
        return;
    }
    frame->showNormal();
    if (!keepDefaultSizes) {
        frame->setGeometry(where);
    }
    frame->raise();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(frame)) {
        if (sub->mdiArea() != nullptr) {
            sub->mdiArea()->setActiveSubWindow(sub);
        }
    }
}

QWidget* tourSubject(TMainForm& window) {
    if (keepDefaultSizes) {
        if (QMdiSubWindow* sub = window.mdiArea()->activeSubWindow()) {
            return sub;
        }
    }
    return &window;
}

}  // namespace zev7
