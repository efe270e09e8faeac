// The scenario file reader on any bytes: a file from a damaged disk, another program or an
// attacker is refused with a message or read, never a crash or a read past its end.
#include "scenario/scenario_file.h"
#include "scenario/scenario_validator.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zev7;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ScenarioFileContent content = readScenarioData(bytes);
    if (content.status == ScenarioFileStatus::Ok) {
        // What was accepted must pass the check again: reading brings nothing out of range.
        if (!validateScenario(content.header, content.cycles).isEmpty()) {
            __builtin_trap();
        }
    }
    return 0;
}
