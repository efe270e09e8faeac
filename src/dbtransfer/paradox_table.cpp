#include "dbtransfer/paradox_table.h"

#include "core/text_codec.h"
#include "db/db_dialect.h"

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QTime>
// pxlib's header declares C functions without saying so.
extern "C" {
#include <paradox.h>
}

namespace zev7 {

namespace {

// Paradox dates count days from 1 January of year 1; pxlib's calendar helpers count from the
// start of the Julian period.
constexpr long kParadoxDateOffset = 1721425;
constexpr int kMsPerSecond = 1000;
constexpr int kMsPerDay = 86400 * kMsPerSecond;

void keepError(pxdoc_t* doc, int /*type*/, const char* message, void* data) {
    (void)doc;
    if (data != nullptr && message != nullptr) {
        static_cast<ParadoxTable*>(data)->setError(QString::fromLocal8Bit(message));
    }
}

pxdoc_t* pxDoc(void* doc) {
    return static_cast<pxdoc_t*>(doc);
}

FieldType fieldType(char pxType) {
    switch (pxType) {
        case pxfAutoInc:
            return FieldType::AutoIncrement;
        case pxfLong:
            return FieldType::Integer;
        case pxfShort:
            return FieldType::Short;
        case pxfDate:
            return FieldType::Date;
        case pxfTime:
            return FieldType::Time;
        case pxfNumber:
            return FieldType::Real;
        case pxfAlpha:
            return FieldType::Text;
        default:
            return FieldType::Other;
    }
}

}  // namespace

ParadoxTable::~ParadoxTable() {
    if (doc_ != nullptr) {
        PX_close(pxDoc(doc_));
        PX_delete(pxDoc(doc_));
    }
}

bool ParadoxTable::open(const QString& path) {
    pxdoc_t* doc = PX_new3(keepError, nullptr, nullptr, nullptr, this);
    if (doc == nullptr) {
        error_ = QStringLiteral("pxlib");
        return false;
    }
    doc_ = doc;
    PX_set_parameter(doc, "warning", "false");
    if (PX_open_file(doc, QFile::encodeName(path).constData()) < 0) {
        PX_delete(doc);
        doc_ = nullptr;
        return false;
    }
    // Texts come as UTF-8 when the table names its code page; else as the bytes Windows wrote.
    recoded_ = doc->px_head->px_doscodepage > 0 && PX_set_targetencoding(doc, "UTF-8") == 0;
    const int count = PX_get_num_fields(doc);
    pxfield_t* fields = PX_get_fields(doc);
    int offset = 0;
    for (int i = 0; i < count && fields != nullptr; ++i) {
        const pxfield_t& f = fields[i];
        layout_.append({QString::fromLatin1(f.px_fname), fieldType(f.px_ftype), f.px_flen});
        rawTypes_.append(f.px_ftype);
        offsets_.append(offset);
        offset += f.px_flen;
    }
    return true;
}

int ParadoxTable::recordCount() const {
    return doc_ != nullptr ? PX_get_num_records(pxDoc(doc_)) : 0;
}

QVariant ParadoxTable::value(char* data, int index) {
    pxdoc_t* doc = pxDoc(doc_);
    const int len = layout_[index].size;
    char* field = data + offsets_[index];
    const DbDialect& d = dbDialect();
    switch (rawTypes_[index]) {
        case pxfAutoInc:
        case pxfLong: {
            long v = 0;
            return PX_get_data_long(doc, field, len, &v) > 0 ? QVariant(static_cast<int>(v))
                                                             : QVariant();
        }
        case pxfShort: {
            short v = 0;
            return PX_get_data_short(doc, field, len, &v) > 0 ? QVariant(static_cast<int>(v))
                                                              : QVariant();
        }
        case pxfNumber: {
            double v = 0;
            return PX_get_data_double(doc, field, len, &v) > 0 ? QVariant(v) : QVariant();
        }
        case pxfDate: {
            long v = 0;
            if (PX_get_data_long(doc, field, len, &v) <= 0) {
                return {};
            }
            int year = 0, month = 0, day = 0;
            PX_SdnToGregorian(v + kParadoxDateOffset, &year, &month, &day);
            return d.dateValue(QDate(year, month, day));
        }
        case pxfTime: {
            long v = 0;
            if (PX_get_data_long(doc, field, len, &v) <= 0 || v < 0 || v >= kMsPerDay) {
                return {};
            }
            // The database keeps whole seconds.
            return d.timeValue(
                QTime::fromMSecsSinceStartOfDay(static_cast<int>(v / kMsPerSecond * kMsPerSecond)));
        }
        case pxfAlpha: {
            char* text = nullptr;
            if (PX_get_data_alpha(doc, field, len, &text) <= 0 || text == nullptr) {
                return QString();
            }
            const QByteArray bytes(text);
            doc->free(doc, text);
            return recoded_ ? QString::fromUtf8(bytes) : fromCp1251(bytes);
        }
        default:
            return {};
    }
}

bool ParadoxTable::readAll(QList<QVariantList>* rows) {
    pxdoc_t* doc = pxDoc(doc_);
    if (doc == nullptr) {
        return false;
    }
    const int size = PX_get_recordsize(doc);
    QByteArray buffer(size, '\0');
    const int count = recordCount();
    rows->reserve(rows->size() + count);
    for (int r = 0; r < count; ++r) {
        if (PX_get_record(doc, r, buffer.data()) == nullptr) {
            if (error_.isEmpty()) {
                error_ = QStringLiteral("record %1").arg(r);
            }
            return false;
        }
        QVariantList row;
        row.reserve(layout_.size());
        for (int i = 0; i < layout_.size(); ++i) {
            row << value(buffer.data(), i);
        }
        rows->append(row);
    }
    return true;
}

}  // namespace zev7
