// The measuring modem's replies as a noisy line delivers them: the reply split into echo and
// answer for any command, the level word read out of the answer and decoded at every gain.
#include "engine/modem/modem_reply.h"
#include "teliq/level_decoder.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {
// The commands whose replies the port thread takes apart.
const char* const kCommands[] = {"A/", "ATI5", "ATI3", "AT%T12%V", "ATS0?", "ATE1", "ATH1"};
constexpr int kGains[] = {0, 1, 2, 3};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zev7;
    if (size == 0) {
        return 0;
    }
    const QByteArray command(kCommands[data[0] % std::size(kCommands)]);
    const QByteArray reply(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    const ModemReply parsed = parseModemReply(command, reply);
    if (parsed.echo.size() > reply.size() || parsed.answer.size() > reply.size()) {
        __builtin_trap();
    }
    for (const QByteArray& answer : {parsed.answer, reply}) {
        if (const auto word = parseLevelWord(answer)) {
            for (const int gain : kGains) {
                const auto level = decodeLevel(*word, gain, 0.0, answerLevelOffset(1020.0));
                if (level && !std::isfinite(*level)) {
                    __builtin_trap();
                }
            }
        }
    }
    return 0;
}
