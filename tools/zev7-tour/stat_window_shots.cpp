#include "stat_window_shots.h"

#include "app/main_window.h"
#include "db/db_connection.h"
#include "db/demo_database.h"
#include "dbquery/selection_criteria.h"
#include "dbquery/working_selection.h"
#include "dbui/stat_windows.h"
#include "scenario/user_messages.h"
#include "tour_placement.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSqlQuery>

namespace zev7 {

namespace {

// Fewer cycles than this make thin pictures: a week of demo measurements is added.
constexpr int kEnoughCycles = 20;
constexpr int kDemoCycles = 60;
constexpr int kDemoCalls = 30;
constexpr int kDemoDaysBack = 7;
constexpr QRect kWindowPlace{0, 0, 1000, 560};

int storedCycles() {
    QSqlQuery q(DbConnection::main());
    return q.exec(QStringLiteral("SELECT COUNT(*) FROM TABLE_CYCLE")) && q.next()
               ? q.value(0).toInt()
               : 0;
}

}  // namespace

int cycleToShow() {
    QSqlQuery q(DbConnection::main());
    if (q.exec(QStringLiteral("SELECT CYCLE_ID FROM TEMP_RESCYCLE ORDER BY "
                              "(P_KPV_PERC > P_NORM_KPV) DESC, CYCLE_ID LIMIT 1")) &&
        q.next()) {
        return q.value(0).toInt();
    }
    return -1;
}

void shootChild(MdiChild* w, const QString& name,
                const std::function<void(const QString&)>& shoot) {
    if (w == nullptr) {
        return;
    }
    tourPlace(w->frameWindow(), kWindowPlace);
    shoot(name);
    w->frameWindow()->showMinimized();
}

bool selectTourCycles(TMainForm& window, WorkingSelection& selection, PeriodTexts& period) {
    ConsoleMessages messages;
    if (storedCycles() < kEnoughCycles) {
        DemoDatabaseSpec spec;
        spec.cycles = kDemoCycles;
        spec.callsPerCycle = kDemoCalls;
        spec.firstStart = QDateTime::currentDateTime().addDays(-kDemoDaysBack);
        fillDemoDatabase(spec, messages);
    }
    SelectionCriteria criteria;
    criteria.period = PeriodTexts::lastThirtyDays(QDate::currentDate());
    QSqlQuery q(DbConnection::main());
    q.exec(QStringLiteral("SELECT OUT_ID FROM TABLE_OUT ORDER BY OUT_ID"));
    while (q.next()) {
        criteria.numbers.append({q.value(0).toInt(), QString(), true, {}});
    }
    if (!selection.load(criteria)) {
        messages.error(selection.lastError());
        return false;
    }
    period = criteria.period;
    for (QMdiSubWindow* sub : window.mdiArea()->subWindowList()) {
        sub->showMinimized();
    }
    return true;
}

void shootStatWindows(TMainForm& window, StatWindows& windows,
                      const std::function<void(const QString&)>& shoot) {
    WorkingSelection selection(DbConnection::main());
    PeriodTexts period;
    if (!selectTourCycles(window, selection, period)) {
        return;
    }
    windows.setPeriod(period);
    windows.recompute({}, {});
    windows.setCurrentCycle(cycleToShow());
    const std::pair<StatWindowKind, const char*> pictures[] = {
        {StatWindowKind::CycleStat, "stat-cycle"},
        {StatWindowKind::CycleCalls, "stat-calls"},
        {StatWindowKind::CycleSettings, "stat-settings"},
        {StatWindowKind::Summary, "stat-summary"},
        {StatWindowKind::ParamStats, "stat-params"}};
    for (const auto& [kind, name] : pictures) {
        shootChild(windows.open(kind), QString::fromLatin1(name), shoot);
    }
    windows.closeAll();
    selection.clear();
}

}  // namespace zev7
