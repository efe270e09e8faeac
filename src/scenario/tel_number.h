// Telephone numbers: the seven dialling fields of a TelNumber, their dialable symbols, the
// comparison and check of numbers, the enumeration of a cycle's incoming number, the dialling
// time estimate and the commands the number is dialled with.
#pragma once

#include "scenario/records.h"
#include "teliq/dial_time.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace zev7 {

class UserMessages;

inline constexpr char kEmptyField[] = "-";
inline constexpr char kNumberSeparator[] = "/";

// A field's text (Windows-1251 decoded) and its replacement (zero-filled, cut to 19 bytes).
QString numberField(const TelNumber& number, int field);
void setNumberField(TelNumber& number, int field, const QString& text);
QString numberText(const TelNumber& number);

// The seven fields joined by the separator.
QString JoinNumber(const TelNumber& number, const QString& separator);
// Rebuilds the display text from the fields (the 140 bytes are zero-filled first).
void rebuildNumberText(TelNumber& number);
// Every field "-" and the display text "-/-/-/-/-/-/-".
void clearNumber(TelNumber& number);

// The symbols of a field the modem actually dials: #, *, 0-9, A-D in upper case; empty for
// "-" or an empty field.
QString DialChars(const QString& field);

// Two numbers reach the same line when the dialable symbols of the city code, additional
// code, exchange and number on the exchange agree; pre-dial fields and ADD_CALL don't count.
bool SameNumber(const TelNumber& a, const TelNumber& b);
// The symbols SameNumber compares: equal keys are the same line.
QString DialledKey(const TelNumber& number);

// Whose line the number is: the wording of the check's messages differs.
enum class NumberRole { Incoming, Outgoing };

// The check's message for a number that lacks a part, or an empty text when it is complete.
QString numberProblem(const TelNumber& number, NumberRole role);
// Checks the number; an incomplete one is reported ("Ошибка!") and gives false. In batch mode
// the report also ends the batch item.
bool CheckNumber(const TelNumber& number, NumberRole role, UserMessages& messages);

// The first run of decimal digits in a field: the number enumeration counts with it.
struct DigitRun {
    qsizetype position = 0;
    qsizetype length = 0;
    std::int64_t value = 0;  // saturates at kMaxDigitRunValue for absurdly long runs
};
inline constexpr std::int64_t kMaxDigitRunValue = 999'999'999'999'999'999;
std::optional<DigitRun> firstDigitRun(const QString& text);
// The start value of an enumeration: the first digit run, 0 when there is none.
std::int64_t enumStartValue(const QString& text);

// How many numbers the field yields: 1 without enumeration.
int EnumCount(const NumEnum& entry, const QString& fieldText);

// Advances the cycle's incoming number to the next number of its enumeration, the rightmost
// enumerated field turning fastest. False when the series is exhausted: every enumerated
// field is then back at its first value.
bool NextNumber(CycleRecord& cycle);

// The dial commands of a number, one per stage, exactly as the port thread sends them before
// its level query ("%T12%V"): "ATD" + the display text + ";" in upper case, without a
// bracketed city code, split at every W (the W itself is not sent: the port thread waits for
// the next dial tone instead), with "/" and "-" removed. A number stored as
// P8W, -, (495), -, P123, P4567, - gives "ATDP8;" and "ATDP123P4567;".
QStringList dialCommands(const TelNumber& number);

}  // namespace zev7
