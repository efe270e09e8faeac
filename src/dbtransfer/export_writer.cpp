#include "dbtransfer/export_writer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace zev7 {

namespace {

const QByteArray kCsvLineEnd = QByteArrayLiteral("\r\n");

// A number as a spreadsheet of any language reads it: no thousands separator, '.' decimals.
QString plainText(const QVariant& v) {
    if (v.isNull()) {
        return {};
    }
    if (v.typeId() == QMetaType::Double) {
        return QString::number(v.toDouble(), 'g', 15);
    }
    return v.toString();
}

}  // namespace

ExportWriter::ExportWriter(QIODevice& out, ExportFormat format, QStringList fields)
    : out_(out), format_(format), fields_(std::move(fields)) {}

QByteArray ExportWriter::csvField(const QString& text) {
    QByteArray bytes = text.toUtf8();
    const bool quoted =
        bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r');
    if (!quoted) {
        return bytes;
    }
    bytes.replace('"', QByteArrayLiteral("\"\""));
    return '"' + bytes + '"';
}

bool ExportWriter::writeHead() {
    if (format_ != ExportFormat::Csv) {
        return true;
    }
    QByteArray line;
    for (qsizetype i = 0; i < fields_.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        line += csvField(fields_[i]);
    }
    return write(line + kCsvLineEnd);
}

bool ExportWriter::writeRow(const QVariantList& values) {
    if (format_ == ExportFormat::Csv) {
        QByteArray line;
        for (qsizetype i = 0; i < fields_.size(); ++i) {
            if (i > 0) {
                line += ',';
            }
            line += csvField(plainText(values.value(i)));
        }
        return write(line + kCsvLineEnd);
    }
    QJsonObject row;
    for (qsizetype i = 0; i < fields_.size(); ++i) {
        const QVariant v = values.value(i);
        row.insert(fields_[i], v.isNull() ? QJsonValue() : QJsonValue::fromVariant(v));
    }
    return write(QJsonDocument(row).toJson(QJsonDocument::Compact) + '\n');
}

bool ExportWriter::write(const QByteArray& line) {
    return out_.write(line) == line.size();
}

}  // namespace zev7
