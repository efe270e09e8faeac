// The database windows' pictures of the screenshot tour: the selection window with the numbers
// the demo runs called, and the list of the selected cycles with its totals row.
#pragma once

#include <QString>
#include <functional>

namespace zev7 {

class TMainForm;

// Opens the windows through the main window's menu as the user would, lays them out and calls
// shoot with each picture's name.
void shootDatabaseWindows(TMainForm& window, const std::function<void(const QString&)>& shoot);

}  // namespace zev7
