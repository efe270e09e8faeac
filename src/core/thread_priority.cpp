#include "core/thread_priority.h"

#include <QtGlobal>

#if defined(Q_OS_WIN)
#include <windows.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace zev7 {

namespace {

#if !defined(Q_OS_WIN)
// Ahead of ordinary work by a wide margin, still behind the system's own urgent threads.
constexpr int kLineNice = -10;
#endif

}  // namespace

bool raiseThreadPriority() {
#if defined(Q_OS_WIN)
    return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL) != 0;
#elif defined(Q_OS_LINUX)
    // The nice value is the thread's own on Linux.
    return ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kLineNice) == 0;
#else
    return ::setpriority(PRIO_PROCESS, 0, kLineNice) == 0;
#endif
}

}  // namespace zev7
