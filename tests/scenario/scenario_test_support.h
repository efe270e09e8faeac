// Small builders shared by the scenario tests.
#pragma once

#include "scenario/records.h"
#include "scenario/tel_number.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <initializer_list>

// The records are packed, so their fields can't be bound to references: the tests copy them
// out with a unary + before GoogleTest's assertions take their arguments by reference.
namespace zev7::test {

// A number from its seven fields as the editor stores them.
inline TelNumber makeNumber(std::initializer_list<const char*> fields) {
    TelNumber n{};
    int i = 0;
    for (const char* f : fields) {
        setNumberField(n, i++, QString::fromUtf8(f));
    }
    rebuildNumberText(n);
    return n;
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace zev7::test
