// The graph window slots of every port (five a port), and the pictures of the open ones for the
// result report. The port window opens its graphs here; the frame adds them as MDI windows (the
// window limit may refuse one). Lives on the UI thread; the port threads reach it through a
// UiGraphBitmaps.
#pragma once

#include "engine/report/graph_bitmaps.h"

#include <QObject>
#include <QPointer>
#include <map>
#include <set>
#include <utility>

namespace zev7 {

class IniFile;
class PortGraphData;
class TForm_Graphic;
class UserMessages;
class WindowFrame;

class GraphWindows : public QObject, public GraphBitmapSource {
    Q_OBJECT

public:
    explicit GraphWindows(QObject* parent = nullptr);

    // The frame new windows join; without one a window is shown on its own.
    void setFrame(WindowFrame* frame) { frame_ = frame; }

    // Graph `kind` of the port: the open window comes forward (restored if minimised), or a new
    // one is made. Null when the frame refused it.
    TForm_Graphic* open(int port, int kind, PortGraphData& data, UserMessages& messages,
                        IniFile* ini);
    TForm_Graphic* window(int port, int kind) const;
    // Whether the port's graph window was open: while the program ends, as it was before the
    // windows began to close (so the layout reopens them next time).
    bool wasOpen(int port, int kind) const;
    // The program is ending: remember which windows are open before they close one by one.
    void freeze();
    // The port window closes: its graph windows go with it.
    void closeAll(int port);

    // GraphBitmapSource, on the UI thread.
    QList<GraphWindowInfo> openGraphWindows(int port) override;
    bool saveGraphBitmap(int port, int kind, const QString& path) override;

private:
    std::map<std::pair<int, int>, QPointer<TForm_Graphic>> slots_;
    std::set<std::pair<int, int>> frozen_;
    bool isFrozen_ = false;
    WindowFrame* frame_ = nullptr;
};

}  // namespace zev7
