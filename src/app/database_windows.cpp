#include "app/database_windows.h"

#include "app/main_window.h"
#include "core/ini_file.h"
#include "core/strings.h"
#include "db/db_connection.h"
#include "db/db_location.h"
#include "dbui/db_graph_windows.h"
#include "dbui/db_settings_dialog.h"
#include "dbui/stat_windows.h"
#include "dbui/tform_bd.h"
#include "dbui/tform_interface_bd.h"
#include "dbui/tform_process.h"
#include "dbui/tform_view_bd1.h"
#include "scenario/user_messages.h"
#include "ui/frame/mdi_child.h"

#include <QAction>
#include <QDate>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace zev7 {

namespace {

// The reason DbConnection::setup gives, kept for the one message that says the settings were
// not taken.
class KeptReason : public UserMessages {
public:
    void show(MessageIcon, const QString&, const QString& text) override { text_ = text; }
    bool ask(const QString&, const QString&) override { return false; }
    const QString& text() const { return text_; }

private:
    QString text_;
};

}  // namespace

QKeySequence monitorShortcut() {
    return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M);
}

DatabaseWindows::DatabaseWindows(TMainForm& window, IniFile& ini, UserMessages& messages,
                                 std::function<QDate()> today, QObject* parent)
    : QObject(parent), window_(window), ini_(ini), messages_(messages), today_(std::move(today)) {}

QStringList DatabaseWindows::statisticsWindowNames() {
    return {QStringLiteral("TFormBD_StatCycle"), QStringLiteral("TFormBD_SeansCycle"),
            QStringLiteral("TFormDB_SetCycle"), QStringLiteral("TFormBD_StatItog"),
            QStringLiteral("TFormBD_StatParams")};
}

void DatabaseWindows::provideMenuItems() {
    window_.provideWindow("N14", [this] { openSelection(); });
    window_.provideWindow("N13", [this] { openMonitor(); });
    window_.provideWindow("N16", [this] { compact(); });
    window_.provideWindow("NDbSettings", [this] { openSettings(); });
    // The monitor is a developer's tool: its item stays out of the menu and its key works from
    // the whole frame (a hidden menu item would take its key with it).
    if (auto* item = window_.findChild<QAction*>(QStringLiteral("N13"))) {
        item->setVisible(false);
        auto* key = new QAction(&window_);
        key->setShortcut(monitorShortcut());
        window_.addAction(key);
        connect(key, &QAction::triggered, item, &QAction::trigger);
    }
}

template <class W>
W* DatabaseWindows::existing() const {
    return raiseOpenWindow<W>(window_, W::windowName());
}

TForm_InterfaceBD* DatabaseWindows::openSelection() {
    if (auto* w = existing<TForm_InterfaceBD>()) {
        return w;
    }
    auto* w = new TForm_InterfaceBD(DbConnection::main(), messages_, &ini_, today_());
    connect(w, &TForm_InterfaceBD::showCyclesRequested, this,
            [this](const SelectionCriteria& criteria) { showCycles(criteria); });
    return window_.addChildWindow(w) != nullptr ? w : nullptr;
}

TForm_ViewBD1* DatabaseWindows::showCycles(const SelectionCriteria& criteria) {
    auto* w = existing<TForm_ViewBD1>();
    if (w == nullptr) {
        w = new TForm_ViewBD1(DbConnection::main(), messages_, &ini_);
        // The statistics windows live only as long as the list they describe.
        connect(w, &QObject::destroyed, this, [this] {
            for (const QString& name : statisticsWindowNames()) {
                if (QWidget* stat = window_.childWindow(name)) {
                    stat->parentWidget()->close();
                }
            }
            if (graphs_ != nullptr) {
                graphs_->closeAll();
            }
        });
        if (window_.addChildWindow(w) == nullptr) {
            return nullptr;
        }
        connectStatWindows(w);
    }
    if (stats_ != nullptr) {
        stats_->setPeriod(criteria.period);
    }
    w->loadSelection(criteria);
    return w;
}

