#include "scenario/scenario_validator.h"

#include "scenario/scenar_class.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_templates.h"
#include "scenario/scenario_test_support.h"
#include "scenario/tel_number.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>
#include <QLocale>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

namespace zev7 {
namespace {

using test::makeNumber;

const QDateTime kProgramStart(QDate(2026, 12, 8), QTime(9, 30));

struct ValidatorFixture : ::testing::Test {
    QTemporaryDir dir;
    RecordingMessages messages;
    ScenarHeader header = templateHeader(46000.25);
    std::vector<CycleRecord> cycles{templateCycle()};

    ValidatorFixture() {
        header.cycleCount = 1;
        header.outNumber = makeNumber({"-", "-", "-", "-", "-", "P1111111", "-"});
        cycles[0].inNumber = makeNumber({"-", "-", "-", "-", "-", "P2222222", "-"});
        cycles[0].state = 0;
    }
    QString write(const ScenarHeader& h, const std::vector<CycleRecord>& c) {
        const QString file = dir.filePath(QStringLiteral("v.scn"));
        EXPECT_TRUE(writeScenarioFile(file, h, c, messages));
        return file;
    }
};

// Values that would falsify the statistics or reach the modem raw: the loader, zev7-scn show
// and the port thread refuse them alike, naming the field and the value.
TEST_F(ValidatorFixture, ValuesOutsideTheWindowsRangesAreRefusedByName) {
    using Edit = std::function<void(ScenarHeader&, CycleRecord&)>;
    const std::pair<Edit, const char*> cases[] = {
        {[](ScenarHeader&, CycleRecord& c) { c.pause = -1; }, "pause = -1"},
        {[](ScenarHeader&, CycleRecord& c) { c.waitTime = -3; }, "waitTime = -3"},
        {[](ScenarHeader&, CycleRecord& c) { c.waitTime = 1e308; }, "waitTime = 1e+308"},
        {[](ScenarHeader&, CycleRecord& c) { c.busyPeriodMin = 0; }, "busyPeriodMin = 0"},
        {[](ScenarHeader&, CycleRecord& c) { c.answerMinTime = 5; }, "answerMinTime = 5"},
        {[](ScenarHeader& h, CycleRecord&) { h.aaFrequency = 1800; }, "aaFrequency = 1800"},
        {[](ScenarHeader&, CycleRecord& c) { c.holdCount[3] = 0; }, "holdCount[3] = 0"},
        {[](ScenarHeader&, CycleRecord& c) { c.startFrom = std::nan(""); }, "startFrom = nan"},
        {[](ScenarHeader& h, CycleRecord&) { h.runCount = 0; }, "runCount = 0"},
        {[](ScenarHeader& h, CycleRecord&) { h.repeatInterval = -5; }, "repeatInterval = -5"},
        {[](ScenarHeader&, CycleRecord& c) { setNumberField(c.inNumber, NUM_ON_ATX, "Z%?\x01"); },
         "Z%?"},
        {[](ScenarHeader&, CycleRecord& c) {
             c.numEnum[NUM_ON_ATX].on = 1;
             c.numEnum[NUM_ON_ATX].step = 0;
         },
         "№ на АТС"},
    };
    for (const auto& [edit, named] : cases) {
        ScenarHeader h = header;
        std::vector<CycleRecord> c = cycles;
        edit(h, c[0]);
        const QString file = write(h, c);
        const ScenarioFileContent content = readScenarioFile(file);
        EXPECT_EQ(content.status, ScenarioFileStatus::BadValue) << named;
        EXPECT_TRUE(content.detail.contains(QString::fromUtf8(named)))
            << content.detail.toStdString();

        ScenarHeader ph{};
        std::vector<CycleRecord> pc;
        messages.clear();
        EXPECT_EQ(readPortScenario(file, ph, pc, messages), ScenarioLoad::Refused) << named;
        TScenarClass scenario(messages, kProgramStart);
        EXPECT_FALSE(scenario.LoadFromFile(file)) << named;
    }
}

// Done cycles unticked, ticked again, then one deleted: the count of finished cycles is left
// above the number of cycles. The program wrote that file itself, so it is read, the count
// brought into range; a display text out of step with its fields is rebuilt.
TEST_F(ValidatorFixture, ProgramsOwnLeftoversAreBroughtIntoRange) {
    header.finishedCycles = 2;
    std::strcpy(cycles[0].inNumber.text, "ATDZ");
    const ScenarioFileContent content = readScenarioFile(write(header, cycles));
    ASSERT_EQ(content.status, ScenarioFileStatus::Ok) << content.detail.toStdString();
    EXPECT_EQ(+content.header.finishedCycles, 1);
    EXPECT_EQ(numberText(content.cycles[0].inNumber), QStringLiteral("-/-/-/-/-/P2222222/-"));
    EXPECT_EQ(validateScenario(header, cycles), QString());
}

TEST(ScenarioVersion, OrderDoesNotDependOnTheLocale) {
    const QLocale before;
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::Russian, QLocale::Russia)}) {
        QLocale::setDefault(locale);
        EXPECT_FALSE(isAcceptedScenarioVersion(QStringLiteral("v2.00")));
        EXPECT_FALSE(isAcceptedScenarioVersion(QStringLiteral("V2.00")));
        EXPECT_TRUE(isAcceptedScenarioVersion(QStringLiteral("V2.01")));
        EXPECT_TRUE(isAcceptedScenarioVersion(QStringLiteral("v2.10")));
        EXPECT_TRUE(isAcceptedScenarioVersion(QStringLiteral("W1")));
    }
    QLocale::setDefault(before);
}

}  // namespace
}  // namespace zev7
