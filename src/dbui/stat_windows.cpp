#include "dbui/stat_windows.h"

#include "db/db_connection.h"
#include "dbui/cycle_stat_windows.h"
#include "dbui/selection_stat_windows.h"
#include "ui/frame/mdi_child.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace zev7 {

namespace {

constexpr StatWindowKind kAllKinds[] = {StatWindowKind::CycleStat, StatWindowKind::CycleCalls,
                                        StatWindowKind::CycleSettings, StatWindowKind::Summary,
                                        StatWindowKind::ParamStats};

bool followsCycle(StatWindowKind kind) {
    return kind == StatWindowKind::CycleStat || kind == StatWindowKind::CycleCalls ||
           kind == StatWindowKind::CycleSettings;
}

}  // namespace

QString statWindowName(StatWindowKind kind) {
    switch (kind) {
        case StatWindowKind::CycleStat:
            return QStringLiteral("TFormBD_StatCycle");
        case StatWindowKind::CycleCalls:
            return QStringLiteral("TFormBD_SeansCycle");
        case StatWindowKind::CycleSettings:
            return QStringLiteral("TFormDB_SetCycle");
        case StatWindowKind::Summary:
            return QStringLiteral("TFormBD_StatItog");
        case StatWindowKind::ParamStats:
            return QStringLiteral("TFormBD_StatParams");
    }
    return {};
}

StatWindows::StatWindows(IniFile* ini, UserMessages* messages, WindowFrame& frame, QObject* parent)
    : QObject(parent), ini_(ini), messages_(messages), frame_(frame) {}

StatWindow* StatWindows::window(StatWindowKind kind) const {
    return qobject_cast<StatWindow*>(frame_.childWindow(statWindowName(kind)));
}

StatWindow* StatWindows::make(StatWindowKind kind) {
    const QSqlDatabase db = DbConnection::main();
    switch (kind) {
        case StatWindowKind::CycleStat:
            return new TFormBD_StatCycle(db, ini_, messages_);
        case StatWindowKind::CycleCalls:
            return new TFormBD_SeansCycle(db, ini_, messages_);
        case StatWindowKind::CycleSettings:
            return new TFormDB_SetCycle(db, ini_, messages_);
        case StatWindowKind::Summary:
            return new TFormBD_StatItog(db, ini_, messages_);
        case StatWindowKind::ParamStats:
            return new TFormBD_StatParams(db, ini_, messages_);
    }
    return nullptr;
}

StatWindow* StatWindows::open(StatWindowKind kind) {
    if (auto* w = raiseOpenWindow<StatWindow>(frame_, statWindowName(kind))) {
        return w;
    }
    StatWindow* w = make(kind);
    connect(w, &StatWindow::openRequested, this, [this](StatWindowKind k) { open(k); });
    if (auto* calls = qobject_cast<TFormBD_SeansCycle*>(w)) {
        connect(calls, &TFormBD_SeansCycle::graphRequested, this, &StatWindows::graphRequested);
    }
    if (auto* params = qobject_cast<TFormBD_StatParams*>(w)) {
        connect(params, &TFormBD_StatParams::graphRequested, this, &StatWindows::graphRequested);
        connect(params, &TFormBD_StatParams::currentCycleChanged, this, [this](int cycleId) {
            setCurrentCycle(cycleId);
            emit currentCycleChanged(cycleId);
        });
        connect(params, &TFormBD_StatParams::exportRequested, this, &StatWindows::exportRequested);
    }
    if (frame_.addChildWindow(w) == nullptr) {
        return nullptr;
    }
    if (auto* cycle = qobject_cast<CycleWindow*>(w)) {
        cycle->showCycle(cycleId_);
    } else if (auto* summary = qobject_cast<TFormBD_StatItog*>(w)) {
        summary->setPeriod(period_);
        summary->recompute(excluded_, filter_);
    } else if (auto* params = qobject_cast<TFormBD_StatParams*>(w)) {
        params->setPeriod(period_);
        params->recompute(excluded_, filter_);
        params->selectCycle(cycleId_);
    }
    return w;
}

void StatWindows::openForCycle(StatWindowKind kind, int cycleId) {
    setCurrentCycle(cycleId);
    open(kind);
}

void StatWindows::openCycleStat(int cycleId) {
    openForCycle(StatWindowKind::CycleStat, cycleId);
}

void StatWindows::openCycleCalls(int cycleId) {
    openForCycle(StatWindowKind::CycleCalls, cycleId);
}

void StatWindows::openCycleSettings(int cycleId) {
    openForCycle(StatWindowKind::CycleSettings, cycleId);
}

void StatWindows::openSummary() {
    open(StatWindowKind::Summary);
}

void StatWindows::openParamStats() {
    open(StatWindowKind::ParamStats);
}

void StatWindows::setCurrentCycle(int cycleId) {
    // Also the same cycle again: the list may have been reloaded under it.
    cycleId_ = cycleId;
    for (StatWindowKind kind : kAllKinds) {
        if (!followsCycle(kind)) {
            continue;
        }
        if (auto* w = qobject_cast<CycleWindow*>(window(kind))) {
            w->showCycle(cycleId);
        }
    }
    if (auto* params = qobject_cast<TFormBD_StatParams*>(window(StatWindowKind::ParamStats))) {
        params->selectCycle(cycleId);
    }
}

void StatWindows::recompute(const QList<int>& excludedCycleIds, const SqlFilter& filter) {
    excluded_ = excludedCycleIds;
    filter_ = filter;
    if (auto* summary = qobject_cast<TFormBD_StatItog*>(window(StatWindowKind::Summary))) {
        summary->recompute(excluded_, filter_);
    }
    if (auto* params = qobject_cast<TFormBD_StatParams*>(window(StatWindowKind::ParamStats))) {
        params->recompute(excluded_, filter_);
    }
}

void StatWindows::setPeriod(const PeriodTexts& period) {
    period_ = period;
    if (auto* summary = qobject_cast<TFormBD_StatItog*>(window(StatWindowKind::Summary))) {
        summary->setPeriod(period_);
    }
    if (auto* params = qobject_cast<TFormBD_StatParams*>(window(StatWindowKind::ParamStats))) {
        params->setPeriod(period_);
    }
}

void StatWindows::closeAll() {
    for (StatWindowKind kind : kAllKinds) {
        if (StatWindow* w = window(kind)) {
            w->frameWindow()->close();
        }
    }
    cycleId_ = -1;
    excluded_.clear();
    filter_ = {};
}

}  // namespace zev7
