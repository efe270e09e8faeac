#include "ui/chart/graph_windows.h"

#include "ui/chart/tform_graphic.h"
#include "ui/frame/window_frame.h"
#include "ui/model/port_graph_data.h"

namespace zev7 {

GraphWindows::GraphWindows(QObject* parent) : QObject(parent) {}

TForm_Graphic* GraphWindows::window(int port, int kind) const {
    const auto it = slots_.find({port, kind});
    return it != slots_.end() ? it->second.data() : nullptr;
}

TForm_Graphic* GraphWindows::open(int port, int kind, PortGraphData& data, UserMessages& messages,
                                  IniFile* ini) {
    if (kind < 0 || kind >= kGraphKinds) {
        return nullptr;
    }
    if (TForm_Graphic* w = window(port, kind)) {
        raiseMdiChild(w->frameWindow());
        w->setFocus();
        return w;
    }
    auto* w = new TForm_Graphic(port, kind, graphTitle(kind), data, messages, ini);
    QPointer<TForm_Graphic> guard(w);
    if (frame_ == nullptr) {
        w->show();
    } else if (frame_->addChildWindow(w) == nullptr || guard.isNull()) {
        return nullptr;
    }
    slots_[{port, kind}] = guard;
    return w;
}

bool GraphWindows::wasOpen(int port, int kind) const {
    if (isFrozen_) {
        return frozen_.count({port, kind}) > 0;
    }
    return window(port, kind) != nullptr;
}

void GraphWindows::freeze() {
    frozen_.clear();
    for (const auto& [key, w] : slots_) {
        if (!w.isNull()) {
            frozen_.insert(key);
        }
    }
    isFrozen_ = true;
}

void GraphWindows::closeAll(int port) {
    for (int kind = 0; kind < kGraphKinds; ++kind) {
        if (TForm_Graphic* w = window(port, kind)) {
            w->frameWindow()->close();
        }
        slots_.erase({port, kind});
    }
}

QList<GraphWindowInfo> GraphWindows::openGraphWindows(int port) {
    QList<GraphWindowInfo> open;
    for (int kind = 0; kind < kGraphKinds; ++kind) {
        TForm_Graphic* w = window(port, kind);
        if (w != nullptr && !w->frameWindow()->isMinimized()) {
            open.append({kind, w->windowTitle()});
        }
    }
    return open;
}

bool GraphWindows::saveGraphBitmap(int port, int kind, const QString& path) {
    TForm_Graphic* w = window(port, kind);
    return w != nullptr && w->saveReportBitmap(path);
}

}  // namespace zev7
