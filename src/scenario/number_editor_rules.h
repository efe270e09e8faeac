// The rules of the number editor ("Введите номер:") as plain functions: what may be typed into
// a dialling field, how the fields are completed when the user presses OK, and how the
// enumeration controls of a field behave. The editor window calls them; zev7-scn applies the
// same rules to numbers given on its command line.
#pragma once

#include "scenario/records.h"

#include <QString>
#include <array>
#include <cstdint>
#include <span>

namespace zev7 {

class UserMessages;

using NumberFields = std::array<QString, kNumberFieldCount>;

inline constexpr int kNumberFieldMaxLength = kNumberFieldSize - 1;  // characters
inline constexpr int kEnumEndMaximum = 10'000'000;                  // end-value spin edit
inline constexpr int kEnumStepLimit = 10'000'000;                   // step spin edit, +/-

// The editor's label of a field ("Преднабор 1" ... "Донабор").
QString numberFieldLabel(int field);
NumberFields numberFields(const TelNumber& number);

// ---- Typing check ----------------------------------------------------------------------------

// True when the symbol may stand in the field at this point: digits, P, T, W, ",", "!" and
// "-" anywhere; #, *, A-D only while the running tone flag is set (after T); brackets only in
// the city code.
bool isAcceptedSymbol(QChar c, int field, bool tone);

struct TypedField {
    QString text;  // the text with every wrong symbol removed
    int wrongSymbols = 0;
};
// Scans the text from its first symbol with the flag at pulse; a wrong symbol is removed and
// the scan starts again from the beginning.
TypedField cleanTypedField(const QString& text, int field);
// The same, reporting "Неверный символ!" once for every symbol removed.
QString typingCheck(const QString& text, int field, UserMessages& messages);

// ---- OK --------------------------------------------------------------------------------------

// Completes a field as OK does: "-" dropped from longer texts, pulse dialling ("P") put in
// front of a text that does not choose, an empty field made "-", and a city code cut to its
// brackets ("8(495)" becomes "(495)").
QString normalizeField(const QString& text);

// OK of the editor on the typed fields. The fields are normalised in place (the editor shows
// them so), checked with the incoming wording, refused when a field has grown past 19
// characters, then stored into the number being edited: the cycle `cycleIndex`'s incoming
// number, or the header's outgoing number when `cycleIndex` is -1. An edited cycle's anyEnum
// follows its enumeration switches. Finally no cycle may call the outgoing number. False when
// the editor must stay open (the message has been shown); the caller then restores its copy
// on Cancel, since the number has been stored already when only the last check fails.
bool acceptNumberEdit(NumberFields& fields, ScenarHeader& header, std::span<CycleRecord> cycles,
                      int cycleIndex, UserMessages& messages);

// anyEnum := 1 when any of the seven enumeration entries is on.
void updateAnyEnum(CycleRecord& cycle);

// ---- Enumeration controls (cycle mode) -------------------------------------------------------

// What a field's enumeration controls show.
struct EnumControls {
    bool enabled = false;  // the check box; a number without a start value >= 1 can't count
    bool checked = false;
    int endMaximum = 0;          // 10^(digits of the start value) - 1, at most kEnumEndMaximum
    int endShown = 0;            // endValue while checked, else 0
    int stepShown = 1;           // step while checked, else 1
    bool valuesEnabled = false;  // the end-value and step edits
};

int enumEndMaximum(const QString& fieldText);
// An end value that lies against the step's direction is replaced by the start value.
std::int32_t clampEnumEnd(std::int64_t value, std::int64_t start, std::int32_t step);

// The editor opens on the field: a field that cannot be enumerated has its switch off.
EnumControls enumOnOpen(NumEnum& entry, const QString& fieldText);
// The field's text changed: the switch goes off when the start value vanishes, and the end
// value is pulled to the start value when it lies against the step.
EnumControls enumOnTextChange(NumEnum& entry, const QString& fieldText);
EnumControls enumOnCheck(NumEnum& entry, const QString& fieldText, bool checked);
EnumControls enumOnEndChange(NumEnum& entry, const QString& fieldText, std::int64_t value);
// A step of 0 would never move: it becomes 1.
EnumControls enumOnStepChange(NumEnum& entry, const QString& fieldText, std::int64_t value);

}  // namespace zev7
