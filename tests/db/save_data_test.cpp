// What the port thread's writer leaves in the database, call by call, and what it leaves when
// the database refuses.
#include "db/db_dialect.h"
#include "db/db_transaction.h"
#include "db_fixture.h"
#include "scenario/cycle_end.h"
#include "support/recording_messages.h"

#include <QFile>
#include <limits>

namespace zev7::testing {
namespace {

const QStringList kOut{"-", "-", "(495)", "-", "123", "4567", "-"};
const QStringList kIn{"8", "W", "812", "-", "200", "3000", "t#1a"};

class SaveDataTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        header_ = header(number(kOut));
    }

    // Starts the scenario and a cycle at start; false when a write failed.
    bool startCycle(const CycleRecord& c, double start) {
        const bool out = writer_.outId() > 0 || writer_.SaveScenarioStart(header_);
        return writer_.SaveCycleStart(start, c, header_) && out;
    }

    // Makes the cycle's calls with the given outcomes, 60 s apart and 25 s long, accounting
    // them as the port thread does.
    bool makeCalls(const CycleRecord& c, double start, const std::vector<int>& outcomes,
                   int firstNumber = 1) {
        bool ok = true;
        for (std::size_t i = 0; i < outcomes.size(); ++i) {
            const int outcome = outcomes[i];
            outcomes_.push_back(outcome);
            const int n = static_cast<int>(outcomes_.size());
            successes_ += outcome == 0 ? 1 : 0;
            for (std::size_t k = 0; k < kLossOutcomes.size(); ++k) {
                counts_[k] += resultCodeValue(kLossOutcomes[k]) == outcome ? 1 : 0;
            }
            pastDialTone_ += outcome != -1 && outcome != -2 && outcome != -3 ? 1 : 0;
            pastRingback_ += outcome == 0 || outcome <= -1000 ? 1 : 0;
            lastCall_ = call(start + (firstNumber - 1 + static_cast<int>(i)) * 60 / kSecondsPerDay,
                             25, outcome, outcome == 0 ? -24.0 : -999.0,
                             outcome == -1 ? -999.0 : -12.5, pastRingback_ > 0 ? -17.0 : -999.0);
            // The port thread's rule decides where the cycle ends; the writer files it.
            DbCycleResults results = DbCycleResults::fromCounts(n, successes_, counts_);
            results.endsAtMinimum = endsAtMinimum(c, n, results.lossPercent());
            ok = writer_.SaveTestCall(c, results, lastCall_, n, pastDialTone_, pastRingback_) && ok;
        }
        return ok;
    }

    void newCycle() {
        outcomes_.clear();
        successes_ = pastDialTone_ = pastRingback_ = 0;
        counts_ = {};
    }

    QString cycleState() const {
        return value(QStringLiteral("SELECT STATE_ID FROM Table_Cycle WHERE CYCLE_ID = %1")
                         .arg(writer_.cycleId()))
            .toString();
    }

    TDBSaveData writer_{messages_};
    ScenarHeader header_{};
    std::vector<int> outcomes_;
    int successes_ = 0;
    int pastDialTone_ = 0;
    int pastRingback_ = 0;
    std::array<int, 13> counts_{};
    DbCallRecord lastCall_;
};

