// One Paradox table file of the earlier Windows system: its structure checked by ParadoxFile,
// its records' values decoded by pxlib and converted to the own database's storage form.
#pragma once

#include "dbtransfer/paradox_file.h"
#include "dbtransfer/source_layout.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QVariantList>
#include <functional>
#include <optional>

namespace zev7 {

class ParadoxTable {
public:
    ParadoxTable();
    ~ParadoxTable();
    ParadoxTable(const ParadoxTable&) = delete;
    ParadoxTable& operator=(const ParadoxTable&) = delete;

    // Checks the file's whole structure; false with problem() when it is damaged (an empty
    // problem() when interrupted said stop).
    bool open(const QString& path, const std::function<bool()>& interrupted = {});
    const TableLayout& layout() const { return layout_; }
    qint64 recordCount() const { return file_.recordCount(); }
    // The code page the texts are read in: the header's, except that Windows-1251 text under
    // a header that names 1252 (tables copied through a West European Windows) reads as 1251.
    int textCodePage() const { return codePage_; }

    // Record number `index`; false with problem() when it cannot be read or holds a value
    // that no field of its type can have (a date of no calendar, a number that is none).
    bool record(qint64 index, QVariantList* row);
    const QString& problem() const { return problem_; }

    // Whether texts that claim code page 1252 are Russian text in Windows-1251: the words of
    // Windows-1251 letters only (0xC0..0xFF, Ё, ё) outnumber those that mix them with ASCII
    // letters, as West European words with accents do.
    static bool looksLikeCp1251(const QByteArray& texts);

private:
    std::optional<QVariant> value(char* data, int index);
    int chooseCodePage(const std::function<bool()>& interrupted);

    ParadoxFile file_;
    void* doc_ = nullptr;  // pxdoc_t: pxlib's value decoding
    TableLayout layout_;
    QList<int> offsets_;
    int codePage_ = 0;
    QStringDecoder decoder_;
    QByteArray buffer_;
    QString problem_;
};

}  // namespace zev7
