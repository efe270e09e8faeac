// Windows-1251, the encoding of every text field in a scenario file and of the protocol,
// report and log files. Conversion goes through Qt's codec.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>

namespace zev7 {

QByteArray toCp1251(const QString& text);
QString fromCp1251(const QByteArray& bytes);

// A fixed-width text field: the text ends at the first NUL or at the field's end.
QString fieldText(const char* field, std::size_t size);
template <std::size_t N>
QString fieldText(const char (&field)[N]) {
    return fieldText(field, N);
}

// Zero-fills the field and copies the text in, cut so that a terminating NUL always fits.
void setFieldText(char* field, std::size_t size, const QString& text);
template <std::size_t N>
void setFieldText(char (&field)[N], const QString& text) {
    setFieldText(field, N, text);
}

}  // namespace zev7
