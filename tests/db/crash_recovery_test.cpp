// A program killed in the middle of a write leaves a database that opens and holds every call
// stored before it.
#include "db/db_transaction.h"
#include "db_fixture.h"
#include "support/recording_messages.h"

#include <QFileInfo>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#endif

namespace zev7::testing {
namespace {

#ifdef Q_OS_UNIX

class CrashRecoveryTest : public DbTest {
protected:
    [[noreturn]] static void runAndDie();
};

// The child process: three calls stored, a fourth half written when the process dies.
void CrashRecoveryTest::runAndDie() {
    RecordingMessages messages;
    TDBSaveData writer(messages);
    const ScenarHeader h = header(number({"-", "-", "495", "-", "1", "2", "-"}));
    const CycleRecord c = cycle(number({"-", "-", "812", "-", "3", "4", "-"}), 5, 5);
    const double start = ole(2026, 1, 14, 10, 0, 0);
    bool ok = writer.SaveScenarioStart(h) && writer.SaveCycleStart(start, c, h);
    for (int n = 1; n <= 3 && ok; ++n) {
        ok = writer.SaveTestCall(c, DbCycleResults::fromCounts(n, n, {}),
                                 call(start + n / 1440.0, 20, 0), n, n, n);
    }
    if (!ok) {
        _exit(2);
    }
    QSqlDatabase db = DbConnection::forThisThread();
    if (!execSql(db, dbDialect().beginWrite()) ||
        !execSql(db, QStringLiteral("INSERT INTO Table_Seans VALUES (1, 4, '2026-01-14', "
                                    "'10:04:00', 3, '2026-01-14', '10:04:20', '00:00:20', 0)")) ||
        !execSql(db, QStringLiteral("UPDATE Table_ResCycle SET RESCYC_VALUE_CNT = 4 WHERE "
                                    "PARAM_RES_ID = 1"))) {
        _exit(3);
    }
    std::raise(SIGKILL);
    _exit(4);
}

TEST_F(CrashRecoveryTest, AKilledWriterLeavesEveryFinishedCall) {
    // Nothing of this process's database state may pass into the child.
    DbConnection::shutdown();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        runAndDie();
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "child ended with " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    if (!onServer()) {
        // The stored calls are still only in the write-ahead log, beside the half-written one.
        EXPECT_GT(QFileInfo(DbConnection::filePath() + QStringLiteral("-wal")).size(), 0);
    }

    ASSERT_TRUE(DbConnection::setup(&messages_, DbConnection::options()));
    if (!onServer()) {
        EXPECT_EQ(value(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }
    EXPECT_EQ(rows(QStringLiteral("SELECT SEANS_ID FROM Table_Seans ORDER BY 1")),
              (QStringList{"1", "2", "3"}));
    EXPECT_EQ(count(QStringLiteral("Table_ResSeans")), 3);
    EXPECT_EQ(value(QStringLiteral("SELECT RESCYC_VALUE_CNT FROM Table_ResCycle WHERE "
                                   "PARAM_RES_ID = 1"))
                  .toInt(),
              3);
    EXPECT_EQ(value(QStringLiteral("SELECT TIME_OFF FROM Table_Cycle")).toString(),
              QStringLiteral("10:03:20"));

    // The dead writer's lock went with it.
    TDBSaveData writer(messages_);
    EXPECT_TRUE(writer.SaveOutNumber(number({"-", "-", "-", "-", "-", "77", "-"})));
    EXPECT_EQ(messages_.count(), 0);
}

#endif

}  // namespace
}  // namespace zev7::testing
