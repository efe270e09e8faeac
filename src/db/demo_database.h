// Fills the results database with generated measurements, written through the same writer the
// port threads use: for trying out the statistics windows and for measuring their queries on
// a database of realistic size. The same seed gives the same database.
#pragma once

#include <QDateTime>
#include <cstdint>
#include <functional>

namespace zev7 {

class UserMessages;

struct DemoDatabaseSpec {
    int cycles = 1000;
    int callsPerCycle = 100;
    int outgoingNumbers = 4;   // ports measuring side by side
    int incomingNumbers = 25;  // answering stations they call in turn
    QDateTime firstStart = QDateTime(QDate(2026, 1, 12), QTime(8, 0));
    int secondsBetweenCalls = 40;
    std::uint32_t seed = 2006;
};

struct DemoDatabaseReport {
    int cycles = 0;
    int calls = 0;
    int failures = 0;  // operations the database refused
};

// Writes through a connection of its own that does not wait for the disk after each commit.
// The database must have been set up (DbConnection::setup). progress gets the cycles done.
DemoDatabaseReport fillDemoDatabase(const DemoDatabaseSpec& spec, UserMessages& messages,
                                    const std::function<void(int cyclesDone)>& progress = {});

}  // namespace zev7
