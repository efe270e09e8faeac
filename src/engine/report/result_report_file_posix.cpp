#include <QtGlobal>

#if !defined(Q_OS_WIN)

#include "engine/report/result_report_file.h"

#include <sys/file.h>
#include <unistd.h>
#include <QFile>
#include <cerrno>

namespace zev7 {

bool lockReportFile(QFile& file) {
    if (::flock(file.handle(), LOCK_EX | LOCK_NB) == 0) {
        return true;
    }
    return errno != EWOULDBLOCK;
}

void unlockReportFile(QFile& file) {
    ::flock(file.handle(), LOCK_UN);
}

bool syncReportFile(QFile& file) {
    // A file that cannot be synced at all (a device, some network file systems) is written
    // through the system as it stands; only a failed sync is a failed write.
    return ::fsync(file.handle()) == 0 || errno == EINVAL || errno == EROFS;
}

}  // namespace zev7

#endif
