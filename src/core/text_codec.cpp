#include "core/text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <cstring>

namespace zev7 {

namespace {
constexpr char kCodecName[] = "windows-1251";
}

// A converter per conversion: one kept per thread would be torn down by the thread's exit,
// after whoever waited for the thread has gone on (a port thread's end, the program's end).
// A single-byte code page carries no state from one text to the next anyway.
QByteArray toCp1251(const QString& text) {
    QStringEncoder encoder(kCodecName);
    return encoder.encode(text);
}

QString fromCp1251(const QByteArray& bytes) {
    QStringDecoder decoder(kCodecName);
    return decoder.decode(bytes);
}

QString fieldText(const char* field, std::size_t size) {
    const void* nul = std::memchr(field, 0, size);
    const std::size_t length = nul ? static_cast<const char*>(nul) - field : size;
    return fromCp1251(QByteArray(field, static_cast<qsizetype>(length)));
}

void setFieldText(char* field, std::size_t size, const QString& text) {
    std::memset(field, 0, size);
    if (size == 0) {
        return;
    }
    const QByteArray bytes = toCp1251(text);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(bytes.size()), size - 1);
    std::memcpy(field, bytes.constData(), n);
}

}  // namespace zev7
