#include "scenario/scenario_scheme.h"
#include "scenario/ole_date.h"
#include "scenario/scenario_templates.h"
#include "support/plain_number.h"

#include <gtest/gtest.h>
#include <random>

namespace zev7 {
namespace {

constexpr double kHour = 1.0 / 24.0;
constexpr double kMinute = 1.0 / kMinutesPerDay;
constexpr double kBase = 46000.0 + 10 * kHour;  // a morning at 10:00

// One port's scenario for the scheme.
struct Plan {
    ScenarHeader header = templateHeader(kBase);
    std::vector<CycleRecord> cycles;

    Plan& call(const char* number, double fromHours, double hoursLong) {
        CycleRecord c = templateCycle();
        c.inNumber = test::plainNumber(number);
        c.startFrom = fromHours * kHour;
        c.startUntil = c.startFrom + 2 * kHour;
        c.estimatedDuration = hoursLong * 3600.0;
        c.state = static_cast<std::int32_t>(CycleState::Waiting);
        cycles.push_back(c);
        return *this;
    }
    SchemeSource source(int port, bool free = true, bool running = false) const {
        return {port, free, running, &header, cycles};
    }
};

bool clash(const ScenarioScheme& s, int row, int bar) {
    return s.rows().at(row).bars.at(bar).clash;
}

TEST(ScenarioSchemeTest, SameNumberAtOnceOnTwoPortsClashesApartItDoesNot) {
    Plan one, two;
    one.call("2222222", 0, 1).call("3333333", 3, 1);
    two.call("2222222", 0.5, 1).call("2222222", 3, 1).call("4444444", 1.5, 1);
    ScenarioScheme s;
    const SchemeSource sources[] = {two.source(2), one.source(1)};
    s.build(sources);
    ASSERT_EQ(s.rows().size(), 2u);
    EXPECT_EQ(s.rows()[0].port, 1);
    EXPECT_EQ(s.rows()[0].bars[0].label, "1. -/-/-/-/-/2222222/-");
    EXPECT_EQ(s.rows()[0].legend, QString::fromUtf8("Канал № 1. -/-/-/-/-/-/-"));
    EXPECT_TRUE(clash(s, 0, 0));
    EXPECT_TRUE(clash(s, 1, 0));
    EXPECT_FALSE(clash(s, 0, 1));  // 3333333 at 13:00 meets 2222222 at 13:00: other numbers
    EXPECT_FALSE(clash(s, 1, 1));
    // Port 2's own cycles: 10:30-11:30 and 11:30-12:30 touch, ends included.
    EXPECT_TRUE(clash(s, 1, 2));

    // An enumerated cycle calls a series: it never clashes with another port's number.
    one.cycles[0].anyEnum = 1;
    two.cycles[2].startFrom = 5 * kHour;
    s.build(sources);
    EXPECT_EQ(s.rows()[0].bars[0].label, QString::fromUtf8("1. Комплексный цикл"));
    EXPECT_EQ(s.rows()[0].bars[0].colour, BarColour::Enumerated);
    EXPECT_FALSE(clash(s, 0, 0));
    EXPECT_FALSE(clash(s, 1, 0));

    // An excluded cycle will not be called: it is not drawn and clashes with nothing.
    one.cycles[0].anyEnum = 0;
    one.cycles[0].state = static_cast<std::int32_t>(CycleState::Excluded);
    s.build(sources);
    EXPECT_EQ(s.rows()[0].bars.size(), 1u);
    EXPECT_FALSE(clash(s, 1, 0));
}

TEST(ScenarioSchemeTest, RepeatsFollowTheModeAndLaterRunsAreWhite) {
    Plan p;
    p.call("2222222", 1, 0.5);
    p.header.runCount = 3;
    p.header.repeatMode = 0;
    p.header.repeatInterval = 60;
    ScenarioScheme s;
    const SchemeSource sources[] = {p.source(3)};
    s.build(sources);
    const auto& bars = s.rows()[0].bars;
    ASSERT_EQ(bars.size(), 3u);
    for (int r = 0; r < 3; ++r) {
        EXPECT_NEAR(bars[r].start, kBase + (1 + r) * kHour, 1e-9);
        EXPECT_EQ(bars[r].run, r + 1);
        EXPECT_EQ(bars[r].colour, r == 0 ? BarColour::Series : BarColour::Repeat);
        EXPECT_FALSE(bars[r].clash);
    }
    // After the end: the next run starts a second after the last bar ends, plus the interval.
    p.header.repeatMode = 1;
    s.build(sources);
    EXPECT_NEAR(s.rows()[0].bars[1].start,
                kBase + 1.5 * kHour + ScenarioScheme::kRepeatGapDays + kHour, 1e-9);
    EXPECT_EQ(s.lastPort(), 3);

    // 999 runs of a long scenario stop at the row's limit, whole runs only.
    for (int k = 0; k < 99; ++k) {
        p.call("2222222", k, 0.5);
    }
    p.header.runCount = 999;
    const SchemeSource longer[] = {p.source(3)};
    s.build(longer);
    EXPECT_EQ(s.rows()[0].bars.size(), ScenarioScheme::kMaxBarsPerRow);
}

TEST(ScenarioSchemeTest, DragStopsAtTheBaseTimeAndKeepsTheStartWindow) {
    Plan p;
    p.call("2222222", 2, 1);
    p.header.runCount = 2;
    p.header.repeatInterval = 180;
    ScenarioScheme s;
    SchemeSource sources[] = {p.source(1)};
    s.build(sources);
    const double grab = kBase + 2.25 * kHour;
    ASSERT_EQ(s.barAt(0, grab), 0);
    EXPECT_FALSE(s.beginDrag(0, 1, grab));  // the repetition follows its first run
    ASSERT_TRUE(s.beginDrag(0, 0, grab));
    s.dragTo(grab - 5 * kHour);
    EXPECT_DOUBLE_EQ(s.rows()[0].bars[0].start, kBase);
    std::optional<CycleMove> move = s.endDrag();
    ASSERT_TRUE(move.has_value());
    EXPECT_EQ(move->port, 1);
    EXPECT_EQ(move->cycle, 0);
    EXPECT_DOUBLE_EQ(move->startFrom, 0.0);
    EXPECT_NEAR(move->startUntil, 2 * kHour, 1e-12);

    // Forward by 40 min 20 s: the start lands on a whole minute.
    ASSERT_TRUE(s.beginDrag(0, 0, kBase + 0.5 * kHour));
    s.dragTo(kBase + 0.5 * kHour + 40 * kMinute + 20.0 / 86400.0);
    move = s.endDrag();
    EXPECT_NEAR(move->startFrom, 40 * kMinute, 1e-12);

    // A port whose scenario runs, or which is busy, keeps its plan.
    sources[0] = p.source(1, true, true);
    s.build(sources);
    EXPECT_FALSE(s.beginDrag(0, 0, grab));
    sources[0] = p.source(1, false, false);
    s.build(sources);
    EXPECT_FALSE(s.beginDrag(0, 0, grab));
    EXPECT_FALSE(s.endDrag().has_value());
}

TEST(ScenarioSchemeTest, PagesCountTheDataAndNameTheOneShown) {
    const TimeSpan data{kBase, kBase + 10 * kHour};
    EXPECT_EQ(ScenarioScheme::page(data, data).count, 1);
    EXPECT_EQ(ScenarioScheme::page(data, {kBase - 1, kBase + 1}).count, 1);
    const double five = 5 * kHour;
    const TimeSpan second = ScenarioScheme::pageWindow(data, five, 2);
    EXPECT_NEAR(second.first, kBase + five, 1e-12);
    // The second page reads as the second, not the first.
    EXPECT_EQ(ScenarioScheme::page(data, second).page, 2);
    EXPECT_EQ(ScenarioScheme::page(data, second).count, 2);
    const double four = 4 * kHour;
    const SchemePage third = ScenarioScheme::page(data, ScenarioScheme::pageWindow(data, four, 3));
    EXPECT_EQ(third.count, 3);
    EXPECT_EQ(third.page, 3);
    EXPECT_EQ(ScenarioScheme::page(data, {kBase + 20 * kHour, kBase + 24 * kHour}).page, 3);
}

// The sweep must find exactly the clashes that comparing every pair of bars finds.
TEST(ScenarioSchemeTest, ClashesAgreeWithComparingEveryPair) {
    std::mt19937 random(12);
    std::uniform_real_distribution<double> hours(0.0, 12.0);
    std::uniform_real_distribution<double> length(0.0, 1.5);
    const char* numbers[] = {"2222222", "3333333", "4444444"};
    std::vector<Plan> plans(6);
    for (Plan& p : plans) {
        for (int k = 0; k < 8; ++k) {
            p.call(numbers[random() % 3], hours(random), length(random));
            p.cycles.back().anyEnum = random() % 7 == 0 ? 1 : 0;
        }
    }
    std::vector<SchemeSource> sources;
    for (std::size_t i = 0; i < plans.size(); ++i) {
        sources.push_back(plans[i].source(static_cast<int>(i) + 1));
    }
    ScenarioScheme s;
    s.build(sources);
    auto agree = [&s] {
        int clashes = 0;
        for (const SchemeRow& row : s.rows()) {
            for (std::size_t i = 0; i < row.bars.size(); ++i) {
                const SchemeBar& b = row.bars[i];
                bool expected = false;
                for (const SchemeRow& other : s.rows()) {
                    for (std::size_t j = 0; j < other.bars.size(); ++j) {
                        const SchemeBar& o = other.bars[j];
                        const bool same = &other == &row;
                        if ((same && i == j) ||
                            !ScenarioScheme::overlap(b.start, b.end, o.start, o.end)) {
                            continue;
                        }
                        expected = expected || same ||
                                   (!b.complex && !o.complex && b.numberKey == o.numberKey);
                    }
                }
                EXPECT_EQ(b.clash, expected) << "port " << row.port << " bar " << i;
                clashes += b.clash ? 1 : 0;
            }
        }
        return clashes;
    };
    EXPECT_GT(agree(), 0);
    // A drag recolours only around the moved bar: the rest must still agree.
    for (int row : {0, 3}) {
        const double grab = s.rows()[row].bars[1].start;
        ASSERT_TRUE(s.beginDrag(row, 1, grab));
        s.dragTo(grab + hours(random) * kHour);
        agree();
        s.endDrag();
        agree();
    }
}

}  // namespace
}  // namespace zev7