TEST_F(SaveDataTest, AWholeCycleIsStoredCallByCall) {
    const CycleRecord c = cycle(number(kIn), 3, 5, 10.0);
    const double start = ole(2026, 1, 14, 10, 0, 0);  // a Wednesday
    ASSERT_TRUE(startCycle(c, start)) << writer_.lastError().toStdString();

    EXPECT_EQ(count(QStringLiteral("Table_Sett_Cycle_Dec")), 24);
    EXPECT_EQ(rows(QStringLiteral("SELECT PARAM_CYCLE_ID, SETCYC_VALUE FROM Table_Sett_Cycle_Dec "
                                  "WHERE PARAM_CYCLE_ID IN (1, 4, 6, 11, 12, 14, 24) ORDER BY 1")),
              (QStringList{"1|3", "4|12.5", "6|1", "11|0", "12|-10", "14|2", "24|2.5"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM Table_Cycle")),
              QStringList{QStringLiteral("1|1|1|2026-01-14|10:00:00|3|2026-01-14|10:00:00|3|0|"
                                         "-/-/(495)/-/123/4567/-|8/W/812/-/200/3000/t#1a|NULL")});
    EXPECT_EQ(count(QStringLiteral("Table_ResCycle")), 0);

    // After every call the 16 result rows hold that call's statistics.
    ASSERT_TRUE(makeCalls(c, start, {0, -1}));
    EXPECT_EQ(count(QStringLiteral("Table_ResCycle")), 16);
    EXPECT_EQ(rows(QStringLiteral("SELECT PARAM_RES_ID, RESCYC_VALUE_CNT, RESCYC_VALUE_PERC FROM "
                                  "Table_ResCycle WHERE PARAM_RES_ID IN (1, 2, 3, 4) ORDER BY 1")),
              (QStringList{"1|2|100", "2|1|50", "3|1|50", "4|1|50"}));
    ASSERT_TRUE(makeCalls(c, start, {0, -200, 0}, 3));

    EXPECT_EQ(messages_.count(), 0);
    EXPECT_EQ(count(QStringLiteral("Table_Out")), 1);
    EXPECT_EQ(count(QStringLiteral("Table_In")), 1);
    EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 1);
    EXPECT_EQ(count(QStringLiteral("Table_Sett_Cycle_Dec")), 24);
    EXPECT_EQ(count(QStringLiteral("Table_ResCycle")), 16);
    EXPECT_EQ(rows(QStringLiteral("SELECT SEANS_ID, DATE_ON, TIME_ON, DAY_WEEK_ID, DATE_OFF, "
                                  "TIME_OFF, DURATION_SEANS, CONNECT_ID FROM Table_Seans ORDER BY "
                                  "SEANS_ID")),
              (QStringList{"1|2026-01-14|10:00:00|3|2026-01-14|10:00:25|00:00:25|0",
                           "2|2026-01-14|10:01:00|3|2026-01-14|10:01:25|00:00:25|-1",
                           "3|2026-01-14|10:02:00|3|2026-01-14|10:02:25|00:00:25|0",
                           "4|2026-01-14|10:03:00|3|2026-01-14|10:03:25|00:00:25|-200",
                           "5|2026-01-14|10:04:00|3|2026-01-14|10:04:25|00:00:25|0"}));
    EXPECT_EQ(count(QStringLiteral("Table_ResSeans")), 5);
    // Losses 2 of 5 at the minimum (3 calls: 33 % > 10 %): the cycle ran to its maximum.
    EXPECT_EQ(rows(QStringLiteral("SELECT DATE_OFF, TIME_OFF, DAY_WEEK_OFF_ID, STATE_ID FROM "
                                  "Table_Cycle")),
              QStringList{"2026-01-14|10:04:25|3|2"});
    EXPECT_EQ(rows(QStringLiteral("SELECT PARAM_RES_ID, RESCYC_VALUE_CNT, RESCYC_VALUE_PERC FROM "
                                  "Table_ResCycle WHERE RESCYC_VALUE_CNT > 0 ORDER BY 1")),
              (QStringList{"1|5|100", "2|3|60", "3|2|40", "4|1|20", "11|1|20"}));
}

TEST_F(SaveDataTest, MeasurementsAreStoredOnlyWhereTheCallReachedThem) {
    const CycleRecord c = cycle(number(kIn), 10, 10);
    const double start = ole(2026, 1, 14, 10, 0, 0);
    ASSERT_TRUE(startCycle(c, start));
    const auto save = [&](int n, const DbCallRecord& r, int pastDialTone, int pastRingback) {
        EXPECT_TRUE(writer_.SaveTestCallRow(r, n));
        EXPECT_TRUE(writer_.SaveTestCallMeasurements(c, r, n, pastDialTone, pastRingback));
    };
    // No dial tone on the first call: nothing measured.
    save(1, call(start, 10, -1, -999.0, -999.0, -999.0), 0, 0);
    // A success: attenuation = nominal level -10 minus the answer signal's -24.
    save(2, call(start, 10, 0, -24.0, -12.5, -17.0), 1, 1);
    // No answer signal: its level, if any, is no attenuation.
    save(3, call(start, 10, -1000, -20.0, -12.0, -18.0), 2, 2);
    // Levels of exactly -900 count as not measured.
    save(4, call(start, 10, -3000, -900.0, -900.0, -900.0), 3, 3);
    // No dial tone again after earlier calls had one: its own level decides.
    save(5, call(start, 10, -1, -999.0, -999.0, -999.0), 3, 3);
    save(6, call(start, 10, -1, -999.0, -45.0, -999.0), 3, 3);
    // -4000: the answering station missed our tone, but its own signal was measured.
    save(7, call(start, 10, -4000, -30.0, -11.0, -16.0), 4, 4);
    // A row already there is left as it is.
    EXPECT_TRUE(
        writer_.SaveTestCallMeasurements(c, call(start, 10, 0, -50.0, -50.0, -50.0), 2, 5, 5));

    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM Table_ResSeans ORDER BY SEANS_ID")),
              (QStringList{"1|1|NULL|NULL|NULL", "1|2|14|-12.5|-17", "1|3|NULL|-12|-18",
                           "1|4|NULL|NULL|NULL", "1|5|NULL|NULL|NULL", "1|6|NULL|-45|NULL",
                           "1|7|20|-11|-16"}));
    EXPECT_EQ(messages_.count(), 0);
}

