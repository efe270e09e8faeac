#include "app/mdi_arrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

namespace zev7 {

namespace {

QList<QMdiSubWindow*> tileable(const QMdiArea& area) {
    QList<QMdiSubWindow*> out;
    for (QMdiSubWindow* w : area.subWindowList(QMdiArea::CreationOrder)) {
        if (w->isVisible() && !w->isMinimized()) {
            out.append(w);
        }
    }
    return out;
}

// Lays the windows out in lines across the area; `vertical` lines are columns. Up to
// kTileLineWindows windows get a line each; more fill lines of kTileLineWindows, the last line
// taking the rest, and each line shares its length among its windows.
void tile(QMdiArea& area, bool vertical) {
    const QList<QMdiSubWindow*> windows = tileable(area);
    const int n = static_cast<int>(windows.size());
    if (n == 0) {
        return;
    }
    const bool grid = n > kTileLineWindows;
    const int lines = grid ? (n + kTileLineWindows - 1) / kTileLineWindows : n;
    const int perLine = grid ? kTileLineWindows : 1;
    const QRect r = area.viewport()->rect();
    const int across = vertical ? r.width() : r.height();
    const int along = vertical ? r.height() : r.width();
    int index = 0;
    for (int line = 0; line < lines; ++line) {
        const int inLine = std::min(perLine, n - index);
        const int a0 = across * line / lines;
        const int a1 = across * (line + 1) / lines;
        for (int k = 0; k < inLine; ++k, ++index) {
            const int b0 = along * k / inLine;
            const int b1 = along * (k + 1) / inLine;
            QMdiSubWindow* w = windows[index];
            if (w->isMaximized()) {
                w->showNormal();
            }
            w->setGeometry(vertical ? QRect(a0, b0, a1 - a0, b1 - b0)
                                    : QRect(b0, a0, b1 - b0, a1 - a0));
        }
    }
}

}  // namespace

void tileVertically(QMdiArea& area) {
    tile(area, true);
}

void tileHorizontally(QMdiArea& area) {
    tile(area, false);
}

void arrangeIcons(QMdiArea& area) {
    // The icons stand in a row from the bottom left corner, a new row above when one is full.
    const QRect r = area.viewport()->rect();
    int x = 0;
    int bottom = r.height();
    int rowHeight = 0;
    for (QMdiSubWindow* w : area.subWindowList(QMdiArea::CreationOrder)) {
        if (!w->isMinimized()) {
            continue;
        }
        const QSize size = w->size();
        if (x > 0 && x + size.width() > r.width()) {
            x = 0;
            bottom -= rowHeight;
            rowHeight = 0;
        }
        w->move(x, bottom - size.height());
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
}

}  // namespace zev7
