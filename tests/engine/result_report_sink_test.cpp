// The report writer as the port engine's result sink: each section's database step first and
// inside the report mutex, then its lines; and a whole demo scenario run through it.
#include "engine/report/result_report_sink.h"
#include "support/recording_messages.h"

#include "port_engine_support.h"
#include "result_report_support.h"

#include "core/named_mutex.h"
#include "scenario/ole_date.h"

namespace zev7 {
namespace {

using test::FakeGraphs;
using test::readCp1251;
using test::u;

// Remembers each step with what the report held at that moment and whether the report mutex
// was taken.
class RecordingDatabase : public ResultDatabase {
public:
    struct Step {
        QString what;
        qint64 reportSize = 0;
        bool mutexHeld = false;
    };

    RecordingDatabase(int port, NamedMutex& mutex) : port_(port), mutex_(mutex) {}

    void storeScenarioStart(const ScenarHeader& header) override {
        record("out " + numberText(header.outNumber));
    }
    void storeCycleStart(double cycleStart, const CycleRecord& cycle,
                         const ScenarHeader&) override {
        record("cycle " + numberText(cycle.inNumber) + " " +
               formatDateTimeSeconds(fromOleDate(cycleStart)));
    }
    void storeTestCall(const ResultContext& c) override {
        record(QStringLiteral("call %1 outcome %2 calls %3")
                   .arg(c.callNumber)
                   .arg(resultCodeValue(c.call->outcome))
                   .arg(c.statistics->calls()));
    }

    QList<Step> steps;

private:
    void record(const QString& what) {
        const bool held = !mutex_.lock(impatient_);
        if (!held) {
            mutex_.unlock();
        }
        steps.append({what, QFileInfo(workingReportPath(port_)).size(), held});
    }

    // Does not wait for the mutex: one real millisecond is its minute.
    class Impatient : public ManualClock {
    public:
        double scale() const override { return 1e9; }
    };

