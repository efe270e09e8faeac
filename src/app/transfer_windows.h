// The deletion and import windows in the main window's menu ("N17", "N18"), each opened
// modally behind the database guard; and their pictures for the README.
#pragma once

#include <QString>

namespace zev7 {

class IniFile;
class TMainForm;

// The import window keeps the folder of its last import in `ini`.
void provideTransferWindows(TMainForm& window, IniFile* ini);
// Photographs both windows over the database as it is, into directory.
void shootTransferWindows(const QString& directory);

}  // namespace zev7
