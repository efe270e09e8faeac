// One Paradox table file read through pxlib: its fields and its records, values converted to
// the own database's storage form. The earlier Windows system kept its results in such files.
#pragma once

#include "dbtransfer/source_layout.h"

#include <QList>
#include <QString>
#include <QVariantList>

namespace zev7 {

class ParadoxTable {
public:
    ParadoxTable() = default;
    ~ParadoxTable();
    ParadoxTable(const ParadoxTable&) = delete;
    ParadoxTable& operator=(const ParadoxTable&) = delete;

    // false with pxlib's text in error() when the file is not a readable Paradox table.
    bool open(const QString& path);
    const TableLayout& layout() const { return layout_; }
    int recordCount() const;
    // Every record; false when one cannot be read.
    bool readAll(QList<QVariantList>* rows);
    const QString& error() const { return error_; }

    // pxlib's message, kept on the table it came from.
    void setError(const QString& text) { error_ = text; }

private:
    QVariant value(char* data, int index);

    void* doc_ = nullptr;  // pxdoc_t
    bool recoded_ = false;
    TableLayout layout_;
    QList<int> rawTypes_;
    QList<int> offsets_;
    QString error_;
};

}  // namespace zev7
