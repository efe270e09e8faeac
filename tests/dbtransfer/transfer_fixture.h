// Cycles stored the way the port threads store them, and the test of a cycle being whole.
#pragma once

#include "db/db_fixture.h"
#include "db/db_transaction.h"
#include "db/demo_database.h"

namespace zev7::testing {

class TransferTest : public DbTest {
protected:
    static bool sql(const QString& statement) {
        QSqlDatabase db = DbConnection::main();
        return execSql(db, statement);
    }

    // One cycle of `calls` successful calls from out to in, started at the given moment;
    // complete: it reached its minimum number of attempts (state 1), else it stays open (0).
    static void storeCycle(const QStringList& out, const QStringList& in, const QDateTime& start,
                           int calls, bool complete) {
        RecordingMessages messages;
        TDBSaveData writer(messages);
        const ScenarHeader h = header(number(out));
        const CycleRecord c = cycle(number(in), complete ? calls : calls + 1, calls + 5);
        const double begin = toOleDate(start);
        bool ok = writer.SaveScenarioStart(h) && writer.SaveCycleStart(begin, c, h);
        for (int n = 1; n <= calls && ok; ++n) {
            DbCycleResults results = DbCycleResults::fromCounts(n, n, {});
            results.endsAtMinimum = complete && n == calls;
            ok = writer.SaveTestCall(c, results,
                                     call(begin + n / 1440.0, 20, 0, -20.0, -12.0, -15.0), n, n, n);
        }
        ASSERT_TRUE(ok) << writer.lastError().toStdString();
    }

    // Every row of the cycle is there (true), or none is (false); a part of a cycle fails.
    static bool wholeOrGone(int cycleId, bool* whole) {
        const QString id = QString::number(cycleId);
        const int calls = count(QStringLiteral("Table_Seans"), QStringLiteral("CYCLE_ID=") + id);
        const int parts[] = {
            count(QStringLiteral("Table_Cycle"), QStringLiteral("CYCLE_ID=") + id),
            count(QStringLiteral("Table_Sett_Cycle_Dec"), QStringLiteral("CYCLE_ID=") + id),
            count(QStringLiteral("Table_ResCycle"), QStringLiteral("CYCLE_ID=") + id), calls,
            count(QStringLiteral("Table_ResSeans"), QStringLiteral("CYCLE_ID=") + id)};
        const bool gone =
            parts[0] == 0 && parts[1] == 0 && parts[2] == 0 && parts[3] == 0 && parts[4] == 0;
        *whole = parts[0] == 1 && parts[1] == kCycleSettingCount && parts[2] == kResultParamCount &&
                 calls > 0 && parts[4] == calls;
        return gone || *whole;
    }

    static const QStringList& outA() {
        static const QStringList n{"-", "-", "495", "-", "111", "1111", "-"};
        return n;
    }
    static const QStringList& outB() {
        static const QStringList n{"-", "-", "495", "-", "222", "2222", "-"};
        return n;
    }
    static const QStringList& inA() {
        static const QStringList n{"-", "-", "812", "-", "333", "3333", "-"};
        return n;
    }
};

}  // namespace zev7::testing
