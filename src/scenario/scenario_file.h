// The scenario file (.scn): one length byte, the version text ("V2.08"), the 351-byte header
// and the 691-byte cycles, byte for byte as held in memory. The port window, the port thread
// and zev7-scn all read and write it through here.
#pragma once

#include "core/strings.h"
#include "scenario/records.h"

#include <QByteArray>
#include <QString>
#include <span>
#include <vector>

class QIODevice;

namespace zev7 {

class UserMessages;

inline constexpr int kMaxVersionLength = 127;  // the reader's version buffer holds 128 bytes
// The file size of a scenario written by this program with n cycles.
constexpr qint64 scenarioFileSize(qint64 cycles) {
    return 1 + static_cast<qint64>(sizeof(str::ProgramVersion) - 1) +
           static_cast<qint64>(sizeof(ScenarHeader)) +
           cycles * static_cast<qint64>(sizeof(CycleRecord));
}

// "Scenar\ComPort" N ".scn" under the program directory: the working copy of port N.
QString workingCopyPath(int port);

// Files older than the oldest accepted version ("V2.01") are refused; newer ones are read.
bool isAcceptedScenarioVersion(const QString& version);

enum class ScenarioFileStatus {
    Ok,
    NotFound,
    CannotOpen,
    VersionRefused,
    BadVersionLength,  // the length byte promises more than 127 characters
    ShortHeader,       // the file ends inside the version text or the header
    BadCycleCount,     // a negative cycleCount
    ShortCycles,       // fewer cycles in the file than cycleCount promises
    BadValue,          // a value no program writes (state 9, NaN times, ...)
    NoMemory,
};

struct ScenarioFileContent {
    ScenarioFileStatus status = ScenarioFileStatus::Ok;
    QString version;
    ScenarHeader header{};
    std::vector<CycleRecord> cycles;
    QString detail;  // the reason of a damaged file, for the message
};

// Reads and checks a whole file. Memory is taken only for as many cycles as the file holds.
ScenarioFileContent readScenarioFile(const QString& path);
// The same on an open device of known size, and on bytes held in memory.
ScenarioFileContent readScenario(QIODevice& device);
ScenarioFileContent readScenarioData(const QByteArray& bytes);

// Reports a failed read ("Ошибка!"): the message of the status, and in batch mode the end of
// the batch. Nothing for Ok.
void reportScenarioReadFailure(const ScenarioFileContent& content, const QString& path,
                               UserMessages& messages);
QString scenarioVersionMessage(const QString& path, const QString& version);

// Writes a scenario file for a header and cycles held anywhere (the port thread keeps its own
// copies). The header's cycleCount is written as the number of cycles given. The file is
// replaced only once it has been written completely; a failure is reported and leaves the
// old file as it was.
bool writeScenarioFile(const QString& path, const ScenarHeader& header,
                       std::span<const CycleRecord> cycles, UserMessages& messages);

// The port thread's reader and what it ends with. A refused version or a damaged file has been
// reported here already (Refused); the other failures are reported by the port thread with
// its own messages. The numbers are those the user reads when a port does not start.
enum class ScenarioLoad : int {
    Loaded = 0,
    Refused = 1,
    NoCycle = -20,
    NoMemory = -21,
    NoFile = -22,
};
constexpr int loadNumber(ScenarioLoad load) {
    return static_cast<int>(load);
}
ScenarioLoad readPortScenario(const QString& path, ScenarHeader& header,
                              std::vector<CycleRecord>& cycles, UserMessages& messages);

}  // namespace zev7
