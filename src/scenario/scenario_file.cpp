#include "scenario/scenario_file.h"

#include "core/program_dir.h"
#include "core/strings.h"
#include "core/text_codec.h"
#include "scenario/batch_failure.h"
#include "scenario/user_messages.h"

#include <QCollator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cmath>
#include <cstring>
#include <new>

namespace zev7 {

namespace {

constexpr qint64 kHeaderSize = sizeof(ScenarHeader);
constexpr qint64 kCycleSize = sizeof(CycleRecord);
constexpr int kMinState = static_cast<int>(CycleState::Excluded);
constexpr int kMaxState = static_cast<int>(CycleState::Done);
constexpr int kMaxRepeatMode = 2;

// A real field's name and value; the value is copied out, since a packed field can't be bound
// to a reference.
struct NamedReal {
    const char* name;
    double value;
};

QString badValue(const char* name, double value) {
    return txt(str::ScenarioDamagedValue).arg(QLatin1String(name)).arg(value);
}

QString badCycleValue(std::size_t index, const char* name, double value) {
    return txt(str::ScenarioDamagedCycleValue).arg(index + 1).arg(QLatin1String(name)).arg(value);
}

// The values the program relies on when it runs a scenario; anything else is damage, not a
// setting.
QString checkHeaderValues(const ScenarHeader& h) {
    if (h.runCount < 1) {
        return badValue("runCount", h.runCount);
    }
    if (h.repeatMode < 0 || h.repeatMode > kMaxRepeatMode) {
        return badValue("repeatMode", h.repeatMode);
    }
    if (h.finishedCycles < 0 || h.finishedCycles > h.cycleCount) {
        return badValue("finishedCycles", h.finishedCycles);
    }
    if (h.repeatInterval < 0) {
        return badValue("repeatInterval", h.repeatInterval);
    }
    const NamedReal reals[] = {
        {"baseTime", h.baseTime},         {"aaFrequency", h.aaFrequency},
        {"aaSignalTime", h.aaSignalTime}, {"aaDelayOn", h.aaDelayOn},
        {"aaDelayOff", h.aaDelayOff},
    };
    for (const auto& [name, value] : reals) {
        if (!std::isfinite(value)) {
            return badValue(name, value);
        }
    }
    return {};
}

QString checkCycleValues(const CycleRecord& c, std::size_t index) {
    if (c.state < kMinState || c.state > kMaxState) {
        return badCycleValue(index, "state", c.state);
    }
    if (c.minAttempts < 1) {
        return badCycleValue(index, "minAttempts", c.minAttempts);
    }
    if (c.maxAttempts < 1) {
        return badCycleValue(index, "maxAttempts", c.maxAttempts);
    }
    const NamedReal reals[] = {
        {"startFrom", c.startFrom},
        {"startUntil", c.startUntil},
        {"normAtMin", c.normAtMin},
        {"normAtMax", c.normAtMax},
        {"dialToneThreshold", c.dialToneThreshold},
        {"ringbackThreshold", c.ringbackThreshold},
        {"answerThreshold", c.answerThreshold},
        {"answerMinTime", c.answerMinTime},
        {"answerMaxTime", c.answerMaxTime},
        {"aaFrequency", c.aaFrequency},
        {"aaDelayOn", c.aaDelayOn},
        {"aaDelayOff", c.aaDelayOff},
        {"pause", c.pause},
        {"waitTime", c.waitTime},
        {"ringbackTime", c.ringbackTime},
        {"attenuationSignalTime", c.attenuationSignalTime},
        {"busyPeriodMin", c.busyPeriodMin},
        {"busyPeriodMax", c.busyPeriodMax},
        {"overloadPeriodMin", c.overloadPeriodMin},
        {"overloadPeriodMax", c.overloadPeriodMax},
        {"estimatedDuration", c.estimatedDuration},
    };
    for (const auto& [name, value] : reals) {
        if (!std::isfinite(value)) {
            return badCycleValue(index, name, value);
        }
    }
    return {};
}

bool readExactly(QFile& file, void* into, qint64 size) {
    return file.read(static_cast<char*>(into), size) == size;
}

}  // namespace

QString workingCopyPath(int port) {
    return programPath(QStringLiteral("Scenar\\ComPort%1.scn").arg(port));
}

bool isAcceptedScenarioVersion(const QString& version) {
    // Compared as the users' system sorts text, case-sensitively. A collator of its own: Qt's
    // shared one lives in thread-local storage that is never freed.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator.compare(version, txt(str::OldestScenarioVersion)) >= 0;
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

    out.detail = checkHeaderValues(out.header);
    for (std::size_t i = 0; i < out.cycles.size() && out.detail.isEmpty(); ++i) {
        out.detail = checkCycleValues(out.cycles[i], i);
    }
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
    QSaveFile file(path);
    const bool ok =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok) {
        messages.error(txt(str::ScenarioCannotWrite) + path + QLatin1Char('\n') +
                       file.errorString());
    }
    return ok;
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