TEST_F(SaveDataTest, ANumberIsStoredOnceByItsDialledParts) {
    ASSERT_TRUE(writer_.SaveInNumber(number(kIn)));
    const int first = writer_.inId();
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM Table_In")),
              QStringList{QStringLiteral("1|8||812||200|3000|#1A")});

    // Pulse/tone switches, waits, pauses, flashes and the parentheses of an undialled city
    // code are no part of the number; "-" and an empty field are the same.
    ASSERT_TRUE(writer_.SaveInNumber(number({"P8", "", "(812)", "-", "2,00", "30!00", "T#1A"})));
    EXPECT_EQ(writer_.inId(), first);

    // A row written in lower case by an older program is found again.
    {
        QSqlDatabase db = DbConnection::main();
        ASSERT_TRUE(execSql(db, QStringLiteral("INSERT INTO Table_In (HIER_ATX, BEF_CALL, "
                                               "CODE_CITY, ADD_CODE, NUM_ATX, NUM_ON_ATX, "
                                               "ADD_CALL) VALUES ('', '', '', '', '', '77', "
                                               "'*b')")));
    }
    ASSERT_TRUE(writer_.SaveInNumber(number({"-", "-", "-", "-", "-", "77", "T*B"})));
    EXPECT_EQ(writer_.inId(), 2);

    ASSERT_TRUE(writer_.SaveInNumber(number({"8", "W", "812", "-", "200", "3001", "-"})));
    EXPECT_EQ(writer_.inId(), 3);
    EXPECT_EQ(count(QStringLiteral("Table_In")), 3);

    // The outgoing side keeps its own numbers.
    ASSERT_TRUE(writer_.SaveOutNumber(number(kIn)));
    EXPECT_EQ(writer_.outId(), 1);
    EXPECT_EQ(messages_.count(), 0);
}

TEST_F(SaveDataTest, TheCycleStateTellsWhereTheCycleEnded) {
    const double start = ole(2026, 1, 14, 10, 0, 0);
    struct Case {
        int minAttempts, maxAttempts;
        double norm;
        std::vector<int> outcomes;
        const char* stateAfterMinimum;
        const char* stateAtEnd;
    };
    const Case cases[] = {
        {3, 6, 10.0, {0, 0, 0}, "1", "1"},            // within the norm at the minimum
        {3, 6, 10.0, {0, -2, 0, 0, 0, 0}, "0", "2"},  // not within it: on to the maximum
        {4, 8, 25.0, {0, -100, 0, 0}, "1", "1"},      // exactly at the norm is within it
        {3, 3, 10.0, {0, 0, 0}, "2", "2"},            // minimum = maximum: 2 wins
        {3, 6, 10.0, {0, 0}, "0", "0"},               // stopped before the minimum
    };
    int k = 0;
    for (const Case& cs : cases) {
        SCOPED_TRACE(k);
        newCycle();
        const CycleRecord c = cycle(number(kIn), cs.minAttempts, cs.maxAttempts, cs.norm);
        const double cycleStart = start + k++ / 24.0;
        ASSERT_TRUE(startCycle(c, cycleStart));
        const std::size_t atMin =
            std::min(cs.outcomes.size(), static_cast<std::size_t>(cs.minAttempts));
        ASSERT_TRUE(makeCalls(c, cycleStart, {cs.outcomes.begin(), cs.outcomes.begin() + atMin}));
        EXPECT_EQ(cycleState(), QString::fromLatin1(cs.stateAfterMinimum));
        ASSERT_TRUE(makeCalls(c, cycleStart, {cs.outcomes.begin() + atMin, cs.outcomes.end()},
                              static_cast<int>(atMin) + 1));
        EXPECT_EQ(cycleState(), QString::fromLatin1(cs.stateAtEnd));
    }

    // A cycle without a call keeps its start as its end and state 0.
    newCycle();
    ASSERT_TRUE(startCycle(cycle(number(kIn), 3, 6), start + 0.5));
    EXPECT_EQ(rows(QStringLiteral("SELECT STATE_ID FROM Table_Cycle WHERE DATE_OFF = DATE_ON AND "
                                  "TIME_OFF = TIME_ON AND CYCLE_ID = %1")
                       .arg(writer_.cycleId())),
              QStringList{"0"});
}