void DatabaseWindows::connectStatWindows(TForm_ViewBD1* list) {
    if (graphs_ != nullptr) {
        connect(list, &TForm_ViewBD1::cycleDiagramRequested, graphs_,
                &DbGraphWindows::openCycleDiagrams);
        connect(list, &TForm_ViewBD1::summaryDiagramRequested, graphs_,
                &DbGraphWindows::openSummaryDiagrams);
        connect(list, &TForm_ViewBD1::currentCycleChanged, graphs_,
                &DbGraphWindows::setCurrentCycle);
        connect(list, &TForm_ViewBD1::selectionChanged, graphs_, &DbGraphWindows::recompute);
        if (stats_ != nullptr) {
            connect(stats_, &StatWindows::graphRequested, graphs_,
                    [graphs = graphs_](int kind) { graphs->open(kind); });
        }
    }
    if (stats_ == nullptr) {
        return;
    }
    connect(list, &TForm_ViewBD1::cycleStatRequested, stats_, &StatWindows::openCycleStat);
    connect(list, &TForm_ViewBD1::cycleCallsRequested, stats_, &StatWindows::openCycleCalls);
    connect(list, &TForm_ViewBD1::cycleSettingsRequested, stats_, &StatWindows::openCycleSettings);
    connect(list, &TForm_ViewBD1::summaryRequested, stats_, &StatWindows::openSummary);
    connect(list, &TForm_ViewBD1::paramStatsRequested, stats_, &StatWindows::openParamStats);
    connect(list, &TForm_ViewBD1::currentCycleChanged, stats_, &StatWindows::setCurrentCycle);
    connect(list, &TForm_ViewBD1::selectionChanged, stats_, &StatWindows::recompute);
    // Moving in the parameter table moves the list to that cycle.
    connect(stats_, &StatWindows::currentCycleChanged, list, &TForm_ViewBD1::showCycle);
}

TForm_BD* DatabaseWindows::openMonitor() {
    if (auto* w = existing<TForm_BD>()) {
        return w;
    }
    auto* w = new TForm_BD(DbConnection::main(), messages_, &ini_, today_());
    w->setGuard([this] { return window_.databaseGuard(); });
    return window_.addChildWindow(w) != nullptr ? w : nullptr;
}

void DatabaseWindows::compact() {
    if (!window_.databaseGuard()) {
        return;
    }
    TForm_Process process(messages_, &window_);
    process.exec();
}

void DatabaseWindows::openSettings() {
    DbSettingsDialog dialog(DbLocation::fromOptions(DbConnection::options()), messages_, &window_);
    dialog.onApply = [this](const DbLocation& place) { return applyLocation(place); };
    dialog.exec();
}

bool DatabaseWindows::applyLocation(const DbLocation& place) {
    if (!window_.databaseGuard()) {
        return false;
    }
    // The monitor reads through the connection that is about to be bound elsewhere.
    if (QWidget* monitor = window_.childWindow(TForm_BD::windowName())) {
        monitor->parentWidget()->close();
    }
    const DbOptions previous = DbConnection::options();
    const QString refusedBefore = DbConnection::refusal();
    KeptReason reason;
    if (!DbConnection::setup(&reason, place.toOptions(previous))) {
        // Never the file in place of a server that was chosen, nor the reverse: what was bound
        // before is bound again (a server that did not answer is tried again by the next
        // write), and a database part that was off stays off.
        if (refusedBefore.isEmpty()) {
            DbConnection::setup(nullptr, previous);
        } else {
            DbConnection::refuse(refusedBefore);
        }
        messages_.error(txt(str::DbSetApplyFailed).arg(reason.text()));
        return false;
    }
    place.toIni(ini_);
    // Written now: a program that ends by a power cut must come back to this database.
    ini_.save();
    return true;
}

}  // namespace zev7
