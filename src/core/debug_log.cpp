#include "core/debug_log.h"

#include "core/program_dir.h"
#include "core/text_codec.h"

#include <QFile>
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
    QFile file(programPath(QString::fromLatin1(kDebugFileName)));
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Text |
                                     (startedThisRun ? QIODevice::Append : QIODevice::Truncate);
    // A debug log that cannot be written is no reason to disturb the measurement.
    if (!file.open(mode)) {
        return;
    }
    startedThisRun = true;
    file.write(toCp1251(text));
    file.write("\n");
}

}  // namespace zev7
