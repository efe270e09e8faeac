#include "core/file_writes.h"

#include <QFile>
#include <QSaveFile>

namespace zev7 {

QString commitSaveFile(QSaveFile& file) {
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        const QString error = file.errorString();
        file.cancelWriting();
        file.commit();  // removes the half-written file beside the old one
        return error;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return {};
}

QString replaceFileContent(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    return commitSaveFile(file);
}

QString appendFileBytes(const QString& path, const QByteArray& bytes) {
    // Unbuffered: the bytes go to the system here, where a failure can still be undone.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        return file.errorString();
    }
    const qint64 before = file.size();
    if (file.write(bytes) == bytes.size() && file.error() == QFileDevice::NoError) {
        return {};
    }
    const QString error = file.errorString();
    file.resize(before);
    return error;
}

}  // namespace zev7
