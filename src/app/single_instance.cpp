#include "app/single_instance.h"

#include <QDir>

namespace zev7 {

SingleInstance::SingleInstance(const QString& directory)
    : path_(QDir(directory).filePath(QString::fromLatin1(kInstanceLockName))),
      lock_(std::make_unique<QLockFile>(path_)) {
    // Only a dead owner makes the marker stale: a copy that runs for weeks keeps it.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Result SingleInstance::acquire() {
    if (lock_->isLocked()) {
        return Result::Acquired;
    }
    // tryLock removes a marker whose process no longer runs and takes it.
    if (lock_->tryLock(0)) {
        return Result::Acquired;
    }
    switch (lock_->error()) {
        case QLockFile::LockFailedError:
            return Result::AlreadyRunning;
        default:
            error_ = QStringLiteral("%1").arg(static_cast<int>(lock_->error()));
            return Result::Failed;
    }
}

}  // namespace zev7
