// A full disk without root: the body runs in a child process whose files may not grow past a
// limit, with SIGXFSZ ignored, so every write beyond it fails with EFBIG as on a full disk.
#pragma once

#include <functional>

namespace zev7::test {

// The body's return value (0..255), or -1 when the child could not be run or did not exit.
int runWithFileSizeLimit(long long bytes, const std::function<int()>& body);

}  // namespace zev7::test
