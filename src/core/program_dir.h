// The program directory: every relative file name of the system ("Scenar\ComPort3.scn",
// "Protocol\...", "ZEV7.ini", "ZEV7DBASE") lives under it. The environment variable ZEV7_HOME
// names it, or a tool's --home does; otherwise it is the executable's directory in a build tree,
// and the user's data folder for an installed program (core/install_layout.h).
#pragma once

#include <QString>

namespace zev7 {

QString programDir();
void setProgramDir(const QString& dir);

// Makes `dir` the program directory for as long as it lives; the directory set before (or the
// default) comes back when it ends.
class ScopedProgramDir {
public:
    explicit ScopedProgramDir(const QString& dir);
    ~ScopedProgramDir();
    ScopedProgramDir(const ScopedProgramDir&) = delete;
    ScopedProgramDir& operator=(const ScopedProgramDir&) = delete;

private:
    QString previous_;
};

// The program's relative names use "\" as on the users' machines; they are mapped here.
QString programPath(const QString& relative);

// Creates the program directory and its working folders ("Scenar", "Result", "Protocol",
// "Picture", "CFG") when missing; false when one cannot be made.
bool ensureProgramFolders();

}  // namespace zev7
