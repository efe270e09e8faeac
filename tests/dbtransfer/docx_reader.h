// The main part of an exported document as text, for the tests that look into it.
#pragma once

#include <quazip.h>
#include <quazipfile.h>
#include <QString>

namespace zev7::testing {

// word/document.xml of the .docx at path; empty when there is no such file or part.
inline QString documentXml(const QString& path) {
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(QStringLiteral("word/document.xml"))) {
        return {};
    }
    QuaZipFile file(&zip);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

}  // namespace zev7::testing
