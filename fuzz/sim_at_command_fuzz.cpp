// The simulated modem's AT command-line parser on any line a port thread (or a noisy line)
// may send it.
#include "sim/at_command_line.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zev7;
    const QByteArray line =
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).toUpper();
    const std::vector<AtCommand> commands = parseCommandLine(line);
    // Every command but a closing invalid one takes at least one character of the line.
    if (commands.size() > static_cast<std::size_t>(line.size()) + 1) {
        __builtin_trap();
    }
    return 0;
}
