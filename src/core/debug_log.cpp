#include "core/debug_log.h"

#include "core/file_writes.h"
#include "core/program_dir.h"
#include "core/text_codec.h"

#include <QMutex>
#include <QMutexLocker>

namespace zev7 {

namespace {
constexpr char kDebugFileName[] = "debug.txt";

QMutex logMutex;
bool startedThisRun = false;  // guarded by logMutex
}  // namespace

void DebugLog(const QString& text) {
    QMutexLocker lock(&logMutex);
    const QString path = programPath(QString::fromLatin1(kDebugFileName));
    const QByteArray line = toCp1251(text) + '\n';
    // A debug log that cannot be written is no reason to disturb the measurement; a line is
    // written whole or not at all, and the last run's file goes only when the first line is in.
    const QString error =
        startedThisRun ? appendFileBytes(path, line) : replaceFileContent(path, line);
    startedThisRun = startedThisRun || error.isEmpty();
}

}  // namespace zev7
