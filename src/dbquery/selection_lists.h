// The lists the selection window offers: the measuring stations of the cycles, the distinct code
// values of one side's numbers, and the numbers of one side that ran cycles in the chosen
// period.
#pragma once

#include "dbquery/selection_criteria.h"

#include <QSqlDatabase>
#include <QStringList>

namespace zev7 {

// A number read from the database as its parts joined by "/", shown with "-" for every empty
// part ("/1/" -> "-/1/-"); an empty text stays empty.
QString displayNumber(const QString& joined);

class SelectionLists {
public:
    explicit SelectionLists(QSqlDatabase db) : db_(std::move(db)) {}

    // The distinct values of one code part of the side's numbers, sorted, all ticked.
    CodeList codeValues(SelectionSide side, CodePart part);
    // The three code lists of the side, as the window loads them on a side change.
    void loadCodeLists(SelectionCriteria& criteria);

    // The measuring stations of the cycles by the names they read as, sorted, with the own
    // station's name; a station listed before keeps its tick, a new one is ticked. The list
    // stays empty when the cycles are all of one station (or of a file without stations).
    void loadStations(SelectionCriteria& criteria);

    // The numbers of listSide that have cycles matching the criteria's period and days and
    // the stations and listSide's code condition, by display text, all ticked.
    QList<NumberItem> numbers(const SelectionCriteria& criteria, SelectionSide listSide);
    // "Выбор": fills the first list (and clears its exclusions).
    void loadFirstList(SelectionCriteria& criteria);

    // The engine's text of the last query that failed, empty when none did.
    const QString& lastError() const { return error_; }
    // The failure has been reported; the next query starts clean.
    void clearError() { error_.clear(); }

private:
    QSqlDatabase db_;
    QString error_;
};

}  // namespace zev7
