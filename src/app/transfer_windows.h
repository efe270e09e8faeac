// The deletion and import windows in the main window's menu ("N17", "N18"), each opened
// modally behind the database guard; and their pictures for the README.
#pragma once

#include <QString>

namespace zev7 {

class TMainForm;

void provideTransferWindows(TMainForm& window);
// Photographs both windows over the database as it is, into directory.
void shootTransferWindows(const QString& directory);

}  // namespace zev7
