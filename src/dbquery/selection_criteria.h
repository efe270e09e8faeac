// What the engineer asks of the database: which period, which days of the week, which
// measuring stations, which outgoing and incoming numbers. Turned into the statement that copies
// the matching cycles into the working table; every typed or picked value is bound, identifiers are
// numbers.
#pragma once

#include "dbquery/period_text.h"
#include "dbquery/sql_fragment.h"

#include <QList>
#include <QString>
#include <array>

namespace zev7 {

enum class SelectionSide { Outgoing = 0, Incoming = 1 };

SelectionSide otherSide(SelectionSide side);

// The three number parts whose values the user picks from, in this order.
enum class CodePart { CityCode = 0, AddCode = 1, Exchange = 2 };
inline constexpr int kCodePartCount = 3;
QString codePartColumn(CodePart part);

struct CodeItem {
    QString value;  // "" for numbers that have no such part
    bool ticked = true;
};
using CodeList = QList<CodeItem>;

// An item of the first number list: its identifier (OUT_ID or IN_ID), its display text, its
// tick, and the identifiers of the other side's numbers the user unticked for it.
struct NumberItem {
    int id = 0;
    QString text;
    bool ticked = true;
    QList<int> excludedOthers;
};

class SelectionCriteria {
public:
    PeriodTexts period;
    SelectionSide side = SelectionSide::Outgoing;
    // Code lists of each side as last shown while that side was chosen (empty: never shown).
    std::array<std::array<CodeList, kCodePartCount>, 2> codes;
    // The first number list (numbers of the chosen side).
    QList<NumberItem> numbers;
    // The measuring stations by the names they read as (db/station_name.h), and ownStation, the
    // name a cycle stored without one reads as. Empty when the database holds the cycles of one
    // station only: nothing is restricted then.
    CodeList stations;
    QString ownStation;

    // Days of the week by DayWeekId 1 (Monday) .. 7 (Sunday).
    bool dayTicked(int dayWeekId) const;
    // Unticking the last ticked day ticks it again: a selection always has a day.
    void setDayTicked(int dayWeekId, bool ticked);
    // The same rule for a code list: the last ticked item stays ticked.
    static void setCodeTicked(CodeList& list, int index, bool ticked);

    CodeList& codeList(SelectionSide s, CodePart part);
    const CodeList& codeList(SelectionSide s, CodePart part) const;

    // The second list's tick of the other side's number otherId for the first-list item.
    bool secondTicked(int firstIndex, int otherId) const;
    void setSecondTicked(int firstIndex, int otherId, bool ticked);

    // The pieces of the statements, each starting with its own blank or " AND ".
    SqlFragment dateTimeCondition() const;
    QString dayCondition() const;
    SqlFragment codeCondition(SelectionSide s) const;
    static SqlFragment codeCondition(const QString& column, const CodeList& items);
    // Empty while every station is ticked.
    SqlFragment stationCondition() const;

    // The message that refuses the selection (no number ticked), or empty.
    QString validate() const;
    // "INSERT INTO TEMP_CYCLE SELECT * FROM TABLE_CYCLE CYC WHERE ...".
    SqlFragment selectionStatement() const;

private:
    std::array<bool, 7> days_{true, true, true, true, true, true, true};
};

}  // namespace zev7
