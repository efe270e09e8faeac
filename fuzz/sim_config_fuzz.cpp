// The simulator's configuration file: every line checked, a file with errors builds nothing.
#include "sim/sim_config.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zev7;
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const SimConfigResult result = parseSimConfig(text, QStringLiteral("fuzz.ini"));
    if (result.config.has_value() == !result.errors.isEmpty()) {
        __builtin_trap();
    }
    return 0;
}
