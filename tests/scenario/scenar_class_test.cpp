#include "scenario/scenar_class.h"

#include "scenario/cycle_duration.h"
#include "scenario/ole_date.h"
#include "scenario/scenario_templates.h"
#include "scenario/scenario_test_support.h"
#include "scenario/tel_number.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zev7 {
namespace {

using test::makeNumber;

const QDateTime kProgramStart(QDate(2026, 12, 8), QTime(9, 30));

struct ScenarioFixture : ::testing::Test {
    RecordingMessages messages;
    TScenarClass scenario{messages, kProgramStart};

    void addCycleCalling(const char* number) {
        ASSERT_TRUE(scenario.AddCycle());
        scenario.editableCurrentCycle()->inNumber =
            makeNumber({"-", "-", "-", "-", "-", number, "-"});
    }
    QString numberOf(int index) { return numberField(scenario.cycle(index).inNumber, NUM_ON_ATX); }
};

TEST_F(ScenarioFixture, ANewScenarioIsTheTemplateWithTheProgramStartTime) {
    EXPECT_EQ(scenario.cycleCount(), 0);
    EXPECT_EQ(scenario.currentIndex(), -1);
    EXPECT_EQ(scenario.editableCurrentCycle(), nullptr);
    EXPECT_EQ(&scenario.currentCycle(), &templateCycle());
    EXPECT_FALSE(scenario.running());
    EXPECT_EQ(fromOleDate(scenario.header().baseTime), kProgramStart);
    EXPECT_EQ(numberText(scenario.header().outNumber), QStringLiteral("-/-/-/-/-/-/-"));
    EXPECT_EQ(+scenario.header().runCount, 1);
    EXPECT_EQ(+scenario.header().aaFrequency, 1020.0);
    EXPECT_EQ(+scenario.header().toneLevel, -27);
}

TEST_F(ScenarioFixture, AddCopiesTheCurrentCycleWaitingAndWithoutEnumeration) {
    ASSERT_TRUE(scenario.AddCycle());
    const CycleRecord& first = scenario.cycle(0);
    EXPECT_EQ(+first.state, static_cast<int>(CycleState::Waiting));
    EXPECT_EQ(+first.minAttempts, 100);
    EXPECT_EQ(+first.maxAttempts, 1000);
    EXPECT_EQ(numberText(first.inNumber), QStringLiteral("-/-/-/-/-/-/-"));
    EXPECT_EQ(+templateCycle().state, static_cast<int>(CycleState::TakenUp));

    CycleRecord& edited = *scenario.editableCurrentCycle();
    edited.inNumber = makeNumber({"-", "-", "-", "-", "-", "P0099", "-"});
    edited.minAttempts = 7;
    edited.numEnum[NUM_ON_ATX].on = 1;
    edited.numEnum[NUM_ON_ATX].endValue = 101;
    edited.anyEnum = 1;
    scenario.header().finishedCycles = 1;

    ASSERT_TRUE(scenario.AddCycle());
    EXPECT_EQ(scenario.currentIndex(), 1);
    const CycleRecord& copy = scenario.cycle(1);
    EXPECT_EQ(+copy.minAttempts, 7);
    EXPECT_EQ(numberOf(1), QStringLiteral("P0099"));
    EXPECT_EQ(+copy.numEnum[NUM_ON_ATX].on, 0);
    EXPECT_EQ(+copy.numEnum[NUM_ON_ATX].endValue, 101);  // only the switch goes off
    EXPECT_EQ(+copy.anyEnum, 0);
    EXPECT_EQ(+scenario.header().finishedCycles, 0);
    EXPECT_EQ(+scenario.header().cycleCount, 2);
}

TEST_F(ScenarioFixture, InsertPutsTheCopyBeforeTheIndex) {
    addCycleCalling("P1");
    addCycleCalling("P2");
    scenario.setCurrentIndex(0);
    ASSERT_TRUE(scenario.InsertCycle(1));
    EXPECT_EQ(scenario.currentIndex(), 1);
    EXPECT_EQ(numberOf(0), QStringLiteral("P1"));
    EXPECT_EQ(numberOf(1), QStringLiteral("P1"));
    EXPECT_EQ(numberOf(2), QStringLiteral("P2"));

    ASSERT_TRUE(scenario.InsertCycle(-1));  // no row selected: before the first cycle
    EXPECT_EQ(scenario.currentIndex(), 0);
    EXPECT_EQ(scenario.cycleCount(), 4);
    ASSERT_TRUE(scenario.InsertCycle(99));  // past the end: appended
    EXPECT_EQ(scenario.currentIndex(), 4);
}

TEST_F(ScenarioFixture, DeletingAFinishedCycleLowersFinishedCycles) {
    addCycleCalling("P1");
    addCycleCalling("P2");
    addCycleCalling("P3");
    scenario.cycle(0).state = static_cast<int>(CycleState::Done);
    scenario.cycle(1).state = static_cast<int>(CycleState::Cancelled);
    scenario.header().finishedCycles = 2;

    ASSERT_TRUE(scenario.DeleteCycle(2));  // a waiting one
    EXPECT_EQ(+scenario.header().finishedCycles, 2);
    EXPECT_EQ(scenario.currentIndex(), 1);  // the new last cycle

    ASSERT_TRUE(scenario.DeleteCycle(0));  // a done one
    EXPECT_EQ(+scenario.header().finishedCycles, 1);
    EXPECT_EQ(scenario.currentIndex(), 0);
    EXPECT_EQ(numberOf(0), QStringLiteral("P2"));

    EXPECT_FALSE(scenario.DeleteCycle(5));
    EXPECT_FALSE(scenario.DeleteCycle(-1));
    EXPECT_EQ(scenario.cycleCount(), 1);
}

TEST_F(ScenarioFixture, DeletingTheOnlyCycleResetsTheHeaderToTheTemplate) {
    addCycleCalling("P1");
    scenario.header().baseTime += 3.0;
    scenario.header().runCount = 5;
    scenario.header().outNumber = makeNumber({"-", "-", "-", "-", "-", "P7", "-"});
    ASSERT_TRUE(scenario.DeleteCycle(0));
    EXPECT_EQ(scenario.cycleCount(), 0);
    EXPECT_EQ(scenario.currentIndex(), -1);
    EXPECT_EQ(fromOleDate(scenario.header().baseTime), kProgramStart);
    EXPECT_EQ(+scenario.header().runCount, 1);
    EXPECT_EQ(numberText(scenario.header().outNumber), QStringLiteral("-/-/-/-/-/-/-"));

    // The cycle after a Clear is a copy of the template again, not of the deleted cycle.
    ASSERT_TRUE(scenario.AddCycle());
    EXPECT_EQ(numberOf(0), QStringLiteral("-"));
}

TEST_F(ScenarioFixture, StartResetsTheRunAndRestartIsOfferedOnlyMidway) {
    addCycleCalling("P1");
    addCycleCalling("P2");
    addCycleCalling("P3");
    scenario.cycle(0).state = static_cast<int>(CycleState::Done);
    scenario.cycle(1).state = static_cast<int>(CycleState::Excluded);
    scenario.cycle(2).state = static_cast<int>(CycleState::Postponed);
    scenario.header().finishedCycles = 1;
    EXPECT_EQ(scenario.excludedCycles(), 1);
    EXPECT_TRUE(scenario.canRestart());  // 1 <= 1 < 3 - 1

    scenario.header().finishedCycles = 2;
    EXPECT_FALSE(scenario.canRestart());  // all cycles that run are finished

    scenario.prepareStart();
    EXPECT_EQ(+scenario.header().finishedCycles, 0);
    EXPECT_EQ(+scenario.cycle(0).state, static_cast<int>(CycleState::Waiting));
    EXPECT_EQ(+scenario.cycle(1).state, static_cast<int>(CycleState::Excluded));
    EXPECT_EQ(+scenario.cycle(2).state, static_cast<int>(CycleState::Waiting));
    EXPECT_FALSE(scenario.canRestart());
}

TEST(CycleDuration, TemplateCycleAndEnumeratedNumbers) {
    CycleRecord c = templateCycle();
    // 2.5 + 2.0 dial + 5.8 ringback + 6.5 answer + 4.0 release + 7.2 clear-back + 4.0 pause
    EXPECT_DOUBLE_EQ(attemptSeconds(c), 32.0);
    EXPECT_DOUBLE_EQ(estimateCycleDuration(c), 32008.0);
    EXPECT_EQ(formatEstimatedDuration(32008.0), QStringLiteral(" 08:53"));

    c.ringbackCheck = 0;
    c.attenuationCheck = 1;  // 1.0 s tone back + 0.4 instead of the 4 s release delay
    EXPECT_DOUBLE_EQ(attemptSeconds(c), 32.0 - 5.8 - 4.0 + 1.4);

    c = templateCycle();
    c.inNumber = makeNumber({"-", "-", "-", "-", "-", "P0099", "-"});
    c.numEnum[NUM_ON_ATX].on = 1;
    c.numEnum[NUM_ON_ATX].endValue = 101;
    c.maxAttempts = 1;
    const double oneNumber = attemptSeconds(c) + 8.0;
    EXPECT_DOUBLE_EQ(estimateCycleDuration(c), 3 * oneNumber);

    EXPECT_EQ(formatEstimatedDuration(359999.0), QStringLiteral(" 99:59"));
    EXPECT_EQ(formatEstimatedDuration(-5.0), QStringLiteral(" 00:00"));
    EXPECT_EQ(formatEstimatedDuration(std::nan("")), QStringLiteral(" 00:00"));
}

}  // namespace
}  // namespace zev7
