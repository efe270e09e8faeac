#include "engine/modem/modem_reply.h"

#include "engine/modem/modem_commands.h"

namespace zev7 {

namespace {
constexpr char kCr = '\r';
constexpr char kLf = '\n';
}  // namespace

ModemReply parseModemReply(const QByteArray& command, const QByteArray& reply) {
    ModemReply out;
    QByteArray line;
    int lines = 0;
    const bool repeat = command == kRepeatCommand.text;
    for (const char c : reply) {
        if (c != kCr && c != kLf) {
            line += c;
        }
        if (repeat && lines == 0 && line == command) {
            ++lines;
            out.echo = line;
            line.clear();
            continue;
        }
        if (c == kCr) {
            ++lines;
            if (lines == 1) {
                out.echo = line;
                line.clear();
            } else if (!line.isEmpty()) {
                out.answer = line;
                return out;
            }
        }
    }
    if (lines >= 1 && out.echo == kIdentityQuery.text) {
        out.answer = line;
    }
    return out;
}

}  // namespace zev7
