// The batch schedule ("*.LST") that a scheduler or another program hands to zev7: the close
// word, then one to 64 items of COM port number (1..64), scenario file name (under "Scenar")
// and result report name (under "Result"), all separated by any white space, so that an item
// may stand on one line or spread over several. Every word after the close word belongs to an
// item: a schedule with a word that is no port number where one belongs, or with no item at
// all, is malformed, so that a damaged file never runs as a batch that did nothing.
//
// Pure: bytes in, schedule out. The controller (TPackageWork) runs what is read here.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace zev7 {

inline constexpr int kMaxBatchItems = 64;
inline constexpr int kFirstBatchPort = 1;
inline constexpr int kLastBatchPort = 64;
// The longest file name a schedule may give.
inline constexpr int kMaxBatchWordLength = 255;
// A schedule is a few lines; anything much larger is not one (and is not read into memory).
inline constexpr qint64 kMaxScheduleBytes = 1 << 20;

struct BatchItem {
    int port = 0;
    QString scenario;  // relative to "Scenar"
    QString report;    // relative to "Result"
};

struct BatchSchedule {
    // False when the first word is "NOCLOSE" (any case): the program stays open at the end.
    bool closeAtEnd = true;
    std::vector<BatchItem> items;
    // Not empty when the schedule is malformed (the run's code -2): why, for the log.
    QString problem;

    bool malformed() const { return !problem.isEmpty(); }
};

// Reads a schedule's bytes: by their byte-order mark (UTF-16 or UTF-8) when they have one, else
// UTF-8 when they are valid UTF-8, otherwise Windows-1251 (the schedules of the Windows programs
// that drive zev7).
BatchSchedule parseBatchSchedule(const QByteArray& bytes);

// Reads the schedule file; a file that cannot be read or is too large is malformed.
BatchSchedule readBatchSchedule(const QString& path);

// The first word of the break file's bytes (empty when there is none).
QString firstWord(const QByteArray& bytes);

}  // namespace zev7
