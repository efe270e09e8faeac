#include <QtGlobal>

#if defined(Q_OS_WIN)

#include "engine/report/result_report_file.h"

#include <io.h>
#include <windows.h>
#include <QFile>

namespace zev7 {

namespace {

HANDLE nativeHandle(QFile& file) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
}

}  // namespace

bool lockReportFile(QFile& file) {
    const HANDLE h = nativeHandle(file);
    if (h == INVALID_HANDLE_VALUE) {
        return true;
    }
    OVERLAPPED whole{};
    if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                   &whole)) {
        return true;
    }
    return GetLastError() != ERROR_LOCK_VIOLATION;
}

void unlockReportFile(QFile& file) {
    const HANDLE h = nativeHandle(file);
    if (h != INVALID_HANDLE_VALUE) {
        OVERLAPPED whole{};
        UnlockFileEx(h, 0, MAXDWORD, MAXDWORD, &whole);
    }
}

bool syncReportFile(QFile& file) {
    const HANDLE h = nativeHandle(file);
    return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h) != 0;
}

}  // namespace zev7

#endif
