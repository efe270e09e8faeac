// The layout of the tables an import reads: a field's name, type and size, the layout every
// ZEV7 result table must have in a source (the installed database's, as the Windows
// installations' Paradox tables hold it), and the older layout of the two measurement tables
// that the parameter maps convert.
#pragma once

#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace zev7 {

enum class FieldType { AutoIncrement, Integer, Short, Date, Time, Real, Text, Other };

struct FieldDef {
    QString name;
    FieldType type = FieldType::Other;
    int size = 0;  // bytes; for a text its length in characters

    bool operator==(const FieldDef& other) const {
        return name.compare(other.name, Qt::CaseInsensitive) == 0 && type == other.type &&
               size == other.size;
    }
};

using TableLayout = QList<FieldDef>;

// The file name by which the messages name a table: "Table_Seans.db".
QString sourceFileName(const QString& table);

// A result table in the layout of the installed database, as its Paradox file has it.
// Empty for a table that is not a result table.
TableLayout installedLayout(const QString& table);

// The older layout: Table_ResCycle with a count row and a percentage row per parameter
// (PARAM_RESCYC_ID 1 and 2), Table_ResSeans with two more fields.
bool isOldResCycleLayout(const TableLayout& layout);
bool isOldResSeansLayout(const TableLayout& layout);

// Index of a field by name in a layout, -1 when absent.
int fieldIndex(const TableLayout& layout, const QString& name);

// The parameter maps of the older layout: element r - 1 is the old identifier of the new
// identifier r, 0 where the older layout had no such value.
inline constexpr std::array<int, 16> kOldResultParamOf = {1, 2, 11, 4, 5,  0, 6, 7,
                                                          0, 8, 9,  0, 10, 3, 0, 0};
inline constexpr std::array<int, 24> kOldCycleSettingOf = {
    34, 1, 35, 5, 0, 0, 0, 11, 10, 13, 0, 15, 16, 18, 0, 0, 2, 0, 23, 0, 0, 0, 0, 0};
// PARAM_RESCYC_ID of the older Table_ResCycle: which of the two values a row holds.
inline constexpr int kOldCountRow = 1;
inline constexpr int kOldPercentRow = 2;

}  // namespace zev7
