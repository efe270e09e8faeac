// The selected cycles in the working tables TEMP_CYCLE and TEMP_RESCYCLE, from "Показать
// циклы" until the list window closes: loading, the totals row, removing the cycles the user
// took out, emptying.
#pragma once

#include "dbquery/record_filter.h"
#include "dbquery/selection_criteria.h"
#include "scenario/loss_confidence.h"

#include <QList>
#include <QSqlDatabase>
#include <QVariant>
#include <optional>

namespace zev7 {

// The totals row of "Получить итог".
struct SelectionTotals {
    QVariant attempts;  // S1
    QVariant losses;    // S2
    QVariant percent;   // S2_S1: losses in percent of attempts (null without attempts)
    QVariant minNorm;   // NORM: the smallest norm of the selection
    // The loss percentage is above the smallest norm: its cell is red.
    bool aboveNorm() const;
    // The confidence of the selection's verdict against its smallest norm (nothing before the
    // totals are computed or without attempts).
    std::optional<LossConfidence> confidence() const;
    static QStringList headers();
};

// " AND NOT CYC.CYCLE_ID IN ( ... ) " for the cycles the user took out, or empty.
QString exclusionCondition(const QList<int>& excludedCycleIds);

class WorkingSelection {
public:
    explicit WorkingSelection(QSqlDatabase db) : db_(std::move(db)) {}

    // Replaces the working tables' content with the cycles the criteria select, with their
    // attempts, losses and norm. Nothing changes when the criteria are refused (see
    // SelectionCriteria::validate) or the database fails; false then, with the text in
    // lastError().
    bool load(const SelectionCriteria& criteria);
    // "Обновить выборку": the cycles taken out leave the working tables.
    bool drop(const QList<int>& cycleIds);
    // Empties the working tables (the list window closes).
    bool clear();

    SelectionTotals totals(const QList<int>& excludedCycleIds, const SqlFilter& filter);

    const QString& lastError() const { return error_; }

private:
    // The engine told what the table holds now.
    bool workTableFilled(const QString& table);

    QSqlDatabase db_;
    QString error_;
};

}  // namespace zev7
