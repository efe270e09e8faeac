#include "engine/protocol/protocol_file.h"

#include "core/file_writes.h"
#include "core/program_dir.h"
#include "core/text_codec.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>

namespace zev7 {

namespace {
// One writer at a time, so that the lines of two threads of one port never interleave.
QMutex fileMutex;
// Each line is followed by a blank and the line end of the users' text files.
#ifdef Q_OS_WIN
constexpr char kLineEnd[] = " \r\n";
#else
constexpr char kLineEnd[] = " \n";
#endif
}  // namespace

QString protocolFilePath(int port) {
    return programPath(QStringLiteral("Protocol\\ProtocolComPort") + QString::number(port) +
                       QStringLiteral(".txt"));
}

QString appendProtocolFileLine(int port, const QString& line) {
    QMutexLocker lock(&fileMutex);
    return appendFileBytes(protocolFilePath(port), toCp1251(line) + kLineEnd);
}

bool removeProtocolFile(int port) {
    QMutexLocker lock(&fileMutex);
    const QString path = protocolFilePath(port);
    return !QFile::exists(path) || QFile::remove(path);
}

}  // namespace zev7
