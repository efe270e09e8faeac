#include "engine/report/result_report_finish.h"
#include "core/clocks.h"
#include "engine/report/result_report.h"
#include "engine/report/result_report_lines.h"
#include "support/recording_messages.h"

#include "result_report_support.h"
#include "scenario/ole_date.h"

#include <QRegularExpression>
#include <QUrl>

#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace zev7 {
namespace {

using test::BatchMessages;
using test::FakeGraphs;
using test::readCp1251;
using test::u;

// The save dialog answers with the queued names in turn, then cancels.
struct FakeSaveDialog {
    QStringList answers;
    QList<ReportSaveDialog> shown;

    AskReportSavePath callback() {
        return [this](const ReportSaveDialog& d) -> std::optional<QString> {
            shown << d;
            if (answers.isEmpty()) {
                return std::nullopt;
            }
            return answers.takeFirst();
        };
    }
};

class FinishReportTest : public test::ReportHome {
protected:
    // A scenario of one cycle with one call whose end saved two pictures; returns the working
    // report's text.
    QString runScenario(int port) {
        graphs_.open[port] = {{2, u("Порт:%1  Затухание").arg(port)},
                              {3, u("Порт:%1  Уровень ОС").arg(port)}};
        ResultReport report(port, messages_, nullptr, clock_, &graphs_);
        firstBitmap_ = GraphCounter() + 1;
        CycleStatistics stats;
        stats.reset(0);
        stats.account(ResultCode::Success);
        EXPECT_TRUE(report.writeHead(test::knownHeader()));
        EXPECT_TRUE(report.writeCycleHead(1, 0, test::knownCycle()));
        EXPECT_TRUE(report.writeCallTableHead());
        CallResult call;
        call.outcome = ResultCode::Success;
        EXPECT_TRUE(report.writeCallRow(callRowTexts(1, call, -10)));
        EXPECT_TRUE(report.writeCycleEnd(resultGrid(summaryTexts(stats, test::knownCycle(), 1))));
        return readCp1251(workingReportPath(port));
    }

    QString bitmap(int port, int offset) const {
        return QStringLiteral("ResultComPort%1_Graphic%2.bmp").arg(port).arg(firstBitmap_ + offset);
    }
    QString renamed(const QString& base, int offset) const {
        return QStringLiteral("%1_Graphic%2.bmp").arg(base).arg(firstBitmap_ + offset);
    }

