// A program directory of a test's own: a temporary folder that is the program directory while
// the object lives, with the program's working folders made when asked.
#pragma once

#include "core/program_dir.h"

#include <QTemporaryDir>

namespace zev7::test {

class TempHome {
public:
    enum Folders { Bare, WithFolders };

    explicit TempHome(Folders folders = Bare) : scope_(dir_.path()) {
        valid_ = dir_.isValid() && (folders == Bare || ensureProgramFolders());
    }

    // The folder exists (and so do the working folders when asked for).
    bool isValid() const { return valid_; }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    ScopedProgramDir scope_;
    bool valid_ = false;
};

}  // namespace zev7::test
