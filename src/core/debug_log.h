// "debug.txt" in the program directory: system error numbers of the serial port set-up, for
// whoever has to find out why a port would not open on a user's machine. The first line of a
// program run starts the file afresh; every thread may write to it.
#pragma once

#include <QString>

namespace zev7 {

void DebugLog(const QString& text);

}  // namespace zev7
