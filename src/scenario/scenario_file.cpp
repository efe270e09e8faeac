#include "scenario/scenario_file.h"

#include "core/file_writes.h"
#include "core/program_dir.h"
#include "core/strings.h"
#include "core/text_codec.h"
#include "scenario/batch_failure.h"
#include "scenario/scenario_validator.h"
#include "scenario/user_messages.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstring>
#include <new>

namespace zev7 {

namespace {

constexpr qint64 kHeaderSize = sizeof(ScenarHeader);
constexpr qint64 kCycleSize = sizeof(CycleRecord);

bool readExactly(QIODevice& file, void* into, qint64 size) {
    return file.read(static_cast<char*>(into), size) == size;
}

}  // namespace

QString workingCopyPath(int port) {
    return programPath(QStringLiteral("Scenar\\ComPort%1.scn").arg(port));
}

bool isAcceptedScenarioVersion(const QString& version) {
    // Alphabetical order as the users' systems sort it, the same on every machine whatever
    // its locale: letters first without regard to case ("v2.00" sorts before "V2.01"), and
    // only between texts that differ in case alone does the small letter come first.
    const QString oldest = txt(str::OldestScenarioVersion);
    int order = QString::compare(version, oldest, Qt::CaseInsensitive);
    if (order == 0) {
        order = QString::compare(oldest, version, Qt::CaseSensitive);
    }
    return order >= 0;
}

ScenarioFileContent readScenarioFile(const QString& path) {
    using S = ScenarioFileStatus;
    ScenarioFileContent out;
    const QFileInfo info(path);
    if (!info.exists()) {
        out.status = S::NotFound;
        return out;
    }
    QFile file(path);
    // Only a regular file has a size to check the cycle count against.
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        out.status = S::CannotOpen;
        return out;
    }
    return readScenario(file);
}

ScenarioFileContent readScenarioData(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readScenario(buffer);
}

ScenarioFileContent readScenario(QIODevice& file) {
    using S = ScenarioFileStatus;
    ScenarioFileContent out;
    unsigned char length = 0;
    if (!readExactly(file, &length, 1)) {
        out.status = S::ShortHeader;
        return out;
    }
    if (length > kMaxVersionLength) {
        out.status = S::BadVersionLength;
        out.detail = txt(str::ScenarioDamagedVersionLength);
        return out;
    }
    char version[kMaxVersionLength + 1] = {};
    if (!readExactly(file, version, length)) {
        out.status = S::ShortHeader;
        return out;
    }
    out.version = fieldText(version, length);
    if (!isAcceptedScenarioVersion(out.version)) {
        out.status = S::VersionRefused;
        return out;
    }

    if (!readExactly(file, &out.header, kHeaderSize)) {
        out.status = S::ShortHeader;
        return out;
    }
    const qint32 count = out.header.cycleCount;
    if (count < 0) {
        out.status = S::BadCycleCount;
        out.detail = txt(str::ScenarioDamagedCycleCount).arg(count);
        return out;
    }
    const qint64 room = (file.size() - file.pos()) / kCycleSize;
    if (count > room) {
        out.status = S::ShortCycles;
        out.detail = txt(str::ScenarioDamagedShortCycles).arg(count).arg(room);
        return out;
    }
    try {
        out.cycles.resize(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
        out.cycles = {};
        out.status = S::NoMemory;
        return out;
    }
    // The file may have been cut since its size was taken: the read itself decides.
    if (!readExactly(file, out.cycles.data(), count * kCycleSize)) {
        out.status = S::ShortCycles;
        out.detail = txt(str::ScenarioDamagedShortCycles).arg(count).arg(room);
        return out;
    }

    normalizeScenario(out.header, out.cycles);
    out.detail = validateScenario(out.header, out.cycles);
    if (!out.detail.isEmpty()) {
        out.status = S::BadValue;
    }
    return out;
}

QString scenarioVersionMessage(const QString& path, const QString& version) {
    return txt(str::ScenarioVersionHead) + path + txt(str::ScenarioVersionMid) + version +
           txt(str::ScenarioVersionTail) + txt(str::ProgramVersion) + txt(str::ScenarioVersionEnd);
}

void reportScenarioReadFailure(const ScenarioFileContent& content, const QString& path,
                               UserMessages& messages) {
    using S = ScenarioFileStatus;
    const QString caption = txt(str::CaptionError);
    switch (content.status) {
        case S::Ok:
            return;
        case S::NotFound:
        case S::CannotOpen:
            messages.show(MessageIcon::Warning, caption, txt(str::ScenarioCannotOpen));
            break;
        case S::VersionRefused:
            messages.show(MessageIcon::Warning, caption,
                          scenarioVersionMessage(path, content.version));
            break;
        case S::NoMemory:
            messages.error(txt(str::ScenarioNoMemory));
            break;
        case S::ShortHeader:
            messages.show(MessageIcon::Warning, caption,
                          txt(str::ScenarioDamaged) + path + QLatin1Char('\n') +
                              txt(str::ScenarioDamagedShortHeader));
            break;
        case S::BadVersionLength:
        case S::BadCycleCount:
        case S::ShortCycles:
        case S::BadValue:
            messages.show(MessageIcon::Warning, caption,
                          txt(str::ScenarioDamaged) + path + QLatin1Char('\n') + content.detail);
            break;
    }
    endBatchOnError(messages);
}

bool writeScenarioFile(const QString& path, const ScenarHeader& header,
                       std::span<const CycleRecord> cycles, UserMessages& messages) {
    const QByteArray version = toCp1251(txt(str::ProgramVersion));
    ScenarHeader written = header;
    written.cycleCount = static_cast<std::int32_t>(cycles.size());

    QByteArray bytes;
    bytes.reserve(scenarioFileSize(static_cast<qint64>(cycles.size())));
    bytes.append(static_cast<char>(version.size()));
    bytes.append(version);
    bytes.append(reinterpret_cast<const char*>(&written), kHeaderSize);
    if (!cycles.empty()) {
        bytes.append(reinterpret_cast<const char*>(cycles.data()),
                     static_cast<qsizetype>(cycles.size_bytes()));
    }

    // Written beside the old file and renamed over it: a full disk or a killed program leaves
    // the previous scenario, never half of a new one.
    const QString error = replaceFileContent(path, bytes);
    if (!error.isEmpty()) {
        messages.error(txt(str::ScenarioCannotWrite) + path + QLatin1Char('\n') + error);
    }
    return error.isEmpty();
}

ScenarioLoad readPortScenario(const QString& path, ScenarHeader& header,
                              std::vector<CycleRecord>& cycles, UserMessages& messages) {
    ScenarioFileContent content = readScenarioFile(path);
    switch (content.status) {
        case ScenarioFileStatus::Ok:
            break;
        case ScenarioFileStatus::NotFound:
            return ScenarioLoad::NoFile;
        case ScenarioFileStatus::NoMemory:
            return ScenarioLoad::NoMemory;
        default:
            reportScenarioReadFailure(content, path, messages);
            return ScenarioLoad::Refused;
    }
    header = content.header;
    if (header.cycleCount == 0) {
        return ScenarioLoad::NoCycle;
    }
    cycles = std::move(content.cycles);
    return ScenarioLoad::Loaded;
}

}  // namespace zev7
