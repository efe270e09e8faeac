#include "engine/protocol/protocol_file.h"

#include "core/program_dir.h"
#include "core/text_codec.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>

namespace zev7 {

namespace {
// One writer at a time, so that the lines of two threads of one port never interleave.
QMutex fileMutex;
}  // namespace

QString protocolFilePath(int port) {
    return programPath(QStringLiteral("Protocol\\ProtocolComPort") + QString::number(port) +
                       QStringLiteral(".txt"));
}

bool appendProtocolFileLine(int port, const QString& line) {
    QMutexLocker lock(&fileMutex);
    QFile file(protocolFilePath(port));
    // Text mode: the line end is CR LF on the users' machines.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        return false;
    }
    const QByteArray bytes = toCp1251(line) + " \n";
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

bool removeProtocolFile(int port) {
    QMutexLocker lock(&fileMutex);
    const QString path = protocolFilePath(port);
    return !QFile::exists(path) || QFile::remove(path);
}

}  // namespace zev7
