// Which cycle a port takes up next and how a scenario starts over, without a modem: start
// windows, numbers another port is calling, excluded cycles, and the repetition after
// completion.
#include "engine/cycle/cycle_scheduler.h"
#include "core/clocks.h"
#include "engine/registry/port_registry.h"
#include "scenario/ole_date.h"
#include "scenario/port_event.h"
#include "scenario/scenario_templates.h"
#include "support/plain_number.h"

#include <gtest/gtest.h>

namespace zev7 {
namespace {

constexpr int kPort = 1;
constexpr int kOtherPort = 2;
constexpr double kMinute = 1.0 / kMinutesPerDay;
constexpr double kBase = 46000.5;  // a noon in 2025, OLE days

using test::plainNumber;

class Scheduler : public ::testing::Test {
protected:
    Scheduler() : header_(templateHeader(kBase)) {}

    // A waiting cycle calling `digits` whose window is [from, until] minutes after the base.
    void addCycle(const char* digits, double fromMin, double untilMin,
                  CycleState s = CycleState::Waiting) {
        CycleRecord c = templateCycle();
        c.inNumber = plainNumber(digits);
        c.startFrom = fromMin * kMinute;
        c.startUntil = untilMin * kMinute;
        c.state = static_cast<std::int32_t>(s);
        cycles_.push_back(c);
    }

    CycleState stateOf(std::size_t i) const { return static_cast<CycleState>(cycles_[i].state); }

    ManualClock clock_;
    PortRegistry registry_;
    ScenarHeader header_;
    std::vector<CycleRecord> cycles_;
    CycleScheduler scheduler_{kPort, header_, cycles_, registry_, clock_};
};

TEST_F(Scheduler, ClosedWindowsAreCancelledAndTheFirstOpenOneIsTakenUp) {
    addCycle("100", 0, 10);  // closed by now
    addCycle("200", 5, 60, CycleState::Excluded);
    addCycle("300", 30, 90);  // not open yet
    addCycle("400", 0, 60);
    addCycle("500", 0, 60);
    const CycleScheduler::Selection s = scheduler_.selectCycle(kBase + 20 * kMinute);

    EXPECT_EQ(s.cycleIndex, 3);
    EXPECT_TRUE(s.changed);
    ASSERT_EQ(s.events.size(), 1u);
    EXPECT_EQ(s.events[0].event, PortEvent::CycleCancelledLate);
    EXPECT_EQ(s.events[0].cycleIndex, 0);
    EXPECT_EQ(stateOf(0), CycleState::Cancelled);
    EXPECT_EQ(header_.finishedCycles, 1);
    EXPECT_EQ(stateOf(1), CycleState::Excluded);
    EXPECT_EQ(stateOf(2), CycleState::Waiting);
    EXPECT_EQ(stateOf(3), CycleState::TakenUp);
    EXPECT_EQ(stateOf(4), CycleState::Waiting);
    EXPECT_TRUE(registry_.numberTakenByOther(kOtherPort, plainNumber("400")));

    // Before every window: nothing is selected and nothing changes.
    const CycleScheduler::Selection early = scheduler_.selectCycle(kBase - kMinute);
    EXPECT_EQ(early.cycleIndex, -1);
    EXPECT_FALSE(early.changed);
    EXPECT_TRUE(early.events.empty());
}

TEST_F(Scheduler, ANumberAnotherPortCallsPostponesOnceUntilItIsFree) {
    addCycle("200", 0, 60);
    registry_.claimNumber(kOtherPort, plainNumber("200"));
    for (int i = 0; i < 3; ++i) {
        const CycleScheduler::Selection s = scheduler_.selectCycle(kBase + i * kMinute);
        EXPECT_EQ(s.cycleIndex, -1);
        EXPECT_EQ(s.events.size(), i == 0 ? 1u : 0u);
    }
    EXPECT_EQ(stateOf(0), CycleState::Postponed);
    EXPECT_FALSE(scheduler_.claimNumber(plainNumber("200")));

    registry_.releaseNumber(kOtherPort);
    EXPECT_EQ(scheduler_.selectCycle(kBase + 5 * kMinute).cycleIndex, 0);
    scheduler_.releaseNumber();
    EXPECT_TRUE(scheduler_.claimNumber(plainNumber("200")));
}

TEST_F(Scheduler, RepetitionAfterCompletionOpensTheEarliestWindowOneIntervalLater) {
    header_.runCount = 2;
    header_.repeatMode = 1;
    header_.repeatInterval = 90;
    addCycle("100", 20, 60, CycleState::Done);
    addCycle("200", 10, 60, CycleState::Excluded);
    addCycle("300", 30, 60, CycleState::Cancelled);
    header_.finishedCycles = 1;
    EXPECT_EQ(scheduler_.repeatScenario(kBase + kMinute), CycleScheduler::Repetition::NotDue);

    header_.finishedCycles = 2;
    const double end = kBase + 70 * kMinute;
    EXPECT_EQ(scheduler_.repeatScenario(end), CycleScheduler::Repetition::NextPass);
    EXPECT_EQ(scheduler_.executionNumber(), 2);
    EXPECT_EQ(header_.finishedCycles, 0);
    // The earliest start of all cycles (the excluded one's too) is 10 min: its window opens
    // 90 min after the end.
    EXPECT_NEAR(header_.baseTime + 10 * kMinute, end + 90 * kMinute, 1e-9);
    EXPECT_EQ(stateOf(0), CycleState::Waiting);
    EXPECT_EQ(stateOf(1), CycleState::Excluded);
    EXPECT_EQ(stateOf(2), CycleState::Waiting);

    header_.finishedCycles = 2;
    EXPECT_EQ(scheduler_.repeatScenario(end), CycleScheduler::Repetition::Complete);
}

}  // namespace
}  // namespace zev7