    int port_;
    NamedMutex& mutex_;
    Impatient impatient_;
};

class ReportSinkTest : public test::ReportHome {
protected:
    ManualClock clock_;
    NamedMutex mutex_{"hMutexNameStr_ZEV7"};
    RecordingMessages messages_;
};

TEST_F(ReportSinkTest, DatabaseStepFirstThenTheLinesOfEachMode) {
    RecordingDatabase db(3, mutex_);
    FakeGraphs graphs;
    graphs.open[3] = {{2, u("Порт:3  Затухание")}};
    ReportResultSink sink(3, messages_, mutex_, clock_, &db, &graphs, {});

    const ScenarHeader header = test::knownHeader();
    const CycleRecord cycle = test::knownCycle();
    CycleStatistics stats;
    stats.reset(toOleDate(QDateTime(QDate(2026, 12, 8), QTime(9, 5, 30))));
    CallResult call;
    call.reset();
    ResultContext c;
    c.port = 3;
    c.header = &header;
    c.statistics = &stats;
    c.call = &call;

    sink.WriteResultSection(ResultSection::ReportHead, c);
    c.cycle = &cycle;
    c.cycleNumber = 1;
    sink.WriteResultSection(ResultSection::CycleHead, c);
    sink.WriteResultSection(ResultSection::CallTableHead, c);
    call.outcome = ResultCode::BusyIncoming;
    stats.account(call.outcome);
    c.callNumber = 1;
    c.callRow = callRowTexts(1, call, cycle.aaNominalLevel);
    c.summary = summaryTexts(stats, cycle, 1);
    sink.WriteResultSection(ResultSection::CallRow, c);
    sink.WriteResultSection(ResultSection::CycleEnd, c);

    QStringList what;
    for (const auto& s : db.steps) {
        what << s.what;
        EXPECT_TRUE(s.mutexHeld) << s.what.toStdString();
    }
    EXPECT_EQ(what, QStringList({"out -/-/(495)/-/P123/P4567/-",
                                 "cycle -/-/(812)/-/T555/T1234/- 08.12.26 09:05:30",
                                 "call 1 outcome -200 calls 1"}));
    // Each step saw the report as the section before it left it.
    const QString report = readCp1251(workingReportPath(3));
    EXPECT_EQ(db.steps[0].reportSize, 0);
    EXPECT_EQ(db.steps[1].reportSize, toCp1251(report.left(report.indexOf(u("<p>Цикл")))).size());
    EXPECT_EQ(db.steps[2].reportSize,
              toCp1251(report.left(report.indexOf("<tr><td align=center>1<"))).size());

    EXPECT_TRUE(report.contains(u("<p>Цикл №1    08.12.26 09:05 Вх. -/-/(812)/-/T555/T1234/-\n")));
    EXPECT_TRUE(report.contains(u("<td align=left>Занято на входящей          </td>")));
    EXPECT_TRUE(report.contains(u("<td align=center bgcolor=\"lightpink\">Ненорма</td>")));
    EXPECT_TRUE(report.endsWith(
        u("<p><align=center>Порт:3  Затухание\n<p><IMG SRC=\".\\") +
        test::u("ResultComPort3_Graphic%1.bmp\" align=\"center\"></P>\n").arg(GraphCounter())));
    EXPECT_EQ(messages_.count(), 0);

    // Nothing to store outside a cycle, nothing without a database.
    ReportResultSink bare(4, messages_, mutex_, clock_, nullptr, nullptr, {});
    ResultContext none;
    none.port = 4;
    bare.WriteResultSection(ResultSection::CycleHead, none);
    EXPECT_FALSE(QFile::exists(workingReportPath(4)));
    bare.WriteResultSection(ResultSection::ReportHead, c);
    EXPECT_TRUE(readCp1251(workingReportPath(4)).startsWith("<HTML>\n"));
}

TEST_F(ReportSinkTest, FinishesAsItWasToldAndDeletesOldFiles) {
    test::writeFile(result("ResultComPort3.html"), "old run");
    test::writeFile(result("ResultComPort3_Graphic1.bmp"), "old picture");
    ReportFinishing batch;
    batch.batchReportName = [](int port) { return QStringLiteral("Night%1.html").arg(port); };
    ReportResultSink sink(3, messages_, mutex_, clock_, nullptr, nullptr, batch);
    sink.deleteOldResults(3);
    EXPECT_FALSE(QFile::exists(result("ResultComPort3.html")));
    EXPECT_FALSE(QFile::exists(result("ResultComPort3_Graphic1.bmp")));

    ResultContext c;
    const ScenarHeader header = test::knownHeader();
    c.port = 3;
    c.header = &header;
    sink.WriteResultSection(ResultSection::ReportHead, c);
    EXPECT_FALSE(sink.finalReport());
    sink.FinishResultReport(c);
    EXPECT_EQ(sink.finalReport(), result("Night3.html"));

    ReportFinishing interactive;
    interactive.askPath = [this](const ReportSaveDialog& d) -> std::optional<QString> {
        return d.directory + "/" + d.fileName;
    };
    ReportResultSink asked(5, messages_, mutex_, clock_, nullptr, nullptr, interactive);
    c.port = 5;
    asked.WriteResultSection(ResultSection::ReportHead, c);
    asked.FinishResultReport(c);
    EXPECT_EQ(asked.finalReport(), result("Result_Port_5.html"));
    EXPECT_TRUE(readCp1251(result("Result_Port_5.html")).endsWith("</BODY>\n</HTML>\n"));

    ReportResultSink kept(6, messages_, mutex_, clock_, nullptr, nullptr, {});
    c.port = 6;
    kept.WriteResultSection(ResultSection::ReportHead, c);
    kept.FinishResultReport(c);
    EXPECT_FALSE(kept.finalReport());
    EXPECT_TRUE(QFile::exists(workingReportPath(6)));
}

// The demo scenario of the port engine, written by the report writer.
class ReportedDemoRun : public porttest::PortBench {};

TEST_F(ReportedDemoRun, TheFinalReportHoldsTheWholeRun) {
    using porttest::kCaller;
    writeScenario(kCaller, header(), {cycle()});
    NamedMutex& mutex = registry_.resultFilesMutex();
    RecordingDatabase db(kCaller, mutex);
    PortServices s = services();
    s.makeResults = [&](int port) -> std::unique_ptr<ResultSink> {
        ReportFinishing batch;
        batch.batchReportName = [](int) { return QStringLiteral("Demo.html"); };
        return std::make_unique<ReportResultSink>(port, messages_, mutex, clock_, &db, nullptr,
                                                  batch);
    };
    PortEngine e(kCaller, s);
    ASSERT_TRUE(run(e));
    EXPECT_TRUE(e.completed());
    EXPECT_EQ(messages_.count(), 0) << messages_.texts().join(u'|').toStdString();

    ASSERT_EQ(db.steps.size(), 7);
    EXPECT_TRUE(db.steps[0].what.startsWith("out -/-/-/-/-/1111111/-"));
    EXPECT_TRUE(db.steps[1].what.startsWith("cycle -/-/-/-/-/2222222/-"));
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(db.steps[1 + i].what, QStringLiteral("call %1 outcome 0 calls %1").arg(i));
    }

    const QString final = programPath("Result\\Demo.html");
    EXPECT_FALSE(QFile::exists(workingReportPath(kCaller)));
    const QString report = readCp1251(final);
    EXPECT_TRUE(report.startsWith(u("<HTML>\n<HEAD>\n")));
    EXPECT_TRUE(report.contains(u("<p>Исх.-/-/-/-/-/1111111/-\n")));
    EXPECT_TRUE(report.contains(u("<p>Цикл №1    ")));
    EXPECT_TRUE(report.contains(u("Настройки цикла")));
    EXPECT_EQ(report.count(u("<td align=left>Вызов состоялся           </td>")), 5);
    EXPECT_TRUE(report.contains(u("<td align=center >Норма</td>")));
    // The cycle result table ends with the confidence of its verdict: 0 losses of 5 calls, the
    // 3 % norm proved after ceil(3.841459 * 0.03 * 0.97 / 0.03^2) = 125 calls, 120 more.
    EXPECT_TRUE(
        report.endsWith(u("<p align=center>Доля потерь с вероятностью 95 %: 0.00–43.45 "
                          "%; вывод: не доказано, ещё вызовов: 120</p>\n")))
        << report.right(200).toStdString();
}

}  // namespace
}  // namespace zev7
