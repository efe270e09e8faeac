// A legacy installation's results brought into a fresh database: its eight Paradox tables come
// in through the import, and the selection then shows its cycles with the attempts, losses and
// loss coefficients the calls give, and "Получить итог" the totals over them.
#include "dbquery/cycle_list_model.h"
#include "dbquery/working_selection.h"
#include "dbtransfer/result_import.h"
#include "paradox_writer.h"
#include "scenario/cycle_end.h"
#include "support/every_number_criteria.h"
#include "transfer_fixture.h"

#include <QTemporaryDir>

namespace zev7::testing {
namespace {

struct LegacyCycle {
    QStringList out;
    QDateTime start;
    QList<int> outcomes;  // one per call: 0 success, else the loss
    int minAttempts;
    int maxAttempts;
    double normAtMin;
};

class ParadoxAcceptanceTest : public TransferTest {
protected:
    // A cycle as the earlier system measured it, call by call.
    static void storeLegacyCycle(const LegacyCycle& l) {
        RecordingMessages messages;
        TDBSaveData writer(messages);
        const ScenarHeader h = header(number(l.out));
        const CycleRecord c = cycle(number(inA()), l.minAttempts, l.maxAttempts, l.normAtMin);
        const double begin = toOleDate(l.start);
        bool ok = writer.SaveScenarioStart(h) && writer.SaveCycleStart(begin, c, h);
        std::array<int, kLossCategoryCount> categories{};
        int successes = 0;
        for (int n = 1; n <= l.outcomes.size() && ok; ++n) {
            const ResultCode outcome{l.outcomes[n - 1]};
            if (outcome == ResultCode::Success) {
                ++successes;
            } else {
                ++categories[static_cast<std::size_t>(lossCategoryIndex(outcome))];
            }
            DbCycleResults results = DbCycleResults::fromCounts(n, successes, categories);
            results.endsAtMinimum = endsAtMinimum(c, n, results.lossPercent());
            ok = writer.SaveTestCall(
                c, results, call(begin + n / 1440.0, 20, l.outcomes[n - 1], -20.0), n, n, n);
        }
        ASSERT_TRUE(ok) << writer.lastError().toStdString();
    }

    // The list's row of each cycle: attempts | losses | КПВ % | norm, by start date.
    static QStringList listRows(CycleListModel& list) {
        QStringList out;
        for (int r = 0; r < list.rowCount(); ++r) {
            QStringList cells{list.value(r, QStringLiteral("P_DATE_ON")).toString()};
            for (const char* f : {"P_CALL", "P_KPV", "P_KPV_PERC", "P_NORM"}) {
                cells << QString::number(list.value(r, QLatin1String(f)).toDouble(), 'f', 2);
            }
            out << cells.join(QLatin1Char('|'));
        }
        out.sort();
        return out;
    }
};

TEST_F(ParadoxAcceptanceTest, ALegacyBackupShowsItsCyclesWithTheirTotalsInTheSelection) {
    // Ended at its minimum within the norm (state 1, judged by the norm at the minimum); ended
    // at its maximum (judged by the norm at the maximum, 2.5 above); interrupted (likewise).
    const int busy = static_cast<int>(ResultCode::BusyIncoming);
    const int noAnswer = static_cast<int>(ResultCode::NoAnswerSignal);
    const int noTone = static_cast<int>(ResultCode::NoDialTone);
    storeLegacyCycle(
        {outA(), QDateTime(QDate(2025, 3, 10), QTime(9, 0, 5)), {0, 0, busy, 0, 0}, 5, 9, 25.0});
    storeLegacyCycle({outB(),
                      QDateTime(QDate(2025, 3, 11), QTime(23, 59, 0)),
                      {0, noAnswer, noTone, 0},
                      4,
                      4,
                      10.0});
    storeLegacyCycle(
        {outA(), QDateTime(QDate(2025, 3, 12), QTime(12, 0, 0)), {0, 0, 0}, 5, 8, 5.0});
    QTemporaryDir backup;
    ASSERT_EQ(writeResultTablesAsParadox(QDir(backup.path())), QString());

    // A fresh installation.
    DbConnection::shutdown();
    if (onServer()) {
        emptyServerDatabase(DbConnection::options());
    } else {
        ASSERT_TRUE(QFile::remove(DbConnection::filePath()));
    }
    ASSERT_TRUE(DbConnection::setup(&messages_, DbConnection::options()));
    ASSERT_EQ(count(QStringLiteral("Table_Cycle")), 0);

    const ImportResult r = ResultImporter(DbConnection::main()).run(backup.path(), {});
    ASSERT_EQ(r.outcome, ImportOutcome::Done) << r.message.toStdString();
    EXPECT_EQ(r.imported, 3);
    EXPECT_EQ(r.failed, 0) << r.error.toStdString();

    WorkingSelection selection(DbConnection::main());
    ASSERT_TRUE(selection.load(
        test::everyNumberCriteria(QStringLiteral("01.03.25"), QStringLiteral("31.03.25"))))
        << selection.lastError().toStdString();
    CycleListModel list(DbConnection::main());
    ASSERT_TRUE(list.load({})) << list.lastError().toStdString();
    EXPECT_EQ(listRows(list),
              (QStringList{"2025-03-10|5.00|1.00|20.00|25.00", "2025-03-11|4.00|2.00|50.00|12.50",
                           "2025-03-12|3.00|0.00|0.00|7.50"}));

    const SelectionTotals all = selection.totals({}, {});
    EXPECT_EQ(all.attempts.toInt(), 12);
    EXPECT_EQ(all.losses.toInt(), 3);
    EXPECT_DOUBLE_EQ(all.percent.toDouble(), 25.0);
    EXPECT_DOUBLE_EQ(all.minNorm.toDouble(), 7.5);
    EXPECT_TRUE(all.aboveNorm());
}

}  // namespace
}  // namespace zev7::testing