TEST_F(SaveDataTest, TheSameCycleStartedTwiceInOneSecondIsOneRow) {
    const double start = ole(2026, 1, 14, 10, 0, 0);
    ASSERT_TRUE(startCycle(cycle(number(kIn), 3, 6), start + 0.2 / kSecondsPerDay));
    const int first = writer_.cycleId();
    CycleRecord changed = cycle(number(kIn), 4, 8);
    ASSERT_TRUE(startCycle(changed, start + 0.7 / kSecondsPerDay));
    EXPECT_EQ(writer_.cycleId(), first);
    EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 1);
    // Its settings rows are those of the first start.
    EXPECT_EQ(count(QStringLiteral("Table_Sett_Cycle_Dec")), 24);
    EXPECT_EQ(value(QStringLiteral("SELECT SETCYC_VALUE FROM Table_Sett_Cycle_Dec WHERE "
                                   "PARAM_CYCLE_ID = 1"))
                  .toInt(),
              3);
    // A second later it is another cycle.
    ASSERT_TRUE(startCycle(changed, start + 1.0 / kSecondsPerDay));
    EXPECT_NE(writer_.cycleId(), first);
}

TEST_F(SaveDataTest, EveryCycleNamesTheStationThatMeasuredIt) {
    DbOptions options = DbConnection::options();
    options.station = QStringLiteral("Самара-2");
    DbConnection::setOptions(options);
    const double start = ole(2026, 1, 14, 10, 0, 0);
    ASSERT_TRUE(startCycle(cycle(number(kIn), 3, 6), start));
    const int named = writer_.cycleId();
    // A station that names none leaves the column empty, as older versions did; on a shared
    // server its cycle of the same numbers in the same second is not the other station's.
    options.station.clear();
    DbConnection::setOptions(options);
    ASSERT_TRUE(startCycle(cycle(number(kIn), 3, 6), start));
    EXPECT_EQ(rows(QStringLiteral("SELECT CYCLE_ID, STATION FROM Table_Cycle ORDER BY 1")),
              (QStringList{QStringLiteral("%1|Самара-2").arg(named),
                           QStringLiteral("%1|NULL").arg(writer_.cycleId())}));
}

TEST_F(SaveDataTest, TimesAreStoredToTheSecond) {
    const CycleRecord c = cycle(number(kIn), 3, 6);
    // A hair before noon in the double is noon; 12:00:00.9 is still 12:00:00.
    ASSERT_TRUE(startCycle(c, ole(2026, 3, 1, 12, 0, 0) - 1e-11));
    EXPECT_EQ(value(QStringLiteral("SELECT TIME_ON FROM Table_Cycle")).toString(),
              QStringLiteral("12:00:00"));
    DbCallRecord r = call(ole(2026, 3, 1, 12, 0, 0) + 0.9 / kSecondsPerDay, 0, 0);
    // A call over midnight ends on the next day; a duration of a day and more wraps round; a
    // clock set back gives no duration.
    r.end = ole(2026, 3, 2, 0, 0, 30);
    r.duration = 1.0 + 90.0 / kSecondsPerDay;
    ASSERT_TRUE(writer_.SaveTestCallRow(r, 1));
    r.duration = -0.001;
    ASSERT_TRUE(writer_.SaveTestCallRow(r, 2));
    EXPECT_EQ(rows(QStringLiteral("SELECT DATE_ON, TIME_ON, DAY_WEEK_ID, DATE_OFF, TIME_OFF, "
                                  "DURATION_SEANS FROM Table_Seans ORDER BY SEANS_ID")),
              (QStringList{"2026-03-01|12:00:00|7|2026-03-02|00:00:30|00:01:30",
                           "2026-03-01|12:00:00|7|2026-03-02|00:00:30|00:00:00"}));
    // Read back through the dialect they are the same moments.
    EXPECT_EQ(dbDialect().toDate(value(QStringLiteral("SELECT DATE_OFF FROM Table_Seans"))),
              QDate(2026, 3, 2));
    EXPECT_EQ(dbDialect().toTime(value(QStringLiteral("SELECT TIME_OFF FROM Table_Seans"))),
              QTime(0, 0, 30));
}

