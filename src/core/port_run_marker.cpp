#include "core/port_run_marker.h"

#include "core/program_dir.h"

#include <QFileInfo>

namespace zev7 {

namespace {

constexpr int kFirstMarkedPort = 1;
constexpr int kLastMarkedPort = 64;

std::unique_ptr<QLockFile> makeLock(int port) {
    auto lock = std::make_unique<QLockFile>(PortRunMarker::path(port));
    // A port runs for days: only a dead holder makes a marker stale, never its age.
    lock->setStaleLockTime(0);
    return lock;
}

}  // namespace

PortRunMarker::PortRunMarker(int port) : port_(port) {}

PortRunMarker::~PortRunMarker() {
    release();
}

bool PortRunMarker::acquire() {
    if (held()) {
        return true;
    }
    lock_ = makeLock(port_);
    if (!lock_->tryLock(0)) {
        lock_.reset();
        return false;
    }
    return true;
}

void PortRunMarker::release() {
    if (lock_) {
        lock_->unlock();
        lock_.reset();
    }
}

bool PortRunMarker::held() const {
    return lock_ && lock_->isLocked();
}

QString PortRunMarker::path(int port) {
    return programPath(QStringLiteral("Scenar\\ComPort%1.lock").arg(port));
}

QList<int> PortRunMarker::runningPorts() {
    QList<int> ports;
    for (int port = kFirstMarkedPort; port <= kLastMarkedPort; ++port) {
        if (!QFileInfo::exists(path(port))) {
            continue;
        }
        // Taking a marker succeeds only when its holder is gone; it is then given back at once,
        // which removes the file.
        std::unique_ptr<QLockFile> probe = makeLock(port);
        if (probe->tryLock(0)) {
            probe->unlock();
        } else if (probe->error() == QLockFile::LockFailedError) {
            ports << port;
        }
    }
    return ports;
}

}  // namespace zev7
