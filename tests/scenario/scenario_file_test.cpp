#include "scenario/scenario_file.h"

#include "scenario/scenar_class.h"
#include "scenario/scenario_templates.h"
#include "scenario/scenario_test_support.h"
#include "scenario/tel_number.h"
#include "support/file_size_limit.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <vector>

namespace zev7 {
namespace {

using test::makeNumber;
using test::readAll;
using test::writeAll;

const QDateTime kProgramStart(QDate(2026, 12, 8), QTime(9, 30));

QByteArray fileBytes(const QByteArray& version, const ScenarHeader& header,
                     const std::vector<CycleRecord>& cycles) {
    QByteArray bytes;
    bytes.append(static_cast<char>(version.size()));
    bytes.append(version);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    for (const CycleRecord& c : cycles) {
        bytes.append(reinterpret_cast<const char*>(&c), sizeof c);
    }
    return bytes;
}

QByteArray headerBytes(const TScenarClass& s) {
    return QByteArray(reinterpret_cast<const char*>(&s.header()), sizeof(ScenarHeader));
}

// A header and two cycles as a port thread would have them.
struct FileFixture : ::testing::Test {
    QTemporaryDir dir;
    RecordingMessages messages;
    ScenarHeader header = templateHeader(46000.25);
    std::vector<CycleRecord> cycles{templateCycle(), templateCycle()};

