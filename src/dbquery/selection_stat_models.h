// The two grids over all selected cycles: the loss statistics of the selection and the table
// of every cycle's counts and mean levels. Both leave out the cycles the user took out of the
// totals and honour the filter.
#pragma once

#include "dbquery/record_filter.h"
#include "dbquery/stat_table_model.h"

namespace zev7 {

// "Статистика циклов": each result summed over the selection, in percent of the summed
// attempts; the loss row carries the smallest norm and turns red above it.
class SummaryStatModel : public StatTableModel {
    Q_OBJECT
public:
    explicit SummaryStatModel(QSqlDatabase db, QObject* parent = nullptr);
    bool recompute(const QList<int>& excludedCycleIds, const SqlFilter& filter);
    bool isRed(int row, int column) const override;
};

// "Статистика измерений параметра по циклам": one row per selected cycle that has
// measurements; successes, losses and the 13 loss categories shown as counts or percentages.
class ParamStatModel : public StatTableModel {
    Q_OBJECT
public:
    explicit ParamStatModel(QSqlDatabase db, QObject* parent = nullptr);
    bool recompute(const QList<int>& excludedCycleIds, const SqlFilter& filter);

    // "КПВ,шт" (false) or "КПВ,%" (true): switches the columns and their titles.
    void setPercentMode(bool percent);
    bool percentMode() const { return percent_; }

    int cycleId(int row) const;
    bool isRed(int row, int column) const override;

private:
    void updateColumns();
    bool percent_ = false;
};

}  // namespace zev7
