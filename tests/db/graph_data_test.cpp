// The figures the statistical graphs draw, read from cycles written straight into the result
// tables: the histogram's intervals, the means per cycle against the results per cycle, the pies.
#include "dbquery/graph_data.h"
#include "db/selection_fixture.h"
#include "dbquery/working_selection.h"

namespace zev7::testing {
namespace {

class GraphData_ : public SelectionTest {
protected:
    void SetUp() override {
        SelectionTest::SetUp();
        addNumber("Table_Out", 1, QStringLiteral("495"));
        addNumber("Table_In", 1, QStringLiteral("812"));
        addCycle({.id = 1,
                  .dateOn = QDate(2026, 1, 12),
                  .timeOn = QTime(9, 0),
                  .timeOff = QTime(10, 0),
                  .calls = 100,
                  .losses = 3,
                  .busyIncoming = 1});
        addCycle({.id = 2,
                  .dateOn = QDate(2026, 1, 13),
                  .timeOn = QTime(9, 0),
                  .timeOff = QTime(11, 0),
                  .calls = 300,
                  .losses = 21,
                  .busyIncoming = 6});
        // No test-call rows at all.
        addCycle({.id = 3,
                  .dateOn = QDate(2026, 1, 14),
                  .timeOn = QTime(9, 0),
                  .timeOff = QTime(9, 30),
                  .state = 0,
                  .calls = 40,
                  .losses = 0,
                  .measured = false});
        WorkingSelection selection(DbConnection::main());
        ASSERT_TRUE(
            selection.load(criteria(QStringLiteral("01.01.26"), QStringLiteral("31.01.26"), {1})));
    }

    // Attenuation values of the test calls of a cycle that exists only in the call table.
    static void measure(int cycleId, const QList<double>& values) {
        for (int n = 0; n < values.size(); ++n) {
            exec(QStringLiteral("INSERT INTO Table_ResSeans VALUES (?,?,?,?,?)"),
                 {cycleId, n + 1, values[n], -10.0, QVariant()});
        }
    }

