#include "dbui/db_graph_windows.h"

#include "db/db_connection.h"
#include "dbui/tform_bd_graph.h"
#include "ui/frame/mdi_child.h"

namespace zev7 {

DbGraphWindows::DbGraphWindows(IniFile* ini, UserMessages* messages, WindowFrame& frame,
                               QObject* parent)
    : QObject(parent), ini_(ini), messages_(messages), frame_(frame) {}

TFormBD_Graph* DbGraphWindows::window(int kind) const {
    return qobject_cast<TFormBD_Graph*>(frame_.childWindow(TFormBD_Graph::windowName(kind)));
}

TFormBD_Graph* DbGraphWindows::open(int kind) {
    if (!graphKindUsed(kind)) {
        return nullptr;
    }
    if (auto* w = raiseOpenWindow<TFormBD_Graph>(frame_, TFormBD_Graph::windowName(kind))) {
        return w;
    }
    auto* w = new TFormBD_Graph(kind, DbConnection::main(), ini_, messages_);
    // The frame reads the window's settings (its points per page) before it is drawn.
    if (frame_.addChildWindow(w) == nullptr) {
        return nullptr;
    }
    w->redraw(scope_);
    return w;
}

void DbGraphWindows::openCycleDiagrams(int cycleId) {
    scope_.cycleId = cycleId;
    open(GraphCyclePie);
    open(GraphCycleLossPie);
}

void DbGraphWindows::openSummaryDiagrams() {
    open(GraphSelectionPie);
    open(GraphSelectionLossPie);
}

void DbGraphWindows::setCurrentCycle(int cycleId) {
    scope_.cycleId = cycleId;
    for (int kind = 0; kind < kGraphKindCount; ++kind) {
        if (graphFollowsCycle(kind)) {
            if (TFormBD_Graph* w = window(kind)) {
                w->redraw(scope_);
            }
        }
    }
}

void DbGraphWindows::recompute(const QList<int>& excludedCycleIds, const SqlFilter& filter) {
    scope_.excludedCycleIds = excludedCycleIds;
    scope_.filter = filter;
    for (int kind = 0; kind < kGraphKindCount; ++kind) {
        if (!graphFollowsCycle(kind)) {
            if (TFormBD_Graph* w = window(kind)) {
                w->redraw(scope_);
            }
        }
    }
}

void DbGraphWindows::closeAll() {
    for (int kind = 0; kind < kGraphKindCount; ++kind) {
        if (TFormBD_Graph* w = window(kind)) {
            w->frameWindow()->close();
        }
    }
    scope_ = {};
}

}  // namespace zev7
