// The list of selected cycles ("Выбранные циклы"): one row per cycle in the working tables
// that passes the filter, its measuring station, a loss percentage above its norm in red, the
// confidence of its verdict last (after the older columns, whose stored widths keep their
// places), and the rows the user took out of the totals in grey until "Обновить выборку" removes
// them.
#pragma once

#include "dbquery/record_filter.h"
#include "dbquery/stat_table_model.h"

#include <QSet>

namespace zev7 {

class CycleListModel : public StatTableModel {
    Q_OBJECT
public:
    explicit CycleListModel(QSqlDatabase db, QObject* parent = nullptr);

    // (Re)reads the list; every cycle counts again.
    bool load(const SqlFilter& filter);

    int cycleId(int row) const;
    // The "Учет цикла" tick of a row.
    bool isIncluded(int row) const;
    void setIncluded(int row, bool included);
    // The cycles whose tick is cleared, for the totals and "Обновить выборку".
    QList<int> excludedCycleIds() const;
    // The row showing that cycle, or -1 (rows are fetched up to it when needed).
    int rowOfCycle(int cycleId);
    // All rows of the list, also those not fetched yet.
    int totalRows() const { return totalRows_; }

    bool isRed(int row, int column) const override;
    std::optional<LossConfidence> confidenceAt(int row) const override;

    static QColor excludedBackground();

protected:
    QVariant rowBackground(int row) const override;
    QVariant rowForeground(int row) const override;

private:
    QSet<int> excluded_;
    int totalRows_ = 0;
};

}  // namespace zev7
