// A port thread runs before ordinary work, and nothing it starts inherits that: an alert command
// or a helper thread at real-time priority could take the machine from its user.
#include "core/thread_priority.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>
#include <thread>

namespace zev7 {
namespace {

TEST(ThreadPriority, RealTimeForTheThreadOrdinaryForWhatItStarts) {
    int raised = -1;
    int helper = -1;
    int child = -1;
    bool granted = false;
    std::thread line([&] {
        granted = raiseThreadPriority();
        raised = ::sched_getscheduler(0) & ~SCHED_RESET_ON_FORK;
        std::thread([&] { helper = ::sched_getscheduler(0); }).join();
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::_exit(::sched_getscheduler(0) == SCHED_OTHER ? 0 : 1);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        child = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    });
    line.join();
    if (raised != SCHED_RR) {
        GTEST_SKIP() << "real-time priority refused here (not root, no CAP_SYS_NICE)";
    }
    EXPECT_TRUE(granted);
    EXPECT_EQ(helper, SCHED_OTHER);
    EXPECT_EQ(child, 0);
    // The thread that asked nothing keeps its ordinary priority.
    EXPECT_EQ(::sched_getscheduler(0), SCHED_OTHER);
}

}  // namespace
}  // namespace zev7