    GraphData read(int kind, GraphScope scope = {}, int intervals = 10) {
        GraphQuery query(DbConnection::main());
        GraphData d;
        EXPECT_TRUE(query.read(kind, scope, intervals, d)) << query.lastError().toStdString();
        return d;
    }
    GraphData histogram(int cycleId, int intervals = 10) {
        return read(4, {.cycleId = cycleId}, intervals);
    }
};

// The share of the interval whose left edge is point 2i (both edges carry it).
double share(const GraphData& d, int interval) {
    return d.points.value(2 * interval).y;
}

double total(const GraphData& d) {
    double sum = 0.0;
    for (int i = 0; i < d.points.size(); i += 2) {
        sum += d.points[i].y;
    }
    return sum;
}

TEST_F(GraphData_, HistogramIntervals) {
    measure(10, {7.5});
    const GraphData single = histogram(10);
    EXPECT_EQ(single.measured, 1);
    EXPECT_FALSE(single.histogramShown());

    // All values equal: the range is 0.00002 wide and the first interval holds them all.
    measure(11, {5.0, 5.0, 5.0});
    const GraphData equal = histogram(11);
    ASSERT_TRUE(equal.histogramShown());
    ASSERT_EQ(equal.points.size(), 20);
    EXPECT_DOUBLE_EQ(share(equal, 0), 100.0);
    EXPECT_DOUBLE_EQ(equal.points[1].y, 100.0);
    EXPECT_DOUBLE_EQ(total(equal), 100.0);
    EXPECT_NEAR(equal.high - equal.low, 0.00002, 1e-9);
    EXPECT_DOUBLE_EQ(equal.mean, 5.0);
    EXPECT_DOUBLE_EQ(equal.highestBar(), 100.0);

    // 0, 1, .. 10 in ten intervals: the last holds its upper bound (10), and a value just
    // above an inner border (1 lies 0.00001 above the first one) still counts, in the upper.
    QList<double> steps;
    for (int v = 0; v <= 10; ++v) {
        steps << v;
    }
    measure(12, steps);
    const GraphData spread = histogram(12);
    ASSERT_EQ(spread.points.size(), 20);
    EXPECT_NEAR(share(spread, 9), 100.0 / 11, 1e-9);
    EXPECT_NEAR(share(spread, 1), 100.0 / 11, 1e-9);
    EXPECT_NEAR(total(spread), 100.0, 1e-9);
    EXPECT_NEAR(spread.points.last().x, 10.00001, 1e-9);
    EXPECT_NEAR(spread.points.first().x, 0.0, 1e-9);

    // One interval: it is also the last and holds both ends.
    measure(13, {0.0, 10.0});
    EXPECT_DOUBLE_EQ(share(histogram(13, 1), 0), 100.0);
}

TEST_F(GraphData_, ACycleWithoutCallsIsMissingFromTheMeansButNotFromTheResults) {
    const GraphData means = read(GraphFirstMean);
    ASSERT_EQ(means.points.size(), 2);  // cycle 3 has no measurements
    EXPECT_DOUBLE_EQ(means.points[0].y, 15.0);
    EXPECT_EQ(means.points[0].label, QStringLiteral("09:00:00 12.01.2026"));

    const GraphData losses = read(18);  // result 3: all losses, in percent
    ASSERT_EQ(losses.points.size(), 3);
    EXPECT_DOUBLE_EQ(losses.points[1].y, 7.0);
    EXPECT_DOUBLE_EQ(losses.points[2].y, 0.0);
    EXPECT_EQ(losses.points[2].label, QStringLiteral("09:00:00 14.01.2026"));
    EXPECT_EQ(losses.norms, (QList<double>{4.0, 4.0, 4.0}));

    // The cycles the user took out leave both, and so do those the filter leaves out.
    const GraphScope without2{.excludedCycleIds = {2}};
    EXPECT_EQ(read(GraphFirstMean, without2).points.size(), 1);
    EXPECT_EQ(read(18, without2).points.size(), 2);
    RecordFilter lossesAbove5;
    lossesAbove5.kind = FilterKind::Result;
    lossesAbove5.paramId = 3;
    lossesAbove5.low = QStringLiteral("5");
    const GraphScope filtered{.filter = lossesAbove5.toSql()};
    ASSERT_EQ(read(18, filtered).points.size(), 1);
    EXPECT_DOUBLE_EQ(read(18, filtered).points[0].y, 7.0);
    EXPECT_EQ(read(GraphFirstMean, filtered).points.size(), 1);
    EXPECT_EQ(read(GraphSelectionPie, filtered).slices, (QList<double>{279, 21}));
}

TEST_F(GraphData_, PiesOfTheCycleAndOfTheSelection) {
    EXPECT_EQ(read(GraphCyclePie, {.cycleId = 2}).slices, (QList<double>{279, 21}));
    EXPECT_EQ(read(GraphSelectionPie).slices, (QList<double>{416, 24}));
    // Losses that are not "busy on the incoming side" count as "no ringback" (slices 6, 7).
    const GraphData losses = read(GraphSelectionLossPie, {.excludedCycleIds = {2}});
    ASSERT_EQ(losses.slices.size(), 13);
    EXPECT_DOUBLE_EQ(losses.slices[6], 2.0);
    EXPECT_DOUBLE_EQ(losses.slices[7], 1.0);
    EXPECT_EQ(graphSliceLabels(GraphCycleLossPie).size(), 13);
}

TEST_F(GraphData_, KindsCaptionsAndLevels) {
    int used = 0;
    for (int kind = 0; kind < kGraphKindCount; ++kind) {
        used += graphKindUsed(kind) ? 1 : 0;
        EXPECT_EQ(graphKindCaption(kind).isEmpty(), !graphKindUsed(kind)) << kind;
    }
    EXPECT_EQ(used, 28);
    EXPECT_EQ(graphKindCaption(31), QString::fromUtf8("БД: Диаграмма.АО не обнаружил сигнала исх"));
    EXPECT_EQ(histogramKind(GraphLevel::Ringback), 7);
    EXPECT_EQ(graphLevel(perCallKind(GraphLevel::DialTone)), GraphLevel::DialTone);
    EXPECT_EQ(graphLevel(meanKind(GraphLevel::Ringback)), GraphLevel::Ringback);
}

}  // namespace
}  // namespace zev7::testing