    ManualClock clock_;
    RecordingMessages messages_;
    FakeGraphs graphs_;
    int firstBitmap_ = 0;
};

TEST(FinishReportNames, BaseNameAndDialog) {
    EXPECT_EQ(bitmapBaseName("/x/Result/Cycle.html"), "Cycle");
    EXPECT_EQ(bitmapBaseName("/x/Result/Cycle.htm"), "Cycle");
    EXPECT_EQ(bitmapBaseName("/x/Result/Week.1.html"), "Week.1");
    EXPECT_EQ(bitmapBaseName("/x/Result/NoDot"), "NoDot");
    EXPECT_EQ(defaultReportName(12), "Result_Port_12.html");

    const ScopedProgramDir home(QStringLiteral("/tmp/zev7-home"));
    const ReportSaveDialog d = reportSaveDialog(12);
    EXPECT_EQ(d.title, u("Сохранить файл результатов -Порт:12"));
    EXPECT_EQ(d.directory, "/tmp/zev7-home/Result");
    EXPECT_EQ(d.filters, QStringList({u("Файл результата (*.html)"), u("Все файлы (*.*)")}));
    EXPECT_EQ(d.fileName, "Result_Port_12");
}

TEST_F(FinishReportTest, BatchRenamesTheBitmapsAndLeavesNoWorkingFiles) {
    const QString before = runScenario(3);
    BatchMessages batch;
    const std::optional<QString> final = FinishBatchResultReport(3, batch, "Daily.html");
    ASSERT_TRUE(final);
    EXPECT_EQ(*final, result("Daily.html"));

    QString expected = before;
    expected.replace(bitmap(3, 0), renamed("Daily", 0)).replace(bitmap(3, 1), renamed("Daily", 1));
    EXPECT_EQ(readCp1251(*final), expected);
    EXPECT_FALSE(expected.contains("</BODY>")) << "batch reports are not closed";
    EXPECT_TRUE(expected.contains(u("<p><IMG SRC=\".\\") + renamed("Daily", 1) + "\""));
    EXPECT_EQ(QDir(home_.path() + "/Result").entryList(QDir::Files, QDir::Name),
              QStringList({"Daily.html", renamed("Daily", 0), renamed("Daily", 1)}));
    EXPECT_EQ(batch.count(), 0);

    // The next run of the same schedule replaces the report.
    runScenario(3);
    ASSERT_TRUE(FinishBatchResultReport(3, batch, "Daily.html"));
    EXPECT_TRUE(readCp1251(result("Daily.html")).contains(renamed("Daily", 1)));
    EXPECT_FALSE(QFile::exists(workingReportPath(3)));

    // A schedule without a report name for the port gets the default one.
    runScenario(4);
    EXPECT_EQ(FinishBatchResultReport(4, batch, QString()), result("Result_Port_4.html"));
}

TEST_F(FinishReportTest, BatchReportThatCannotBeWrittenKeepsTheWorkingReport) {
    const QString before = runScenario(3);
    BatchMessages batch;
    EXPECT_FALSE(FinishBatchResultReport(3, batch, "no/such/folder/Daily.html"));
    ASSERT_EQ(batch.count(), 1);
    EXPECT_TRUE(batch.texts()[0].startsWith(u("Порт3. Не могу сохранить файл результатов:\n")));
    EXPECT_EQ(batch.abortCode, -5);
    EXPECT_EQ(readCp1251(workingReportPath(3)), before);
    EXPECT_TRUE(QFile::exists(result(bitmap(3, 0))));
}

TEST_F(FinishReportTest, InteractiveAddsTheExtensionAndClosesTheReport) {
    const QString before = runScenario(3);
    FakeSaveDialog dialog;
    dialog.answers = {result("Result_Port_3")};
    const std::optional<QString> final = FinishResultReport(3, messages_, dialog.callback());
    ASSERT_TRUE(final);
    EXPECT_EQ(*final, result("Result_Port_3.html"));
    EXPECT_EQ(dialog.shown.size(), 1);
    QString expected = before + "</BODY>\n</HTML>\n";
    expected.replace("ResultComPort3_Graphic", "Result_Port_3_Graphic");
    EXPECT_EQ(readCp1251(*final), expected);
    EXPECT_TRUE(QFile::exists(result(renamed("Result_Port_3", 1))));
    EXPECT_FALSE(QFile::exists(result(bitmap(3, 1))));
    EXPECT_FALSE(QFile::exists(workingReportPath(3)));
    EXPECT_EQ(messages_.count(), 0);
}

TEST_F(FinishReportTest, ExistingNameIsOverwrittenOnlyAfterYes) {
    runScenario(3);
    test::writeFile(result("Week.html"), "old report");
    FakeSaveDialog dialog;
    dialog.answers = {result("Week.html"), result("Week.html")};
    messages_.queueAnswer(false);  // No: the dialog again
    messages_.queueAnswer(true);
    ASSERT_EQ(FinishResultReport(3, messages_, dialog.callback()), result("Week.html"));
    EXPECT_EQ(dialog.shown.size(), 2);
    const auto entries = messages_.entries();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_TRUE(entries[0].question);
    EXPECT_EQ(entries[0].caption, u("Внимание!"));
    EXPECT_EQ(entries[0].text, u("Имя '") + QDir::toNativeSeparators(result("Week.html")) +
                                   u("' уже существует! Перезаписать?"));
    EXPECT_TRUE(readCp1251(result("Week.html")).startsWith("<HTML>"));
    // Closed once, although the name was asked for twice.
    EXPECT_EQ(readCp1251(result("Week.html")).count("</BODY>"), 1);
}

TEST_F(FinishReportTest, CancelLeavesTheWorkingReportUnclosed) {
    const QString before = runScenario(3);
    FakeSaveDialog dialog;
    EXPECT_FALSE(FinishResultReport(3, messages_, dialog.callback()));
    EXPECT_EQ(dialog.shown.size(), 1);
    EXPECT_EQ(readCp1251(workingReportPath(3)), before);
    EXPECT_TRUE(QFile::exists(result(bitmap(3, 0))));
}

TEST_F(FinishReportTest, ReportSavedElsewhereKeepsItsPictures) {
    runScenario(3);
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const QString target = elsewhere.path() + u("/Отчёт #1.htm");
    FakeSaveDialog dialog;
    dialog.answers = {target};
    ASSERT_EQ(FinishResultReport(3, messages_, dialog.callback()), target);

    // The pictures moved beside the report under its name, and every reference of the report
    // names a file beside it.
    const QString text = readCp1251(target);
    const QStringList beside = QDir(elsewhere.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(beside, QStringList({u("Отчёт #1.htm"), renamed(u("Отчёт #1"), 0),
                                   renamed(u("Отчёт #1"), 1)}));
    static const QRegularExpression kSrc(QStringLiteral("IMG SRC=\"\\.\\\\([^\"]+)\""));
    int references = 0;
    for (auto it = kSrc.globalMatch(text); it.hasNext(); ++references) {
        const QString name = QUrl::fromPercentEncoding(it.next().captured(1).toUtf8());
        EXPECT_TRUE(QFile::exists(elsewhere.path() + "/" + name)) << name.toStdString();
    }
    EXPECT_EQ(references, 2);
    EXPECT_FALSE(QFile::exists(result(bitmap(3, 0))));
    EXPECT_FALSE(QFile::exists(workingReportPath(3)));
}

TEST_F(FinishReportTest, WorkingReportChosenAsFinalIsFinishedInPlace) {
    const QString before = runScenario(3);
    FakeSaveDialog dialog;
    dialog.answers = {workingReportPath(3)};
    ASSERT_EQ(FinishResultReport(3, messages_, dialog.callback()), workingReportPath(3));
    EXPECT_EQ(messages_.count(), 0) << "nothing else is overwritten: no question";
    EXPECT_EQ(readCp1251(workingReportPath(3)), before + "</BODY>\n</HTML>\n");
    EXPECT_TRUE(QFile::exists(result(bitmap(3, 1))));

    runScenario(5);
    BatchMessages batch;
    ASSERT_EQ(FinishBatchResultReport(5, batch, "ResultComPort5.html"), workingReportPath(5));
    EXPECT_TRUE(QFile::exists(workingReportPath(5)));
}

TEST_F(FinishReportTest, FailedCopyAsksForAnotherName) {
    const QString before = runScenario(3);
    FakeSaveDialog dialog;
    dialog.answers = {result("missing/Week.html"), result("Week.html")};
    ASSERT_EQ(FinishResultReport(3, messages_, dialog.callback()), result("Week.html"));
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_TRUE(messages_.texts()[0].startsWith(u("Порт3. Не могу сохранить файл результатов:\n")));
    EXPECT_EQ(dialog.shown.size(), 2);
    EXPECT_TRUE(readCp1251(result("Week.html")).endsWith("</BODY>\n</HTML>\n"));
}

TEST_F(FinishReportTest, NoWorkingReportNoDialog) {
    FakeSaveDialog dialog;
    EXPECT_FALSE(FinishResultReport(7, messages_, dialog.callback()));
    EXPECT_TRUE(dialog.shown.isEmpty());
    EXPECT_EQ(messages_.texts(), QStringList{u("Порт7. Не могу открыть файл результатов")});
}

}  // namespace
}  // namespace zev7
