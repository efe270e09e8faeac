// Deleting cycles: what each mode takes, what always stays, and a deletion killed half way.
#include "dbtransfer/cycle_deletion.h"
#include "transfer_fixture.h"

#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

namespace zev7::testing {
namespace {

class CycleDeletionTest : public TransferTest {
protected:
    static DeletionInterval january() {
        return {QDate(2026, 1, 1), QDate(2026, 1, 31), QTime(0, 0), QTime(23, 59, 59)};
    }
    QList<int> selected(const DeletionChoice& choice, const DeletionInterval& interval) {
        DeletionQueries queries(DbConnection::main());
        QList<int> ids;
        EXPECT_TRUE(queries.selectedCycles(DeletionQueries::selection(interval, choice), &ids))
            << queries.error().toStdString();
        return ids;
    }
};

TEST_F(CycleDeletionTest, InterruptedCyclesGoWithEverythingTheyHeldAndTheNumbersStay) {
    storeCycle(outA(), inA(), QDateTime(QDate(2026, 1, 10), QTime(9, 0)), 2, false);  // 1: open
    storeCycle(outA(), inA(), QDateTime(QDate(2026, 1, 11), QTime(9, 0)), 2, true);   // 2
    storeCycle(outB(), inA(), QDateTime(QDate(2026, 2, 11), QTime(9, 0)), 2, false);  // 3: Feb.

    const QList<int> ids = selected({DeletionMode::Interrupted}, january());
    EXPECT_EQ(ids, QList<int>{1});
    QList<int> gauges;
    const DeletionResult r = CycleDeleter(DbConnection::main())
                                 .deleteCycles(ids, {[&](int g) { gauges << g; }, {}, {}, {}});
    EXPECT_EQ(r.deleted, 1);
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(gauges.back(), 100);
    EXPECT_TRUE(std::is_sorted(gauges.begin(), gauges.end()));
    bool whole = false;
    EXPECT_TRUE(wholeOrGone(1, &whole));
    EXPECT_FALSE(whole);
    EXPECT_TRUE(wholeOrGone(2, &whole) && whole);
    EXPECT_TRUE(wholeOrGone(3, &whole) && whole);
    EXPECT_EQ(count(QStringLiteral("Table_Out")), 2);
    EXPECT_EQ(count(QStringLiteral("Table_In")), 1);

    // Nothing selected: nothing happens but the full gauge.
    gauges.clear();
    EXPECT_EQ(CycleDeleter(DbConnection::main())
                  .deleteCycles({}, {[&](int g) { gauges << g; }, {}, {}, {}})
                  .deleted,
              0);
    EXPECT_EQ(gauges.back(), 100);
}

TEST_F(CycleDeletionTest, ListsAndSelectionsFollowTheIntervalAndTheChosenNumbers) {
    storeCycle(outA(), inA(), QDateTime(QDate(2026, 1, 10), QTime(9, 0)), 1, true);   // 1
    storeCycle(outB(), inA(), QDateTime(QDate(2026, 1, 12), QTime(9, 0)), 1, true);   // 2
    storeCycle(outA(), inA(), QDateTime(QDate(2026, 1, 12), QTime(22, 0)), 1, true);  // 3
    DeletionQueries q(DbConnection::main());
    EXPECT_EQ(q.outgoing(january()).size(), 2);
    DeletionInterval twelfth = january();
    twelfth.dateOn = QDate(2026, 1, 12);
    const QList<DeletionListEntry> out = q.outgoing(twelfth);
    ASSERT_EQ(out.size(), 2);
    twelfth.timeOff = QTime(18, 0);  // cycle 3 ends after 18:00
    ASSERT_EQ(q.outgoing(twelfth).size(), 1);
    const int outB = q.outgoing(twelfth).front().id;
    EXPECT_EQ(selected({DeletionMode::ByOutgoing, outB}, twelfth), QList<int>{2});
    EXPECT_EQ(selected({DeletionMode::ByIncoming, 0, q.incoming(january()).front().id}, january()),
              (QList<int>{1, 2, 3}));
    const QList<DeletionListEntry> cycles = q.cycles(january(), out.front().id, 1);
    ASSERT_EQ(cycles.size(), 2);
    EXPECT_EQ(cycles.front().text, QStringLiteral("10.01.2026 09:00:00"));
    EXPECT_EQ(selected({DeletionMode::OutgoingIncoming, 0, 0, cycles.back().id}, january()),
              QList<int>{3});
    // A list mode with nothing chosen selects nothing.
    EXPECT_TRUE(selected({DeletionMode::ByOutgoing}, january()).isEmpty());
}

TEST_F(CycleDeletionTest, InterruptingStopsAfterTheCurrentCycleAndDeleteAllEmptiesEverything) {
    for (int d = 1; d <= 4; ++d) {
        storeCycle(outA(), inA(), QDateTime(QDate(2026, 1, d), QTime(9, 0)), 1, true);
    }
    bool stop = false;
    const DeletionResult r =
        CycleDeleter(DbConnection::main())
            .deleteCycles({1, 2, 3, 4},
                          {{}, {}, [&] { return stop; }, [&](int done) { stop = done == 2; }});
    EXPECT_TRUE(r.interrupted);
    EXPECT_EQ(r.deleted, 2);
    EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 2);

    const DeletionResult all = CycleDeleter(DbConnection::main()).deleteAll({});
    EXPECT_FALSE(all.failed);
    for (const char* t : {"Table_Cycle", "Table_Seans", "Table_ResSeans", "Table_ResCycle",
                          "Table_Sett_Cycle_Dec", "Table_Out", "Table_In"}) {
        EXPECT_EQ(count(QLatin1String(t)), 0) << t;
    }
}

// The program dies in the middle of the second block: the first block is gone, every other
// cycle is whole.
TEST_F(CycleDeletionTest, ADeletionKilledHalfWayLeavesEveryCycleWholeOrGone) {
    constexpr int kCycles = CycleDeleter::kCyclesPerTransaction + 60;
    constexpr int kDieAfter = CycleDeleter::kCyclesPerTransaction + 30;
    fillDemoDatabase({kCycles, 2, 2, 3, QDateTime(QDate(2026, 1, 12), QTime(8, 0)), 40, 7},
                     messages_);
    QList<int> ids;
    for (int id = 1; id <= kCycles; ++id) {
        ids << id;
    }
    DbConnection::shutdown();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (!DbConnection::setup(nullptr, DbConnection::options())) {
            _exit(2);
        }
        CycleDeleter(DbConnection::main()).deleteCycles(ids, {{}, {}, {}, [](int done) {
                                                                  if (done == kDieAfter) {
                                                                      std::raise(SIGKILL);
                                                                  }
                                                              }});
        _exit(3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "child ended with " << WEXITSTATUS(status);

    ASSERT_TRUE(DbConnection::setup(&messages_, DbConnection::options()));
    for (int id = 1; id <= kCycles; ++id) {
        bool whole = false;
        ASSERT_TRUE(wholeOrGone(id, &whole)) << "cycle " << id;
        EXPECT_EQ(whole, id > CycleDeleter::kCyclesPerTransaction) << "cycle " << id;
    }
}

}  // namespace
}  // namespace zev7::testing
