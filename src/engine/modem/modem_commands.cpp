#include "engine/modem/modem_commands.h"

namespace zev7 {

namespace {
constexpr int kRegisterReplyExtra = 3;  // echo + CR + result + CR
}  // namespace

ModemRequest registerWrite(const char* prefix, int value) {
    QByteArray text = QByteArray(prefix) + QByteArray::number(value);
    const int length = static_cast<int>(text.size()) + kRegisterReplyExtra;
    return {std::move(text), length};
}

}  // namespace zev7
