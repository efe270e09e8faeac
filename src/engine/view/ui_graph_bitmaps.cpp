#include "engine/view/ui_graph_bitmaps.h"

#include "engine/view/ui_thread_caller.h"

namespace zev7 {

UiGraphBitmaps::UiGraphBitmaps(GraphBitmapSource& windows, UiThreadCaller& caller)
    : windows_(windows), caller_(caller) {}

QList<GraphWindowInfo> UiGraphBitmaps::openGraphWindows(int port) {
    return caller_.ask(QList<GraphWindowInfo>{},
                       [this, port] { return windows_.openGraphWindows(port); });
}

bool UiGraphBitmaps::saveGraphBitmap(int port, int kind, const QString& path) {
    return caller_.ask(
        false, [this, port, kind, path] { return windows_.saveGraphBitmap(port, kind, path); });
}

}  // namespace zev7
