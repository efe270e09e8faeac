#include "dbtransfer/paradox_file.h"

#include "core/strings.h"

#include <QSet>
#include <QtEndian>
#include <algorithm>

namespace zev7 {

namespace {

// The common header of every Paradox file, and the part that tables of version 4 and later
// add after it (with the DOS code page of the texts).
constexpr int kCommonHeader = 0x58;
constexpr int kDataHeader = 0x78;
constexpr int kCodePageAt = 0x6A;
constexpr int kBlockHead = 6;  // next block, previous block, offset of the last record
constexpr int kKilobyte = 0x400;
constexpr int kMaxFields = 255;
constexpr int kNewTableName = 261;  // table-name space of version 7 files
constexpr int kOldTableName = 79;
constexpr int kVersion7 = 12;
constexpr int kFirstDataVersion = 5;  // version 4.0: the data header is there
constexpr quint32 kEncryptionInDataHeader = 0xFF00FF00;
constexpr int kBcd = 0x17;
constexpr int kBcdLength = 17;

quint16 word(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}
qint16 signedWord(const QByteArray& b, int at) {
    return qFromLittleEndian<qint16>(b.constData() + at);
}
qint32 longint(const QByteArray& b, int at) {
    return qFromLittleEndian<qint32>(b.constData() + at);
}

// The bytes a field takes in a record; 0 for a description no Paradox writes.
int fieldLength(int type, int size) {
    switch (type) {
        case ParadoxFile::kAlpha:
        case 0x18:  // bytes
            return size >= 1 ? size : 0;
        case ParadoxFile::kDate:
        case ParadoxFile::kLong:
        case ParadoxFile::kTime:
        case ParadoxFile::kAutoInc:
            return size == 4 ? 4 : 0;
        case ParadoxFile::kShort:
            return size == 2 ? 2 : 0;
        case 0x05:  // currency
        case ParadoxFile::kNumber:
        case 0x15:  // timestamp
            return size == 8 ? 8 : 0;
        case 0x09:  // logical
            return size == 1 ? 1 : 0;
        case 0x0C:  // memo and the other blobs: a reference of 10 bytes plus the leader
        case 0x0D:
        case 0x0E:
        case 0x0F:
        case 0x10:
            return size >= 10 ? size : 0;
        case kBcd:  // the size byte holds the decimals; the value takes 17 bytes
            return size <= 32 ? kBcdLength : 0;
        default:
            return 0;
    }
}

}  // namespace

bool ParadoxFile::fail(const QString& problem) {
    problem_ = problem;
    return false;
}

bool ParadoxFile::open(const QString& path, const std::function<bool()>& interrupted) {
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly)) {
        return fail(txt(str::PxUnreadable).arg(file_.errorString()));
    }
    const qint64 length = file_.size();
    // The header is at most 64 KB: its size is a 16-bit number.
    const QByteArray head = file_.read(std::min<qint64>(length, 0x10000));
    if (head.size() < kCommonHeader) {
        return fail(txt(str::PxShort).arg(length).arg(kCommonHeader));
    }
    return readHeader(head, length) && readBlocks(interrupted);
}

