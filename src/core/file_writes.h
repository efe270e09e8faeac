// Writing files so that a full disk, a file-size limit or a killed program never leaves half
// of a file: the scenario, the port's working copy, the protocol, the reports and ZEV7.ini all
// keep their previous good content when a write fails, and the caller gets the system's
// reason to report with the file's name.
#pragma once

#include <QByteArray>
#include <QString>

class QSaveFile;

namespace zev7 {

// Replaces the whole content of the file: written beside it and renamed over it only once
// every byte has reached the disk. Empty on success, else the system's error text; the old
// file is then untouched.
QString replaceFileContent(const QString& path, const QByteArray& bytes);

// Commits a QSaveFile whose content has been written: its buffer is flushed first, and a
// failed flush cancels the file (QSaveFile alone renames a file whose last buffer never
// reached the disk). Empty on success, else the error text.
QString commitSaveFile(QSaveFile& file);

// Appends the bytes to the end of the file, creating it when missing. A write that fails part
// way is cut off again, so the file ends with its last whole line. Empty on success, else the
// error text.
QString appendFileBytes(const QString& path, const QByteArray& bytes);

}  // namespace zev7
