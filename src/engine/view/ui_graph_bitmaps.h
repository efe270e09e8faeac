// The pictures of a port's graph windows for its result report, taken on the UI thread where
// the windows live. The port thread waits for them (it needs them for the report), but only at
// the end of a cycle, never inside a call, and before it takes the report mutex, so that a busy
// window holds up no other port. A closed caller (program end) gives no pictures.
#pragma once

#include "engine/report/graph_bitmaps.h"

namespace zev7 {

class UiThreadCaller;

class UiGraphBitmaps : public GraphBitmapSource {
public:
    // `windows` is used on the UI thread only.
    UiGraphBitmaps(GraphBitmapSource& windows, UiThreadCaller& caller);

    QList<GraphWindowInfo> openGraphWindows(int port) override;
    bool saveGraphBitmap(int port, int kind, const QString& path) override;

private:
    GraphBitmapSource& windows_;
    UiThreadCaller& caller_;
};

}  // namespace zev7
