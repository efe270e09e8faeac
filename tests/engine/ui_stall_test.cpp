// A window must never pause a measurement. The UI thread is held busy in the middle of the
// first test call for two seconds of the port's clock; the port thread goes on meanwhile, and
// the run's protocol, call rows and database rows are those of a run nobody held up.
#include "db/db_connection.h"
#include "engine/report/result_report_db.h"
#include "engine/supervisor/port_supervisor.h"
#include "engine/view/port_view_router.h"
#include "port_engine_support.h"
#include "support/core_app.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSqlQuery>
#include <QSqlRecord>
#include <chrono>
#include <thread>

namespace zev7 {
namespace {

using porttest::kCaller;

constexpr std::int64_t kStallMs = 2000;
// Only a port thread that waits for the UI thread keeps its clock still this long (real time).
constexpr auto kGiveUp = std::chrono::seconds(30);

QCoreApplication& app() {
    return test::coreApp();
}

struct RunRecord {
    QStringList protocol;
    QList<QStringList> callRows;
    QStringList databaseRows;
};

// The first call status shown blocks the UI thread until the port's clock has run 2 s on.
class StallingView : public RecordingPortView {
public:
    explicit StallingView(const Clock& clock) : clock_(clock) {}
    void callStatus(int port, int callNumber, CallStatus status) override {
        RecordingPortView::callStatus(port, callNumber, status);
        if (stalled_) {
            return;
        }
        stalled_ = true;
        const std::int64_t until = clock_.tickMs() + kStallMs;
        const auto giveUp = std::chrono::steady_clock::now() + kGiveUp;
        while (clock_.tickMs() < until && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::yield();
        }
        portWentOn = clock_.tickMs() >= until;
    }
    bool portWentOn = false;

private:
    const Clock& clock_;
    bool stalled_ = false;
};

class Bench : public porttest::PortBench {
public:
    void TestBody() override {}

    ~Bench() override {
        DbConnection::closeForThisThread();
        DbConnection::shutdown();
    }

    PortServices databaseServices(PortView& view) {
        PortServices s = services();
        PortServices out{clock_, messages_, view, registry_, s.makePort, {}};
        out.makeResults = [this](int port) -> std::unique_ptr<ResultSink> {
            ReportFinishing batch;
            batch.batchReportName = [](int) { return QString(); };
            return makeDatabaseReportSink(port, messages_, registry_.resultFilesMutex(), clock_,
                                          nullptr, batch);
        };
        return out;
    }

    RunRecord record(const RecordingPortView& view) {
        RunRecord r;
        r.protocol = messagesOf(protocolFile(kCaller));
        for (const CallRefresh& c : view.calls()) {
            r.callRows.append(QStringList(c.row.begin(), c.row.end()));
        }
        QSqlQuery q(DbConnection::forThisThread());
        EXPECT_TRUE(q.exec(QStringLiteral(
            "SELECT * FROM Table_Seans JOIN Table_ResSeans USING (CYCLE_ID, SEANS_ID) "
            "ORDER BY SEANS_ID")));
        while (q.next()) {
            QStringList row;
            for (int i = 0; i < q.record().count(); ++i) {
                row << q.value(i).toString();
            }
            r.databaseRows << row.join(QLatin1Char('|'));
        }
        return r;
    }

    RunRecord direct() {
        EXPECT_TRUE(DbConnection::setup(&messages_));
        writeScenario(kCaller, header(), {cycle()});
        PortEngine e(kCaller, databaseServices(view_));
        EXPECT_TRUE(run(e));
        return record(view_);
    }

    RunRecord threadedWithStall(bool& portWentOn) {
        app();
        EXPECT_TRUE(DbConnection::setup(&messages_));
        writeScenario(kCaller, header(), {cycle()});
        StallingView window(clock_);
        PortViewRouter router;
        router.setPortView(kCaller, &window);
        PortSupervisor supervisor(databaseServices(router), &router);
        QEventLoop loop;
        QObject::connect(&supervisor, &PortSupervisor::allEnded, &loop, &QEventLoop::quit);
        EXPECT_EQ(supervisor.startPort(kCaller), 0);
        loop.exec();
        // The notifications posted after the last one served.
        QCoreApplication::sendPostedEvents();
        portWentOn = window.portWentOn;
        return record(window);
    }
};

TEST(UiStall, ABusyUiThreadChangesNothingOfTheMeasurement) {
    RunRecord reference;
    {
        Bench b;
        reference = b.direct();
    }
    ASSERT_EQ(reference.callRows.size(), 5);
    ASSERT_EQ(reference.databaseRows.size(), 5);

    bool portWentOn = false;
    RunRecord stalled;
    {
        Bench b;
        stalled = b.threadedWithStall(portWentOn);
    }
    EXPECT_TRUE(portWentOn) << "the port thread waited for the UI thread";
    EXPECT_EQ(stalled.protocol, reference.protocol);
    EXPECT_EQ(stalled.callRows, reference.callRows);
    EXPECT_EQ(stalled.databaseRows, reference.databaseRows);
}

}  // namespace
}  // namespace zev7
