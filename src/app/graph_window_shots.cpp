#include "app/graph_window_shots.h"

#include "app/main_window.h"
#include "app/stat_window_shots.h"
#include "db/db_connection.h"
#include "dbquery/period_text.h"
#include "dbquery/working_selection.h"
#include "dbui/db_graph_windows.h"
#include "dbui/tform_bd_graph.h"
#include "scenario/user_messages.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace zev7 {

namespace {

constexpr QRect kWindowPlace{0, 0, 1000, 560};
// Losses of every cycle against its norm: result 3 of the parameter statistics.
constexpr int kLossesByCycle = 18;

}  // namespace

void shootGraphWindows(TMainForm& window, const std::function<void(const QString&)>& shoot) {
    WorkingSelection selection(DbConnection::main());
    PeriodTexts period;
    if (!selectTourCycles(selection, period)) {
        return;
    }
    for (QMdiSubWindow* sub : window.mdiArea()->subWindowList()) {
        sub->showMinimized();
    }
    ConsoleMessages messages;
    DbGraphWindows graphs(
        nullptr, &messages,
        StatWindowFrame{[&window](QWidget* w) { return window.addChildWindow(w); },
                        [&window](const QString& name) { return window.childWindow(name); }});
    graphs.setCurrentCycle(cycleToShow());
    graphs.recompute({}, {});
    const std::pair<int, const char*> pictures[] = {{GraphFirstHistogram, "graph-histogram"},
                                                    {GraphSelectionLossPie, "graph-pie"},
                                                    {kLossesByCycle, "graph-by-cycle"}};
    for (const auto& [kind, name] : pictures) {
        if (TFormBD_Graph* w = graphs.open(kind)) {
            w->frameWindow()->showNormal();
            w->frameWindow()->setGeometry(kWindowPlace);
            shoot(QString::fromLatin1(name));
            w->frameWindow()->showMinimized();
        }
    }
    graphs.closeAll();
    selection.clear();
}

}  // namespace zev7
