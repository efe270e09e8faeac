#include "screenshot_graphs.h"

#include "app/main_window.h"
#include "tour_placement.h"
#include "ui/chart/tform_graphic.h"
#include "ui/model/port_graph_data.h"
#include "ui/port/tform_data.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace zev7 {

namespace {

// The five graphs over the frame: the two pies on top, the three bar graphs below.
constexpr QRect kGraphPlaces[kGraphKinds] = {{0, 0, 560, 330},
                                             {565, 0, 660, 330},
                                             {0, 335, 410, 330},
                                             {412, 335, 410, 330},
                                             {824, 335, 410, 330}};

TForm_Graphic* graphWindow(const TMainForm& window, int port, int kind) {
    for (QMdiSubWindow* sub : window.mdiArea()->subWindowList()) {
        auto* g = qobject_cast<TForm_Graphic*>(sub->widget());
        if (g != nullptr && g->port() == port && g->kind() == kind) {
            return g;
        }
    }
    return nullptr;
}

}  // namespace

void openTourGraphs(TMainForm& window, int port) {
    auto* form = qobject_cast<TForm_Data*>(window.portWindow(port));
    if (form == nullptr) {
        return;
    }
    for (int kind = 0; kind < kGraphKinds; ++kind) {
        form->openGraph(kind);
    }
    window.openPortWindow(port);
}

void shootTourGraphs(TMainForm& window, int port, const QString& directory) {
    for (int kind = 0; kind < kGraphKinds; ++kind) {
        if (TForm_Graphic* g = graphWindow(window, port, kind)) {
            tourPlace(g->frameWindow(), kGraphPlaces[kind]);
            g->refresh();
        }
    }
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
    const QDir dir(directory);
    window.grab().save(dir.filePath(QStringLiteral("graphs.png")));
    for (int kind = 0; kind < kGraphKinds; ++kind) {
        if (TForm_Graphic* g = graphWindow(window, port, kind)) {
            g->frameWindow()->grab().save(
                dir.filePath(QStringLiteral("graph%1.png").arg(kind + 1)));
        }
    }
}

}  // namespace zev7