    FileFixture() {
        header.cycleCount = 2;
        header.outNumber = makeNumber({"-", "-", "-", "-", "-", "P1111111", "-"});
        cycles[0].inNumber = makeNumber({"-", "-", "-", "-", "-", "P2222222", "-"});
        cycles[1].inNumber = makeNumber({"P8W", "-", "(495)", "-", "P123", "P4567", "-"});
        cycles[1].state = static_cast<int>(CycleState::Done);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(FileFixture, ANewScenarioIs357BytesAndEveryCycleAdds691) {
    TScenarClass scenario(messages, kProgramStart);
    const QString file = path("new.scn");
    ASSERT_TRUE(scenario.SaveToFile(file));
    QByteArray bytes = readAll(file);
    ASSERT_EQ(bytes.size(), 357);
    EXPECT_EQ(bytes.left(6), QByteArray("\x05V2.08"));
    EXPECT_EQ(bytes.mid(6), headerBytes(scenario));

    ASSERT_TRUE(scenario.AddCycle());
    ASSERT_TRUE(scenario.SaveToFile(file));
    bytes = readAll(file);
    ASSERT_EQ(bytes.size(), 357 + 691);
    EXPECT_EQ(std::memcmp(bytes.constData() + 357, &scenario.cycle(0), 691), 0);
    EXPECT_EQ(scenarioFileSize(1), 357 + 691);
}

TEST_F(FileFixture, LoadGivesBackEveryByteAndMakesTheLastCycleCurrent) {
    const QString file = path("two.scn");
    ASSERT_TRUE(writeScenarioFile(file, header, cycles, messages));

    TScenarClass scenario(messages, kProgramStart);
    ASSERT_TRUE(scenario.LoadFromFile(file));
    EXPECT_EQ(scenario.cycleCount(), 2);
    EXPECT_EQ(scenario.currentIndex(), 1);
    EXPECT_EQ(std::memcmp(&scenario.header(), &header, sizeof header), 0);
    EXPECT_EQ(numberText(scenario.cycle(1).inNumber), QStringLiteral("P8W/-/(495)/-/P123/P4567/-"));
    EXPECT_GT(+scenario.cycle(0).estimatedDuration, 0.0);  // recomputed on load

    // Saved again, it is the same file but for the recomputed estimates.
    ASSERT_TRUE(scenario.SaveToFile(path("again.scn")));
    EXPECT_EQ(readAll(path("again.scn")).left(357), readAll(file).left(357));
    EXPECT_EQ(messages.count(), 0);
}

TEST_F(FileFixture, TheSecondWriterCountsTheCyclesItIsGiven) {
    header.cycleCount = 7;  // a stale count must not promise cycles that are not there
    const QString file = path("port.scn");
    ASSERT_TRUE(writeScenarioFile(file, header, std::span(cycles).first(1), messages));
    EXPECT_EQ(readAll(file).size(), scenarioFileSize(1));
    ScenarHeader read{};
    std::vector<CycleRecord> readCycles;
    EXPECT_EQ(readPortScenario(file, read, readCycles, messages), ScenarioLoad::Loaded);
    EXPECT_EQ(+read.cycleCount, 1);
}

TEST_F(FileFixture, OlderVersionsAreRefusedNewerOnesRead) {
    for (const char* version : {"V2.01", "V2.08", "V2.10"}) {
        const QString file = path("v.scn");
        ASSERT_TRUE(writeAll(file, fileBytes(version, header, cycles)));
        TScenarClass scenario(messages, kProgramStart);
        EXPECT_TRUE(scenario.LoadFromFile(file)) << version;
        ScenarHeader h{};
        std::vector<CycleRecord> c;
        EXPECT_EQ(readPortScenario(file, h, c, messages), ScenarioLoad::Loaded) << version;
    }
    EXPECT_EQ(messages.count(), 0);

    const QString old = path("old.scn");
    ASSERT_TRUE(writeAll(old, fileBytes("V2.00", header, cycles)));
    TScenarClass scenario(messages, kProgramStart);
    const QByteArray before = headerBytes(scenario);
    EXPECT_FALSE(scenario.LoadFromFile(old));
    EXPECT_EQ(headerBytes(scenario), before);
    ASSERT_EQ(messages.count(), 1);
    const RecordingMessages::Entry e = messages.entries()[0];
    EXPECT_EQ(e.caption, QString::fromUtf8("Ошибка!"));
    EXPECT_EQ(e.icon, MessageIcon::Warning);
    EXPECT_EQ(e.text, QString::fromUtf8("Версия файла сценария:\n") + old +
                          QString::fromUtf8(":   [V2.00]\nне совпадает с версией программы "
                                            "ВЕРСА-ТЛ:   [V2.08]"));

    messages.clear();
    ScenarHeader h{};
    std::vector<CycleRecord> c;
    EXPECT_EQ(readPortScenario(old, h, c, messages), ScenarioLoad::Refused);
    EXPECT_EQ(messages.count(), 1);
}

TEST_F(FileFixture, PortThreadReaderCodes) {
    ScenarHeader h{};
    std::vector<CycleRecord> c;
    EXPECT_EQ(readPortScenario(path("missing.scn"), h, c, messages), ScenarioLoad::NoFile);

    const QString empty = path("empty.scn");
    ASSERT_TRUE(writeScenarioFile(empty, header, {}, messages));
    EXPECT_EQ(readPortScenario(empty, h, c, messages), ScenarioLoad::NoCycle);

    const QString good = path("good.scn");
    ASSERT_TRUE(writeScenarioFile(good, header, cycles, messages));
    EXPECT_EQ(readPortScenario(good, h, c, messages), ScenarioLoad::Loaded);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(+c[1].state, static_cast<int>(CycleState::Done));
    // The port thread reports these codes itself.
    EXPECT_EQ(messages.count(), 0);

    EXPECT_EQ(workingCopyPath(3).right(19), QStringLiteral("Scenar/ComPort3.scn"));
}

// Each damaged file is refused with one message; neither the scenario in memory nor the file
// on disk changes.
TEST_F(FileFixture, DamagedFilesAreRefusedAndNothingChanges) {
    const QByteArray good = fileBytes("V2.08", header, cycles);
    ScenarHeader negative = header;
    negative.cycleCount = -1;
    ScenarHeader huge = header;
    huge.cycleCount = std::numeric_limits<std::int32_t>::max();
    ScenarHeader badMode = header;
    badMode.repeatMode = 7;
    std::vector<CycleRecord> badState = cycles;
    badState[1].state = 9;
    std::vector<CycleRecord> nanPause = cycles;
    nanPause[0].pause = std::nan("");

    QByteArray longVersion = good;
    longVersion[0] = static_cast<char>(200);

    const std::pair<const char*, QByteArray> damaged[] = {
        {"empty", QByteArray()},
        {"version length above 127", longVersion},
        {"ends in the version", good.left(3)},
        {"ends in the header", good.left(100)},
        {"one cycle short", good.left(good.size() - 691)},
        {"half a cycle", good.left(good.size() - 300)},
        {"negative count", fileBytes("V2.08", negative, cycles)},
        {"impossible count", fileBytes("V2.08", huge, cycles)},
        {"repeat mode", fileBytes("V2.08", badMode, cycles)},
        {"state", fileBytes("V2.08", header, badState)},
        {"NaN pause", fileBytes("V2.08", header, nanPause)},
    };

    TScenarClass scenario(messages, kProgramStart);
    ASSERT_TRUE(scenario.AddCycle());
    scenario.header().runCount = 3;
    const QByteArray headerBefore = headerBytes(scenario);
    for (const auto& [what, bytes] : damaged) {
        messages.clear();
        const QString file = path("damaged.scn");
        ASSERT_TRUE(writeAll(file, bytes));
        EXPECT_FALSE(scenario.LoadFromFile(file)) << what;
        EXPECT_EQ(messages.count(), 1) << what;
        EXPECT_EQ(scenario.cycleCount(), 1) << what;
        EXPECT_EQ(headerBytes(scenario), headerBefore) << what;
        EXPECT_EQ(readAll(file), bytes) << what;

        ScenarHeader h{};
        std::vector<CycleRecord> c;
        EXPECT_EQ(readPortScenario(file, h, c, messages), ScenarioLoad::Refused) << what;
    }
}

TEST_F(FileFixture, MissingAndUnreadablePathsAreReported) {
    TScenarClass scenario(messages, kProgramStart);
    EXPECT_FALSE(scenario.LoadFromFile(path("missing.scn")));
    EXPECT_FALSE(scenario.LoadFromFile(dir.path()));  // a folder is no scenario
    EXPECT_EQ(messages.texts(), (QStringList{QString::fromUtf8("Не могу открыть файл сценария"),
                                             QString::fromUtf8("Не могу открыть файл сценария")}));
}

TEST_F(FileFixture, AFailedSaveIsReportedAndKeepsTheOldFile) {
    TScenarClass scenario(messages, kProgramStart);
    EXPECT_FALSE(scenario.SaveToFile(path("no-such-folder/x.scn")));
    ASSERT_TRUE(writeAll(path("plain"), "not a folder"));
    EXPECT_FALSE(scenario.SaveToFile(path("plain/x.scn")));
    ASSERT_EQ(messages.count(), 2);
    EXPECT_EQ(messages.entries()[0].icon, MessageIcon::Error);
    EXPECT_TRUE(
        messages.texts()[0].startsWith(QString::fromUtf8("Не могу записать файл сценария")));

    // A folder where the file should be: nothing is written over it.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.scn")));
    EXPECT_FALSE(scenario.SaveToFile(path("taken.scn")));
    EXPECT_TRUE(QFileInfo(path("taken.scn")).isDir());
}

TEST_F(FileFixture, SavingReplacesTheFileInsteadOfTruncatingIt) {
    // Another name for the old file sees the old scenario throughout: the new one is written
    // beside it and renamed over it, so no reader ever meets half a file.
    const QString file = path("work.scn");
    ASSERT_TRUE(writeScenarioFile(file, header, cycles, messages));
    const QByteArray old = readAll(file);
    std::filesystem::create_hard_link(file.toStdString(), path("old-name.scn").toStdString());

    TScenarClass scenario(messages, kProgramStart);
    ASSERT_TRUE(scenario.SaveToFile(file));
    EXPECT_EQ(readAll(file).size(), 357);
    EXPECT_EQ(readAll(path("old-name.scn")), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);  // no temporary left
}

class BatchMessages : public RecordingMessages {
public:
    bool batchMode() const override { return true; }
    void abortBatch(int code) override { abortedWith = code; }
    int abortedWith = 0;
};

TEST_F(FileFixture, ARefusedFileEndsTheBatch) {
    BatchMessages batch;
    TScenarClass scenario(batch, kProgramStart);
    EXPECT_FALSE(scenario.LoadFromFile(path("missing.scn")));
    EXPECT_EQ(batch.abortedWith, -5);
}

}  // namespace
}  // namespace zev7

namespace zev7 {
namespace {

// A full disk while the scenario or the port's working copy is written: the previous file
// stays whole and the failure names the file.
TEST_F(FileFixture, AFullDiskKeepsThePreviousScenario) {
    const QString file = path("a.scn");
    ASSERT_TRUE(writeScenarioFile(file, header, cycles, messages));
    const QByteArray before = readAll(file);
    ScenarHeader changed = header;
    changed.runCount = 2;
    const int result = test::runWithFileSizeLimit(0, [&] {
        RecordingMessages inChild;
        const bool written = writeScenarioFile(file, changed, cycles, inChild);
        const bool named = inChild.count() == 1 && inChild.texts()[0].contains(file);
        return written ? 1 : named ? 0 : 2;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(readAll(file), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.scn")});
}

}  // namespace
}  // namespace zev7
