#include "graph_window_shots.h"

#include "app/main_window.h"
#include "db/db_connection.h"
#include "dbquery/period_text.h"
#include "dbquery/working_selection.h"
#include "dbui/db_graph_windows.h"
#include "dbui/tform_bd_graph.h"
#include "scenario/user_messages.h"
#include "stat_window_shots.h"
#include "tour_placement.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <cstdio>

namespace zev7 {

namespace {

// Losses of every cycle against its norm: result 3 of the parameter statistics.
constexpr int kLossesByCycle = 18;

// The histogram shows most over the cycle whose attenuations spread widest.
int widestSpreadCycle() {
    QSqlQuery q(DbConnection::main());
    if (q.exec(QStringLiteral(
            "SELECT R.CYCLE_ID FROM TABLE_RESSEANS R, TEMP_CYCLE C WHERE R.CYCLE_ID=C.CYCLE_ID "
            "GROUP BY R.CYCLE_ID ORDER BY MAX(R.RES_ATT)-MIN(R.RES_ATT) DESC LIMIT 1")) &&
        q.next()) {
        return q.value(0).toInt();
    }
    return cycleToShow();
}

}  // namespace

void shootGraphWindows(TMainForm& window, const std::function<void(const QString&)>& shoot) {
    WorkingSelection selection(DbConnection::main());
    PeriodTexts period;
    if (!selectTourCycles(window, selection, period)) {
        return;
    }
    ConsoleMessages messages;
    DbGraphWindows graphs(nullptr, &messages, window);
    graphs.setCurrentCycle(widestSpreadCycle());
    graphs.recompute({}, {});
    // Every graph over the runs' results, one line each, so a kind that draws nothing shows
    // in the tour's output.
    for (int kind = 0; kind < kGraphKindCount; ++kind) {
        if (!graphKindUsed(kind)) {
            continue;
        }
        TFormBD_Graph* w = graphs.open(kind);
        if (w == nullptr) {
            continue;
        }
        if (tourKeepsDefaultSizes()) {
            shootChild(w, QStringLiteral("dbgraph-%1").arg(kind, 2, 10, QLatin1Char('0')), shoot);
        } else {
            w->grab();
        }
        const GraphData& d = w->data();
        const qsizetype drawn = graphIsPie(kind) ? d.slices.size() : d.points.size();
        std::printf("graph %2d %s: %lld %s\n", kind, qPrintable(w->windowTitle()),
                    static_cast<long long>(drawn), graphIsPie(kind) ? "slices" : "points");
        w->frameWindow()->close();
        // Gone at once, or the windows still waiting to be deleted fill the window limit.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::fflush(stdout);
    const std::pair<int, const char*> pictures[] = {{GraphFirstHistogram, "graph-histogram"},
                                                    {GraphSelectionLossPie, "graph-pie"},
                                                    {kLossesByCycle, "graph-by-cycle"}};
    for (const auto& [kind, name] : pictures) {
        shootChild(graphs.open(kind), QString::fromLatin1(name), shoot);
    }
    graphs.closeAll();
    selection.clear();
}

}  // namespace zev7
