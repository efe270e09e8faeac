// The statistics windows in a bare MDI area standing in for the main window, and the figures
// of the stored test calls counted here, call by call, to check the windows' sums against.
#pragma once

#include "core/ini_file.h"
#include "db/db_connection.h"
#include "db/demo_database.h"
#include "dbquery/selection_criteria.h"
#include "dbquery/stat_table_model.h"
#include "dbquery/working_selection.h"
#include "dbui/stat_windows.h"
#include "scenario/result_code.h"
#include "support/every_number_criteria.h"
#include "ui/frame/mdi_child.h"
#include "ui/ui_test_support.h"

#include <gtest/gtest.h>
#include <QColor>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSqlQuery>
#include <QTableView>

#include <array>
#include <map>

namespace zev7::test {

struct MdiFrame : WindowFrame {
    WindowFrame& frame() { return *this; }

    QMdiSubWindow* addChildWindow(QWidget* w) override {
        QMdiSubWindow* sub = area.addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->show();
        if (auto* child = qobject_cast<MdiChild*>(w)) {
            child->restoreLayout();
        }
        return sub;
    }
    QWidget* childWindow(const QString& name) const override {
        for (QMdiSubWindow* sub : area.subWindowList()) {
            if (sub->widget() != nullptr && sub->widget()->objectName() == name) {
                return sub->widget();
            }
        }
        return nullptr;
    }

    QApplication& app = uiApp();  // before the first widget
    QMdiArea area;
};

// One cycle as its test calls say: attempts, successes, losses and the 13 categories by result
// parameter (index 1..16), the norm it is judged by.
struct CountedCycle {
    std::array<int, 17> counts{};
    int state = 0;
    double norm = 0.0;
};

inline std::map<int, CountedCycle> countStoredCalls() {
    std::map<int, CountedCycle> out;
    QSqlQuery q(DbConnection::main());
    q.exec(QStringLiteral("SELECT CYCLE_ID, CONNECT_ID FROM Table_Seans"));
    while (q.next()) {
        CountedCycle& c = out[q.value(0).toInt()];
        const ResultCode outcome{q.value(1).toInt()};
        ++c.counts[1];
        if (outcome == ResultCode::Success) {
            ++c.counts[2];
        } else {
            ++c.counts[3];
            ++c.counts[4 + lossCategoryIndex(outcome)];
        }
    }
    // The norm: for the minimum number of attempts when the cycle ended there (state 1).
    q.exec(QStringLiteral(
        "SELECT C.CYCLE_ID, C.STATE_ID, S.PARAM_CYCLE_ID, S.SETCYC_VALUE FROM Table_Cycle C, "
        "Table_Sett_Cycle_Dec S WHERE S.CYCLE_ID=C.CYCLE_ID AND S.PARAM_CYCLE_ID IN (3,4)"));
    while (q.next()) {
        auto it = out.find(q.value(0).toInt());
        if (it == out.end()) {
            continue;
        }
        it->second.state = q.value(1).toInt();
        if ((it->second.state == 1) == (q.value(2).toInt() == 3)) {
            it->second.norm = q.value(3).toDouble();
        }
    }
    return out;
}

// A generated database of `cycles` cycles, every one of them selected.
inline void loadDemoSelection(int cycles, int callsPerCycle, UserMessages& messages) {
    DemoDatabaseSpec spec;
    spec.cycles = cycles;
    spec.callsPerCycle = callsPerCycle;
    ASSERT_EQ(fillDemoDatabase(spec, messages).failures, 0);
    WorkingSelection selection(DbConnection::main());
    ASSERT_TRUE(
        selection.load(everyNumberCriteria(QStringLiteral("01.01.26"), QStringLiteral("31.12.26"))))
        << selection.lastError().toStdString();
}

inline QString cell(const QTableView* grid, int row, int column) {
    return grid->model()->index(row, column).data().toString();
}

inline bool redCell(const QTableView* grid, int row, int column) {
    return grid->model()->index(row, column).data(Qt::BackgroundRole).value<QColor>() ==
           StatTableModel::alarmColour();
}

inline QString fixed2(double v) {
    return QString::number(v, 'f', 2);
}

}  // namespace zev7::test
