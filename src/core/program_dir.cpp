#include "core/program_dir.h"

#include "core/install_layout.h"

#include <QCoreApplication>
#include <QDir>
#include <QMutex>
#include <QMutexLocker>

namespace zev7 {

namespace {
QMutex dirMutex;
QString explicitDir;

QString defaultDir() {
    const QByteArray home = qgetenv("ZEV7_HOME");
    if (!home.isEmpty()) {
        return QDir(QString::fromLocal8Bit(home)).absolutePath();
    }
    const QString exe = QCoreApplication::instance() != nullptr
                            ? QCoreApplication::applicationDirPath()
                            : QDir::currentPath();
    return installedDataDir(exe).isEmpty() ? exe : userProgramDir();
}
}  // namespace

QString programDir() {
    QMutexLocker lock(&dirMutex);
    return explicitDir.isEmpty() ? defaultDir() : explicitDir;
}

void setProgramDir(const QString& dir) {
    QMutexLocker lock(&dirMutex);
    explicitDir = dir.isEmpty() ? QString() : QDir(dir).absolutePath();
}

ScopedProgramDir::ScopedProgramDir(const QString& dir) {
    QMutexLocker lock(&dirMutex);
    previous_ = explicitDir;
    explicitDir = dir.isEmpty() ? QString() : QDir(dir).absolutePath();
}

ScopedProgramDir::~ScopedProgramDir() {
    setProgramDir(previous_);
}

QString programPath(const QString& relative) {
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isAbsolutePath(rel)) {
        return rel;
    }
    return QDir(programDir()).filePath(rel);
}

bool ensureProgramFolders() {
    QDir dir(programDir());
    if (!dir.mkpath(QStringLiteral("."))) {
        return false;
    }
    for (const char* name : {"Scenar", "Result", "Protocol", "Picture", "CFG"}) {
        if (!dir.mkpath(QString::fromLatin1(name))) {
            return false;
        }
    }
    return true;
}

}  // namespace zev7
