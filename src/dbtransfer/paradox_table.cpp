#include "dbtransfer/paradox_table.h"

#include "core/strings.h"
#include "db/db_dialect.h"

#include <QDate>
#include <QStringDecoder>
#include <QTime>
#include <QtEndian>
#include <cmath>
// pxlib's header declares C functions without saying so.
extern "C" {
#include <paradox.h>
}

namespace zev7 {

namespace {

// Paradox dates count days from 1 January of year 1; pxlib's calendar helpers count from the
// start of the Julian period.
constexpr long kParadoxDateOffset = 1721425;
constexpr long kLastParadoxDate = 3652059;  // 31 December 9999
constexpr int kMsPerSecond = 1000;
constexpr int kMsPerDay = 86400 * kMsPerSecond;
constexpr int kCp1251 = 1251;
constexpr int kCp1252 = 1252;
constexpr int kCp866 = 866;
// Enough text to tell the code page by: a few thousand words.
constexpr qsizetype kCodePageSample = 64 * 1024;

// pxlib's complaints go nowhere: every value it decodes is checked here.
void quiet(pxdoc_t*, int, const char*, void*) {}

pxdoc_t* pxDoc(void* doc) {
    return static_cast<pxdoc_t*>(doc);
}

FieldType fieldType(int pxType) {
    switch (pxType) {
        case ParadoxFile::kAutoInc:
            return FieldType::AutoIncrement;
        case ParadoxFile::kLong:
            return FieldType::Integer;
        case ParadoxFile::kShort:
            return FieldType::Short;
        case ParadoxFile::kDate:
            return FieldType::Date;
        case ParadoxFile::kTime:
            return FieldType::Time;
        case ParadoxFile::kNumber:
            return FieldType::Real;
        case ParadoxFile::kAlpha:
            return FieldType::Text;
        default:
            return FieldType::Other;
    }
}

// A 4-byte Paradox integer (also dates and times): big-endian with the sign bit inverted, all
// zero bytes for an empty field. Decoded here: pxlib's own decoder tests the four bytes for zero
// through an 8-byte read on 64-bit machines, so an empty field could read as a value.
std::optional<qint32> paradoxLong(const char* field) {
    const quint32 raw = qFromBigEndian<quint32>(field);
    if (raw == 0) {
        return std::nullopt;
    }
    return static_cast<qint32>(raw ^ 0x80000000U);
}

bool isLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0xC0 || c == 0xA8 || c == 0xB8;
}

const char* codecName(int codePage) {
    switch (codePage) {
        case kCp1252:
            return "windows-1252";
        case kCp866:
            return "IBM866";
        default:
            return "windows-1251";
    }
}

}  // namespace

ParadoxTable::ParadoxTable() : doc_(PX_new3(quiet, nullptr, nullptr, nullptr, nullptr)) {}

ParadoxTable::~ParadoxTable() {
    if (doc_ != nullptr) {
        PX_delete(pxDoc(doc_));
    }
}

bool ParadoxTable::looksLikeCp1251(const QByteArray& texts) {
    int russian = 0;
    int western = 0;
    qsizetype i = 0;
    while (i < texts.size()) {
        if (!isLetter(static_cast<unsigned char>(texts[i]))) {
            ++i;
            continue;
        }
        bool high = false;
        bool ascii = false;
        for (; i < texts.size() && isLetter(static_cast<unsigned char>(texts[i])); ++i) {
            (static_cast<unsigned char>(texts[i]) >= 0x80 ? high : ascii) = true;
        }
        if (high) {
            ++(ascii ? western : russian);
        }
    }
    return russian > western;
}

