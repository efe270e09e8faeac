// The column widths of a database window's grid, kept in "ZEV7.ini" in the window's section, so
// that a grid the engineer widened for long numbers comes back as it was left.
#pragma once

#include <QString>

class QTableView;

namespace zev7 {

class IniFile;

void writeColumnWidths(const QTableView& grid, IniFile& ini, const QString& section);
// Widths that are missing, or not a sensible width, leave the column as it is. true when the
// file had a width for every column.
bool readColumnWidths(QTableView& grid, const IniFile& ini, const QString& section);

}  // namespace zev7