bool ParadoxFile::readHeader(const QByteArray& head, qint64 fileLength) {
    recordSize_ = word(head, 0x00);
    headerSize_ = word(head, 0x02);
    const int fileType = static_cast<quint8>(head[0x04]);
    const int maxTableSize = static_cast<quint8>(head[0x05]);
    recordCount_ = longint(head, 0x06);
    fileBlocks_ = word(head, 0x0C);
    firstBlock_ = word(head, 0x0E);
    lastBlock_ = word(head, 0x10);
    const int fieldCount = signedWord(head, 0x21);
    const quint32 encryption = static_cast<quint32>(longint(head, 0x25));
    const int version = static_cast<quint8>(head[0x39]);

    // Data tables only (0 keyed, 2 not keyed), of the versions Paradox has written.
    if ((fileType != 0 && fileType != 2) || version < 3 || version > kVersion7) {
        return fail(txt(str::PxNotTable).arg(fileType).arg(version));
    }
    const int fixed = version >= kFirstDataVersion ? kDataHeader : kCommonHeader;
    if (head.size() < fixed) {
        return fail(txt(str::PxShort).arg(fileLength).arg(fixed));
    }
    const quint32 encryption2 = static_cast<quint32>(longint(head, 0x5C));
    if ((encryption != 0 && encryption != kEncryptionInDataHeader) ||
        (encryption == kEncryptionInDataHeader && fixed == kDataHeader && encryption2 != 0)) {
        return fail(txt(str::PxEncrypted));
    }
    codePage_ = fixed == kDataHeader ? word(head, kCodePageAt) : 0;
    switch (maxTableSize) {
        case 1:
        case 2:
        case 3:
        case 4:
        case 8:
        case 16:
        case 32:
            blockSize_ = maxTableSize * kKilobyte;
            break;
        default:
            return fail(txt(str::PxBlockSize).arg(maxTableSize));
    }
    if (fieldCount < 1 || fieldCount > kMaxFields) {
        return fail(txt(str::PxFieldCount).arg(fieldCount));
    }
    // Field descriptions, the table name's pointer, the field names' pointers, the table name,
    // then the field names one after the other, each ended by a zero byte.
    const int tableName = version == kVersion7 ? kNewTableName : kOldTableName;
    int at = fixed + fieldCount * 2 + 4 + fieldCount * 4 + tableName;
    if (headerSize_ > head.size()) {
        return fail(txt(str::PxShort).arg(fileLength).arg(headerSize_));
    }
    if (headerSize_ < at) {
        return fail(txt(str::PxHeaderSize).arg(headerSize_));
    }
    int sum = 0;
    for (int i = 0; i < fieldCount; ++i) {
        ParadoxField f;
        f.type = static_cast<quint8>(head[fixed + 2 * i]);
        const int size = static_cast<quint8>(head[fixed + 2 * i + 1]);
        f.size = fieldLength(f.type, size);
        if (f.size == 0) {
            return fail(txt(str::PxFieldType).arg(i + 1).arg(f.type).arg(size));
        }
        const int end = head.indexOf('\0', at);
        if (end < 0 || end >= headerSize_) {
            return fail(txt(str::PxFieldNames));
        }
        f.name = head.mid(at, end - at);
        at = end + 1;
        sum += f.size;
        fields_ << f;
    }
    if (recordSize_ != sum) {
        return fail(txt(str::PxRecordSize).arg(recordSize_).arg(sum));
    }
    if (recordSize_ > blockSize_ - kBlockHead) {
        return fail(txt(str::PxBlockSize).arg(maxTableSize));
    }
    const qint64 needed = headerSize_ + static_cast<qint64>(fileBlocks_) * blockSize_;
    if (fileLength < needed) {
        return fail(txt(str::PxShort).arg(fileLength).arg(needed));
    }
    const qint64 capacity =
        static_cast<qint64>(fileBlocks_) * ((blockSize_ - kBlockHead) / recordSize_);
    if (recordCount_ < 0 || recordCount_ > capacity) {
        return fail(txt(str::PxRecordCount).arg(recordCount_));
    }
    return true;
}

// Follows the chain of data blocks from the first: every block inside the file, met once,
// holding a whole number of records that fit in it; together the header's record count.
bool ParadoxFile::readBlocks(const std::function<bool()>& interrupted) {
    QSet<int> seen;
    qint64 records = 0;
    int block = firstBlock_;
    int last = 0;
    QByteArray head(kBlockHead, '\0');
    while (block != 0) {
        if (interrupted && interrupted()) {
            problem_.clear();
            return false;
        }
        if (block > fileBlocks_ || seen.contains(block)) {
            return fail(txt(str::PxBlockChain).arg(last).arg(block));
        }
        seen.insert(block);
        const qint64 position = headerSize_ + static_cast<qint64>(block - 1) * blockSize_;
        if (!file_.seek(position) || file_.read(head.data(), kBlockHead) != kBlockHead) {
            return fail(txt(str::PxBlockChain).arg(last).arg(block));
        }
        const int used = signedWord(head, 4);
        if (used < -recordSize_ || used % recordSize_ != 0 ||
            used > blockSize_ - kBlockHead - recordSize_) {
            return fail(txt(str::PxBlockFill).arg(block).arg(used));
        }
        const int count = used / recordSize_ + 1;
        blocks_.append({position + kBlockHead, records, count});
        records += count;
        last = block;
        block = word(head, 0);
    }
    if (records != recordCount_) {
        return fail(txt(str::PxCountMismatch).arg(records).arg(recordCount_));
    }
    if (last != 0 && last != lastBlock_) {
        return fail(txt(str::PxBlockChain).arg(last).arg(lastBlock_));
    }
    return true;
}

bool ParadoxFile::loadBlock(int index) {
    if (index == loaded_) {
        return true;
    }
    const Block& b = blocks_[index];
    const qint64 bytes = static_cast<qint64>(b.records) * recordSize_;
    cache_.resize(bytes);
    loaded_ = -1;
    if (!file_.seek(b.position) || file_.read(cache_.data(), bytes) != bytes) {
        return false;
    }
    loaded_ = index;
    return true;
}

bool ParadoxFile::read(qint64 record, QByteArray* data) {
    if (record < 0 || record >= recordCount_) {
        return false;
    }
    // Reading goes forward mostly: the block of the last record is the first guess.
    int index = loaded_ >= 0 ? loaded_ : 0;
    if (record < blocks_[index].firstRecord ||
        record >= blocks_[index].firstRecord + blocks_[index].records) {
        const auto after =
            std::upper_bound(blocks_.cbegin(), blocks_.cend(), record,
                             [](qint64 r, const Block& b) { return r < b.firstRecord; });
        index = static_cast<int>(after - blocks_.cbegin()) - 1;
        if (index < 0) {
            return false;
        }
    }
    if (!loadBlock(index)) {
        return false;
    }
    const qint64 offset = (record - blocks_[index].firstRecord) * recordSize_;
    *data = cache_.mid(offset, recordSize_);
    return data->size() == recordSize_;
}

}  // namespace zev7
