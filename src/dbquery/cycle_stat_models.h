// The three grids that follow the current row of the cycle list: the results of the cycle,
// its test calls, its settings.
#pragma once

#include "dbquery/stat_table_model.h"

namespace zev7 {

// "Статистика цикла попыток  вызовов": the 16 results of one cycle; only the loss row carries
// the norm, and only there a percentage above the norm is red and the verdict's confidence shown.
class CycleStatModel : public StatTableModel {
    Q_OBJECT
public:
    explicit CycleStatModel(QSqlDatabase db, QObject* parent = nullptr);
    bool showCycle(int cycleId);
    bool isRed(int row, int column) const override;
    std::optional<LossConfidence> confidenceAt(int row) const override;
};

// "Вызовы цикла": the test calls of one cycle with their measurements, through the working
// table TEMP_RESSEANS, which holds the current cycle's rows while the window is open.
class CycleCallsModel : public StatTableModel {
    Q_OBJECT
public:
    explicit CycleCallsModel(QSqlDatabase db, QObject* parent = nullptr);
    bool showCycle(int cycleId);
    // The window closes: the working table is emptied.
    bool clearWorkingTable();
};

// "Параметры настройки цикла": the 24 settings the cycle ran with.
class CycleSettingsModel : public StatTableModel {
    Q_OBJECT
public:
    explicit CycleSettingsModel(QSqlDatabase db, QObject* parent = nullptr);
    bool showCycle(int cycleId);
};

}  // namespace zev7