int ParadoxTable::chooseCodePage(const std::function<bool()>& interrupted) {
    const int declared = file_.codePage();
    if (declared == kCp866 || declared == kCp1251) {
        return declared;
    }
    if (declared != kCp1252) {
        return kCp1251;  // no code page, or one Qt may not know: the Russian installations' own
    }
    QByteArray texts;
    QByteArray data;
    for (qint64 r = 0; r < file_.recordCount() && texts.size() < kCodePageSample; ++r) {
        if ((interrupted && interrupted()) || !file_.read(r, &data)) {
            break;
        }
        for (int i = 0; i < layout_.size(); ++i) {
            if (file_.fields()[i].type == ParadoxFile::kAlpha) {
                texts += data.mid(offsets_[i], layout_[i].size) + ' ';
            }
        }
    }
    return looksLikeCp1251(texts) ? kCp1251 : kCp1252;
}

bool ParadoxTable::open(const QString& path, const std::function<bool()>& interrupted) {
    if (doc_ == nullptr || !file_.open(path, interrupted)) {
        problem_ = file_.problem();
        return false;
    }
    int offset = 0;
    for (const ParadoxField& f : file_.fields()) {
        layout_.append({QString::fromLatin1(f.name), fieldType(f.type), f.size});
        offsets_.append(offset);
        offset += f.size;
    }
    codePage_ = chooseCodePage(interrupted);
    decoder_ = QStringDecoder(codecName(codePage_));
    return true;
}

std::optional<QVariant> ParadoxTable::value(char* data, int index) {
    pxdoc_t* doc = pxDoc(doc_);
    const int len = layout_[index].size;
    char* field = data + offsets_[index];
    // Dates and times in the form a ZEV7 file keeps them, as every import source gives them.
    const DbDialect& d = sqliteDialect();
    switch (file_.fields()[index].type) {
        case ParadoxFile::kAutoInc:
        case ParadoxFile::kLong: {
            const std::optional<qint32> v = paradoxLong(field);
            return v ? QVariant(*v) : QVariant();
        }
        case ParadoxFile::kShort: {
            short v = 0;
            return PX_get_data_short(doc, field, len, &v) > 0 ? QVariant(static_cast<int>(v))
                                                              : QVariant();
        }
        case ParadoxFile::kNumber: {
            double v = 0;
            if (PX_get_data_double(doc, field, len, &v) <= 0) {
                return QVariant();
            }
            return std::isfinite(v) ? std::optional<QVariant>(v) : std::nullopt;
        }
        case ParadoxFile::kDate: {
            const std::optional<qint32> v = paradoxLong(field);
            if (!v) {
                return QVariant();
            }
            if (*v < 1 || *v > kLastParadoxDate) {
                return std::nullopt;
            }
            int year = 0, month = 0, day = 0;
            PX_SdnToGregorian(*v + kParadoxDateOffset, &year, &month, &day);
            const QDate date(year, month, day);
            return date.isValid() ? std::optional<QVariant>(d.dateValue(date)) : std::nullopt;
        }
        case ParadoxFile::kTime: {
            const std::optional<qint32> v = paradoxLong(field);
            if (!v) {
                return QVariant();
            }
            if (*v < 0 || *v >= kMsPerDay) {
                return std::nullopt;
            }
            // The database keeps whole seconds.
            return d.timeValue(QTime::fromMSecsSinceStartOfDay(*v / kMsPerSecond * kMsPerSecond));
        }
        case ParadoxFile::kAlpha: {
            char* text = nullptr;
            if (PX_get_data_alpha(doc, field, len, &text) <= 0 || text == nullptr) {
                return QVariant();
            }
            const QByteArray bytes(text, static_cast<qsizetype>(qstrnlen(text, len)));
            doc->free(doc, text);
            return QVariant(QString(decoder_.decode(bytes)));
        }
        default:
            return QVariant();
    }
}

bool ParadoxTable::record(qint64 index, QVariantList* row) {
    if (!file_.read(index, &buffer_)) {
        problem_ = txt(str::RowUnreadable).arg(index + 1);
        return false;
    }
    row->clear();
    row->reserve(layout_.size());
    for (int i = 0; i < layout_.size(); ++i) {
        const std::optional<QVariant> v = value(buffer_.data(), i);
        if (!v) {
            problem_ = txt(str::RowBadValue).arg(index + 1).arg(layout_[i].name);
            return false;
        }
        row->append(*v);
    }
    return true;
}

}  // namespace zev7
