// A port's whole run stored in the results database and written to its report, as zev7-run
// and the program's port threads do it: the figures in the database are the protocol's.
#include "engine/report/result_report_db.h"
#include "db/db_connection.h"
#include "engine/report/result_report_finish.h"
#include "port_engine_support.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QSqlQuery>

namespace zev7 {
namespace {

using porttest::kCaller;

class DatabaseRun : public porttest::PortBench {
protected:
    ~DatabaseRun() override {
        DbConnection::closeForThisThread();
        DbConnection::shutdown();
    }

    PortServices databaseServices() {
        PortServices s = services();
        s.makeResults = [this](int port) -> std::unique_ptr<ResultSink> {
            ReportFinishing batch;
            batch.batchReportName = [](int) { return QString(); };
            return makeDatabaseReportSink(port, messages_, registry_.resultFilesMutex(), clock_,
                                          nullptr, batch, &unstored_);
        };
        return s;
    }

    int count(const QString& sql) {
        QSqlQuery q(DbConnection::forThisThread());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        return q.next() ? q.value(0).toInt() : -1;
    }

    int reportRows() {
        QFile f(batchReportPath(kCaller, QString()));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        // A call row starts with the call's number.
        static const QRegularExpression callRow(QStringLiteral("<tr><td align=center>\\d"));
        return static_cast<int>(QString::fromLatin1(f.readAll()).count(callRow));
    }

    std::atomic<int> unstored_{0};
};

TEST_F(DatabaseRun, TheDemoCycleIsStoredCallByCall) {
    ASSERT_TRUE(DbConnection::setup(&messages_));
    writeScenario(kCaller, header(), {cycle()});
    PortEngine e(kCaller, databaseServices());
    ASSERT_TRUE(run(e));
    EXPECT_EQ(messages_.count(), 0) << messages_.texts().join('|').toStdString();

    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_Out"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_In"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_Cycle WHERE STATE_ID = 1"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_Sett_Cycle_Dec"), 24);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_Seans WHERE CONNECT_ID = 0"), 5);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_ResSeans WHERE ABS(RES_ATT - 6) < 0.5"), 5);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_ResCycle"), 16);
    EXPECT_EQ(count("SELECT RESCYC_VALUE_CNT FROM Table_ResCycle WHERE PARAM_RES_ID = 1"), 5);
    EXPECT_EQ(count("SELECT RESCYC_VALUE_CNT FROM Table_ResCycle WHERE PARAM_RES_ID = 2"), 5);
    EXPECT_EQ(count("SELECT RESCYC_VALUE_PERC FROM Table_ResCycle WHERE PARAM_RES_ID = 2"), 100);
    EXPECT_EQ(reportRows(), 5);
}

TEST_F(DatabaseRun, AReadOnlyDatabaseIsReportedAndTheRunGoesOn) {
    ASSERT_TRUE(DbConnection::setup(&messages_));
    DbConnection::closeForThisThread();
    DbConnection::shutdown();
    QFile::setPermissions(DbConnection::filePath(), QFile::ReadOwner | QFile::ReadGroup);
    ASSERT_TRUE(DbConnection::setup(&messages_));

    writeScenario(kCaller, header(), {cycle()});
    PortEngine e(kCaller, databaseServices());
    ASSERT_TRUE(run(e));
    const QStringList texts = messages_.texts();
    ASSERT_FALSE(texts.isEmpty());
    for (const QString& t : texts) {
        EXPECT_EQ(t, QString::fromUtf8("Не могу записать в БД."));
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Table_Seans"), 0);
    EXPECT_EQ(reportRows(), 5);
    // Every lost call is counted, and the protocol says which call of which cycle it was.
    EXPECT_EQ(unstored_.load(), 5);
    const QStringList protocol = messagesOf(protocolFile(kCaller));
    for (int call = 1; call <= 5; ++call) {
        EXPECT_TRUE(protocol.contains(
            QString::fromUtf8("Цикл 1 -/-/-/-/-/2222222/- вызов %1: Не могу записать в БД.")
                .arg(call)))
            << call;
    }
}

}  // namespace
}  // namespace zev7
