// Rows of an open export, written as they come: CSV after RFC 4180 (UTF-8, CRLF line ends, a
// field with a comma, a quote or a line break quoted and its quotes doubled), or JSON Lines (one
// JSON object per line, LF line ends, a missing value null). A spreadsheet, a script or a
// database on another system reads either without knowing this program.
#pragma once

#include <QIODevice>
#include <QStringList>
#include <QVariant>

namespace zev7 {

enum class ExportFormat { Csv, JsonLines };

class ExportWriter {
public:
    // The field names: the CSV head line and the keys of the JSON objects.
    ExportWriter(QIODevice& out, ExportFormat format, QStringList fields);

    // The CSV head line (JSON Lines has none).
    bool writeHead();
    // One row, a value per field: a null value is an empty CSV field and a JSON null; numbers
    // stay numbers in JSON.
    bool writeRow(const QVariantList& values);

    // One CSV field as RFC 4180 writes it.
    static QByteArray csvField(const QString& text);

private:
    bool write(const QByteArray& line);

    QIODevice& out_;
    ExportFormat format_;
    QStringList fields_;
};

}  // namespace zev7
