// What a registry of windows needs of the program's frame, so that it knows no main window:
// adding a window (refused beyond the window limit) and finding an open one by its object name.
// The main window is the frame of the program; tests give a bare MDI area.
#pragma once

#include "ui/frame/mdi_child.h"

#include <QString>

class QMdiSubWindow;
class QWidget;

namespace zev7 {

class WindowFrame {
public:
    virtual ~WindowFrame() = default;
    // Adds the window as a child of the frame and shows it; nullptr when the frame refuses it
    // (the window limit), the window is then deleted.
    virtual QMdiSubWindow* addChildWindow(QWidget* window) = 0;
    // The open child window with that object name, or nullptr.
    virtual QWidget* childWindow(const QString& objectName) const = 0;
};

// The first half of every "one window of its kind" command: the open window of that object name
// brought before the user, or nullptr when none is open (the caller then makes one and adds it).
template <class W>
W* raiseOpenWindow(const WindowFrame& frame, const QString& objectName) {
    auto* w = qobject_cast<W*>(frame.childWindow(objectName));
    if (w != nullptr) {
        raiseMdiChild(w);
    }
    return w;
}

}  // namespace zev7
