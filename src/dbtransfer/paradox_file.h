// The structure of one Paradox table file, read and checked before any record is used: the
// header against the file's length, the field descriptions against the record size, and the
// chain of data blocks against the record count. Old disks and mailed copies arrive cut short
// or overwritten; such a file is refused with one line saying what is wrong, and no record of
// it is ever read past its end. The records are then read block by block, one at a time.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <functional>

namespace zev7 {

struct ParadoxField {
    QByteArray name;
    int type = 0;  // Paradox's field type byte
    int size = 0;  // bytes the field takes in a record
};

class ParadoxFile {
public:
    // Paradox's field type bytes that the result tables use.
    static constexpr int kAlpha = 0x01;
    static constexpr int kDate = 0x02;
    static constexpr int kShort = 0x03;
    static constexpr int kLong = 0x04;
    static constexpr int kNumber = 0x06;
    static constexpr int kTime = 0x14;
    static constexpr int kAutoInc = 0x16;

    // Reads and checks the whole structure; false with problem() when the file is damaged.
    // interrupted is asked between blocks: a stopped check gives false with an empty problem().
    bool open(const QString& path, const std::function<bool()>& interrupted = {});

    const QList<ParadoxField>& fields() const { return fields_; }
    int recordSize() const { return recordSize_; }
    qint64 recordCount() const { return recordCount_; }
    int codePage() const { return codePage_; }
    const QString& problem() const { return problem_; }

    // The record with that number (0-based, in block-chain order), recordSize() bytes;
    // false when the disk cannot give it (the file changed after the check).
    bool read(qint64 record, QByteArray* data);

private:
    struct Block {
        qint64 position = 0;  // of its first record
        qint64 firstRecord = 0;
        int records = 0;
    };

    bool fail(const QString& problem);
    bool readHeader(const QByteArray& head, qint64 fileLength);
    bool readBlocks(const std::function<bool()>& interrupted);
    bool loadBlock(int index);

    QFile file_;
    QList<ParadoxField> fields_;
    QList<Block> blocks_;
    int recordSize_ = 0;
    int headerSize_ = 0;
    int blockSize_ = 0;
    int fileBlocks_ = 0;
    int firstBlock_ = 0;
    int lastBlock_ = 0;
    qint64 recordCount_ = 0;
    int codePage_ = 0;
    QString problem_;
    int loaded_ = -1;  // the block whose records are in cache_
    QByteArray cache_;
};

}  // namespace zev7
