#include "core/thread_priority.h"

#include <QtGlobal>

#if defined(Q_OS_WIN)
#include <windows.h>
#else
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace zev7 {

#if !defined(Q_OS_WIN)
namespace {

// Above every ordinary thread, below everything else that asked for real time.
constexpr int kLineRealTimePriority = 1;
constexpr int kLineNice = -10;

}  // namespace
#endif

bool raiseThreadPriority() {
#if defined(Q_OS_WIN)
    return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL) != 0;
#elif defined(Q_OS_LINUX)
    // Scheduling attributes are the thread's own on Linux. A helper thread or an alert command
    // started from here must not inherit real time.
    const auto self = static_cast<pid_t>(::gettid());
    sched_param param{};
    param.sched_priority = kLineRealTimePriority;
    if (::sched_setscheduler(self, SCHED_RR | SCHED_RESET_ON_FORK, &param) == 0) {
        return true;
    }
    return ::setpriority(PRIO_PROCESS, static_cast<id_t>(self), kLineNice) == 0;
#else
    return ::setpriority(PRIO_PROCESS, 0, kLineNice) == 0;
#endif
}

bool threadRunsRealTime() {
#if defined(Q_OS_LINUX)
    const int policy = ::sched_getscheduler(static_cast<pid_t>(::gettid())) & ~SCHED_RESET_ON_FORK;
    return policy == SCHED_RR || policy == SCHED_FIFO;
#else
    return false;
#endif
}

std::vector<int> processorsOfProcess(int most) {
    std::vector<int> processors;
#if defined(Q_OS_LINUX)
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof(set), &set) == 0) {
        for (int cpu = 0; cpu < CPU_SETSIZE && static_cast<int>(processors.size()) < most; ++cpu) {
            if (CPU_ISSET(cpu, &set)) {
                processors.push_back(cpu);
            }
        }
    }
#else
    Q_UNUSED(most);
#endif
    return processors;
}

bool keepThreadOnProcessor(int processor) {
#if defined(Q_OS_LINUX)
    if (processor < 0 || processor >= CPU_SETSIZE) {
        return false;
    }
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(processor, &set);
    return ::pthread_setaffinity_np(::pthread_self(), sizeof(set), &set) == 0;
#else
    Q_UNUSED(processor);
    return false;
#endif
}

}  // namespace zev7
