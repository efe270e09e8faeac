// Where an installed program finds its data. Installed ("cmake --install", the Debian package),
// the programs lie in "<prefix>/bin", which they may not write to, and their data in
// "<prefix>/share/zev7"; their program directory is then the user's data folder
// ("~/.local/share/zev7"), shared by every program of the installation. In a build tree the
// help pages lie beside the executable, which is the program directory.
#pragma once

#include <QString>

namespace zev7 {

// The installation's own data (the help pages, the demo scenario) seen from the folder of an
// installed executable; empty for a build tree.
QString installedDataDir(const QString& executableDir);

// The program directory of an installed program without ZEV7_HOME: "zev7" in the user's data
// folder ($XDG_DATA_HOME, by default ~/.local/share).
QString userProgramDir();

// The help pages: "help" in the installation's data, or beside the executable in a build tree.
QString helpDir();

}  // namespace zev7