// ---- Failures --------------------------------------------------------------------------------

// Batch mode: the message goes to the log and the run is asked to end with -5.
class BatchMessages : public RecordingMessages {
public:
    bool batchMode() const override { return true; }
    void abortBatch(int code) override { codes.push_back(code); }
    std::vector<int> codes;
};

class SaveFailureTest : public SaveDataTest {
protected:
    void SetUp() override {
        SaveDataTest::SetUp();
        cycle_ = cycle(number(kIn), 5, 5);
        start_ = ole(2026, 1, 14, 10, 0, 0);
        ASSERT_TRUE(startCycle(cycle_, start_));
        ASSERT_TRUE(makeCalls(cycle_, start_, {0, -1}));
        snapshot_ = snapshot();
    }

    // Everything the result tables hold.
    static QStringList snapshot() {
        QStringList all;
        for (const char* t : {"Table_Out", "Table_In", "Table_Cycle", "Table_Sett_Cycle_Dec",
                              "Table_Seans", "Table_ResSeans", "Table_ResCycle"}) {
            all << rows(QStringLiteral("SELECT * FROM ") + QLatin1String(t));
        }
        return all;
    }

    void expectReported(int times) {
        EXPECT_EQ(messages_.count(), times);
        for (const RecordingMessages::Entry& e : messages_.entries()) {
            EXPECT_EQ(e.caption, QStringLiteral("Ошибка!"));
            EXPECT_EQ(e.text, QStringLiteral("Не могу записать в БД."));
            EXPECT_EQ(e.icon, MessageIcon::Warning);
        }
        EXPECT_EQ(writer_.failureCount(), times);
    }

    static void exec(const QString& sql) {
        QSqlDatabase db = DbConnection::main();
        QString error;
        ASSERT_TRUE(execSql(db, sql, &error)) << error.toStdString();
    }

    CycleRecord cycle_{};
    double start_ = 0.0;
    QStringList snapshot_;
};

