#include "support/file_size_limit.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

namespace zev7::test {

int runWithFileSizeLimit(long long bytes, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            ::_exit(255);
        }
        ::_exit(body() & 0xff);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

}  // namespace zev7::test
