#include "core/install_layout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef ZEV7_DATA_FROM_BIN
#define ZEV7_DATA_FROM_BIN "../share/zev7"
#endif

namespace zev7 {

QString installedDataDir(const QString& executableDir) {
    // Its help contents mark the installation: a build tree has no such folder beside bin.
    const QDir data(QDir(executableDir).filePath(QStringLiteral(ZEV7_DATA_FROM_BIN)));
    return QFileInfo::exists(data.filePath(QStringLiteral("help/index.html"))) ? data.absolutePath()
                                                                               : QString();
}

QString userProgramDir() {
    // One folder for every program of the installation, whichever of them is started: the
    // tools' application names differ from the desktop program's.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("zev7"));
}

QString helpDir() {
    const QString exe = QCoreApplication::applicationDirPath();
    const QString data = installedDataDir(exe);
    return QDir(data.isEmpty() ? exe : data).filePath(QStringLiteral("help"));
}

}  // namespace zev7