TEST_F(SaveFailureTest, ADatabaseHeldByAnotherProgramLosesTheCallButNotTheRun) {
    {
        QSqlDatabase other = DbConnection::open(QStringLiteral("other program"), otherProgram());
        ASSERT_TRUE(holdForWriting(other));
        EXPECT_FALSE(makeCalls(cycle_, start_, {0}, 3));
        expectReported(1);  // the call as one: row, measurements, cycle results
        EXPECT_EQ(writer_.unstoredCalls(), 1);
        EXPECT_EQ(snapshot(), snapshot_);
        ASSERT_TRUE(execSql(other, QStringLiteral("ROLLBACK")));
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other program"));

    // Free again: the next call is stored in full.
    messages_.clear();
    EXPECT_TRUE(makeCalls(cycle_, start_, {-2}, 4));
    EXPECT_EQ(messages_.count(), 0);
    EXPECT_EQ(count(QStringLiteral("Table_Seans")), 3);
    EXPECT_EQ(value(QStringLiteral("SELECT RESCYC_VALUE_CNT FROM Table_ResCycle WHERE "
                                   "PARAM_RES_ID = 1"))
                  .toInt(),
              4);
}

TEST_F(SaveFailureTest, AStatementThatFailsUndoesItsWholeOperation) {
    // The cycle row would be updated, then the result rows cannot be written.
    exec(QStringLiteral("DROP TABLE Table_ResCycle"));
    snapshot_ = snapshot();
    const DbCycleResults results = DbCycleResults::fromCounts(5, 5, {});
    EXPECT_FALSE(writer_.CompleteCycle(cycle_, results, lastCall_, 5));
    expectReported(1);
    EXPECT_EQ(snapshot(), snapshot_);
    EXPECT_EQ(cycleState(), QStringLiteral("0"));
    EXPECT_TRUE(writer_.lastError().contains(QStringLiteral("Table_ResCycle")));

    // A call is stored whole or not at all: without its row, its measurements and the
    // cycle's results that would count it are not stored either.
    messages_.clear();
    exec(QStringLiteral("DROP TABLE Table_Seans"));
    EXPECT_FALSE(makeCalls(cycle_, start_, {0}, 3));
    EXPECT_EQ(messages_.count(), 1);
    EXPECT_EQ(count(QStringLiteral("Table_ResSeans")), 2);
}

TEST_F(SaveFailureTest, ValuesThatAreNoMeasurementAreRefused) {
    DbCallRecord bad = lastCall_;
    bad.start = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(writer_.SaveTestCallRow(bad, 3));
    bad = lastCall_;
    bad.end = 1e300;
    EXPECT_FALSE(writer_.SaveTestCallRow(bad, 3));
    EXPECT_FALSE(writer_.SaveTestCallRow(lastCall_, 0));
    DbCycleResults shuffled = DbCycleResults::fromCounts(3, 2, {});
    std::swap(shuffled.values[0], shuffled.values[1]);
    EXPECT_FALSE(writer_.CompleteCycle(cycle_, shuffled, lastCall_, 3));
    expectReported(4);
    EXPECT_EQ(snapshot(), snapshot_);
}

TEST_F(SaveFailureTest, ACycleWhoseRowFailedIsNotFiledUnderThePreviousCycle) {
    exec(QStringLiteral("DROP TABLE Table_In"));
    snapshot_ = snapshot();
    newCycle();
    const CycleRecord next = cycle(number({"-", "-", "-", "-", "-", "99", "-"}), 3, 3);
    const double nextStart = start_ + 1.0 / 24;
    EXPECT_FALSE(startCycle(next, nextStart));
    expectReported(1);  // the number, the cycle row and its settings as one
    EXPECT_EQ(writer_.inId(), 0);
    EXPECT_EQ(writer_.cycleId(), 0);
    EXPECT_FALSE(makeCalls(next, nextStart, {0, 0, 0}));
    expectReported(1 + 3);
    EXPECT_EQ(writer_.unstoredCalls(), 3);
    EXPECT_EQ(snapshot(), snapshot_);
}

TEST_F(SaveFailureTest, ACallOfACycleDeletedWhileItRanIsNotStoredButCounted) {
    const int deleted = writer_.cycleId();
    for (const char* t : {"Table_ResCycle", "Table_ResSeans", "Table_Seans", "Table_Sett_Cycle_Dec",
                          "Table_Cycle"}) {
        exec(QStringLiteral("DELETE FROM %1 WHERE CYCLE_ID = %2")
                 .arg(QLatin1String(t))
                 .arg(deleted));
    }
    snapshot_ = snapshot();
    EXPECT_FALSE(makeCalls(cycle_, start_, {0, -200}, 3));
    expectReported(2);
    EXPECT_EQ(writer_.unstoredCalls(), 2);
    EXPECT_TRUE(writer_.lastError().contains(QStringLiteral("deleted")));
    EXPECT_EQ(snapshot(), snapshot_);
}

TEST_F(SaveFailureTest, BatchModeLogsTheFailureAndEndsTheRun) {
    BatchMessages batch;
    TDBSaveData writer(batch);
    exec(QStringLiteral("DROP TABLE Table_Out"));
    EXPECT_FALSE(writer.SaveOutNumber(number(kOut)));
    ASSERT_EQ(batch.count(), 1);
    EXPECT_EQ(batch.entries()[0].caption + QLatin1Char(' ') + batch.entries()[0].text,
              QStringLiteral("Ошибка! Не могу записать в БД."));
    EXPECT_EQ(batch.codes, std::vector<int>{-5});
}

TEST_F(SaveFailureTest, AReadOnlyDatabaseFileIsReadButNotWritten) {
    if (onServer()) {
        GTEST_SKIP() << "a server refuses writes by its users' rights, not by a file attribute";
    }
    DbConnection::shutdown();  // the last connection folds the log into the file
    const QString path = home_.filePath(QStringLiteral("ZEV7DBASE/ZEV7.sqlite"));
    ASSERT_TRUE(
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    ASSERT_TRUE(DbConnection::setup(&messages_, DbConnection::options()));
    EXPECT_EQ(messages_.count(), 0);
    EXPECT_EQ(count(QStringLiteral("Table_Seans")), 2);

    EXPECT_FALSE(makeCalls(cycle_, start_, {0}, 3));
    expectReported(1);
    EXPECT_EQ(snapshot(), snapshot_);
    DbConnection::shutdown();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

}  // namespace
}  // namespace zev7::testing
