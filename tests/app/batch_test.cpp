// Batch mode: the controller on a stand-in host (what it logs, starts and closes), the messages
// that become log lines, and whole runs of the program on the simulated network and the manual
// clock; and a run started in the window, whose report the user names at its end.
#include "app/batch_messages.h"
#include "app/closing_sequence.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/tpackage_work.h"
#include "core/clocks.h"
#include "core/strings.h"
#include "core/text_codec.h"
#include "db/db_connection.h"
#include "engine/registry/port_registry.h"
#include "engine/supervisor/port_supervisor.h"
#include "scenario/ole_date.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_templates.h"
#include "sim/sim_config.h"
#include "sim/sim_link_port.h"
#include "support/plain_number.h"
#include "support/recording_messages.h"
#include "support/temp_home.h"
#include "ui/port/tform_data.h"
#include "ui/ui_test_support.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QSqlQuery>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <set>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace zev7 {
namespace {

QString line(const QString& text) {
    return txt(str::BatchLogPrefix) + text + u' ';
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The log's lines: Windows-1251, each ended by "\r\n".
QStringList logLines() {
    const QByteArray bytes = fileBytes(TPackageWork::logPath());
    EXPECT_TRUE(bytes.isEmpty() || bytes.endsWith("\r\n"));
    QStringList lines = fromCp1251(bytes).split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

void writeFile(const QString& relative, const QByteArray& bytes) {
    QFile f(programPath(relative));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A scenario under "Scenar": one cycle from outNumber to the station, two calls.
void writeScenario(const QString& name, const char* outNumber, const QDateTime& base,
                   const char* station = "2222222") {
    RecordingMessages messages;
    ScenarHeader h = templateHeader(toOleDate(base));
    h.outNumber = test::plainNumber(outNumber);
    CycleRecord c = templateCycle();
    c.inNumber = test::plainNumber(station);
    c.minAttempts = 2;
    c.maxAttempts = 2;
    c.state = static_cast<std::int32_t>(CycleState::Waiting);
    const std::vector<CycleRecord> cycles{c};
    ASSERT_TRUE(
        writeScenarioFile(programPath(QStringLiteral("Scenar/") + name), h, cycles, messages));
}

// The main window and the supervisor as the controller sees them: ports 1 and 3 are listed.
class BatchControl : public ::testing::Test {
protected:
    BatchControl() { test::uiApp(); }

    std::unique_ptr<TPackageWork> start(const QByteArray& schedule) {
        writeFile(QStringLiteral("sched.lst"), schedule);
        BatchHost h;
        h.portListed = [](int port) { return port == 1 || port == 3; };
        h.openPortWindow = [this](int port) -> QWidget* {
            if (port == refusedWindow_) {
                return nullptr;
            }
            windows_[port] = std::make_unique<QWidget>();
            windows_[port]->setProperty("port", port);
            return windows_[port].get();
        };
        h.loadScenario = [](QWidget*, const QString& path) { return QFile::exists(path); };
        h.startScenario = [this](QWidget* w) {
            started_.push_back(w->property("port").toInt());
            running_.insert(started_.back());
        };
        h.portRunning = [this](int port) { return running_.count(port) > 0; };
        h.close = [this] { ++closes_; };
        auto batch = std::make_unique<TPackageWork>(programPath(QStringLiteral("sched.lst")), h);
        batch->Start();
        return batch;
    }

    test::TempHome home_{test::TempHome::WithFolders};
    int refusedWindow_ = 0;
    std::map<int, std::unique_ptr<QWidget>> windows_;
    std::vector<int> started_;
    std::set<int> running_;
    int closes_ = 0;
};

TEST_F(BatchControl, AMissingPortOfTwoGivesTheTwoLinesAndStartsNothing) {
    writeFile(QStringLiteral("ZEV7.end"), "old run\r\n");
    auto batch = start("CLOSE 1 a.scn a.html 7 b.scn b.html");
    EXPECT_EQ(batch->resultCode(), kBatchNoPort);
    EXPECT_EQ(closes_, 1);
    batch.reset();
    EXPECT_EQ(logLines(),
              (QStringList{line(QStringLiteral("Ошибка - Порт 7 не найден!")),
                           line(QStringLiteral("Нет доступного порта или порт занят."))}));
    EXPECT_TRUE(windows_.empty());
}

// A run of nothing is no success: a scheduler would take it for a night's measurement done.
TEST_F(BatchControl, AScheduleWithoutItemsIsMalformed) {
    auto batch = start("NOCLOSE\r\n");
    EXPECT_EQ(batch->resultCode(), kBatchMalformed);
    EXPECT_EQ(closes_, 1);
    batch.reset();
    EXPECT_EQ(logLines(),
              (QStringList{line(txt(str::BatchNoItems)), line(txt(str::BatchMalformed))}));
}

TEST_F(BatchControl, AMalformedScheduleSaysWhyAndClosesWithMinusTwo) {
    auto batch = start("CLOSE 1 a.scn a.html 3");
    EXPECT_EQ(closes_, 1);
    EXPECT_TRUE(windows_.empty());
    batch.reset();
    EXPECT_EQ(logLines(), (QStringList{line(txt(str::BatchItemNoScenario).arg(2).arg(3)),
                                       line(txt(str::BatchMalformed))}));
}

TEST_F(BatchControl, ItemsStartInOrderAndTheLastEndedPortClosesWithSuccess) {
    writeScenario(QStringLiteral("a.scn"), "1111111", QDateTime::currentDateTime());
    writeScenario(QStringLiteral("b.scn"), "3333333", QDateTime::currentDateTime());
    writeFile(QStringLiteral("Scenar/ComPort3.scn"), "port 3's own");
    auto batch = start("close 3 b.scn r3.html 1 a.scn r1.html");
    EXPECT_EQ(started_, (std::vector<int>{3, 1}));
    // A port never run before gets the scheduled scenario as its working copy (its window
    // refuses to open without one); another keeps its own until the scenario is loaded.
    EXPECT_EQ(fileBytes(workingCopyPath(1)),
              fileBytes(programPath(QStringLiteral("Scenar/a.scn"))));
    EXPECT_EQ(fileBytes(workingCopyPath(3)), QByteArray("port 3's own"));
    EXPECT_EQ(batch->ReportName(1), QStringLiteral("r1.html"));

    running_.erase(3);
    batch->portThreadEnded();
    EXPECT_EQ(batch->resultCode(), kBatchRunning);
    running_.erase(1);
    batch->portThreadEnded();
    EXPECT_EQ(closes_, 1);
    batch.reset();
    EXPECT_EQ(logLines(), QStringList{line(txt(str::BatchSucceeded))});
}

TEST_F(BatchControl, AWindowThatCannotBeMadeEndsTheRunWithMinusFour) {
    writeScenario(QStringLiteral("a.scn"), "1111111", QDateTime::currentDateTime());
    refusedWindow_ = 3;
    auto batch = start("CLOSE 1 a.scn r1.html 3 a.scn r3.html");
    EXPECT_EQ(started_, std::vector<int>{1});
    batch.reset();
    EXPECT_EQ(logLines(), QStringList{line(txt(str::BatchNoWindow))});
}

TEST_F(BatchControl, BreakFileEndsTheRunWithMinusOne) {
    writeScenario(QStringLiteral("a.scn"), "1111111", QDateTime::currentDateTime());
    auto batch = start("CLOSE 1 a.scn r1.html");
    batch->CheckBreak();
    writeFile(QStringLiteral("ZEV7.brk"), "stop");
    batch->CheckBreak();
    EXPECT_EQ(closes_, 0);
    writeFile(QStringLiteral("ZEV7.brk"), " Break\r\n");
    batch->CheckBreak();
    EXPECT_EQ(closes_, 1);
    EXPECT_FALSE(batch->breakTimer().isActive());
    // The threads end after the stop: no success overwrites the break.
    running_.clear();
    batch->portThreadEnded();
    batch.reset();
    EXPECT_EQ(logLines(), QStringList{line(QStringLiteral("Прерван пользователем."))});
}

TEST_F(BatchControl, MessagesBecomeLogLinesWhileTheControllerExists) {
    RecordingMessages shown;
    BatchMessages messages(shown);
    writeScenario(QStringLiteral("a.scn"), "1111111", QDateTime::currentDateTime());
    auto batch = start("NOCLOSE 1 a.scn r1.html");
    messages.attach(batch.get());
    EXPECT_TRUE(messages.batchMode());
    messages.error(QStringLiteral("Версия файла сценария:\nx.scn"));
    EXPECT_FALSE(messages.askYesNo(QStringLiteral("Попытаться продолжить?")));
    messages.abortBatch(kBatchClosing);
    EXPECT_EQ(closes_, 1);
    messages.attach(nullptr);
    messages.warning(QStringLiteral("after"));
    EXPECT_EQ(shown.texts(), QStringList{QStringLiteral("after")});
    batch.reset();
    EXPECT_EQ(logLines(), (QStringList{line(QStringLiteral("Ошибка! Версия файла сценария:x.scn")),
                                       line(QStringLiteral("Внимание! Попытаться продолжить?")),
                                       line(txt(str::BatchClosing))}));
}

// What a scheduler reads from the exit code alone.
TEST_F(BatchControl, TheExitCodeIsZeroOnlyForASuccessWhoseLogWasWritten) {
    EXPECT_EQ(batchExitCode(kBatchSucceeded, true), 0);
    EXPECT_NE(batchExitCode(kBatchSucceeded, false), 0);
    std::set<int> codes;
    const std::vector<int> all{kBatchRunning,
                               kBatchBroken,
                               kBatchMalformed,
                               kBatchNoPort,
                               kBatchNoWindow,
                               kBatchClosing,
                               -6,
                               2};
    for (int code : all) {
        EXPECT_NE(batchExitCode(code, true), 0) << code;
        codes.insert(batchExitCode(code, true));
    }
    EXPECT_EQ(batchExitCode(kBatchMalformed, true), 12);
    EXPECT_EQ(batchExitCode(kBatchClosing, false), 15);
    EXPECT_EQ(codes.size(), 6u);  // each final line its own code; unknown codes as 0

    // A log that cannot be written leaves the run without a readable outcome.
    writeScenario(QStringLiteral("a.scn"), "1111111", QDateTime::currentDateTime());
    auto batch = start("CLOSE 1 a.scn r1.html");
    ASSERT_TRUE(QDir().mkpath(TPackageWork::logPath()));  // a folder where the log belongs
    running_.clear();
    batch->portThreadEnded();
    batch->writeFinalLine();
    EXPECT_EQ(batch->resultCode(), kBatchSucceeded);
    EXPECT_FALSE(batch->logWritten());
}

// ---- The whole program ----------------------------------------------------------------------

// Two calling ports (1 and 3) and their answering stations (2 and 4) on the simulated network.
class BatchRun : public ::testing::Test {
protected:
    BatchRun() {
        test::uiApp();
        SimConfig config = SimConfig::demo();
        SimModemSpec third;
        third.port = 3;
        third.number = "3333333";
        config.modems.push_back(third);
        // Port 3 calls a station of its own: two ports calling one number wait for each other,
        // and on the manual clock one port's wait is the other's time too.
        SimModemSpec station = config.modems[1];
        station.port = 4;
        station.number = "4444444";
        config.modems.push_back(station);
        network_ = buildNetwork(config, clock_);
        EXPECT_TRUE(DbConnection::setup(&shown_));
    }
    ~BatchRun() override { DbConnection::shutdown(); }

    ProgramSetup programSetup() {
        ProgramSetup setup{clock_, registry_};
        setup.makePort = [this](int port) -> std::unique_ptr<CommPort> {
            return std::make_unique<SimLinkPort>(*network_, port);
        };
        setup.probe = [](int port) {
            return port <= 4 ? PortPresence::Free : PortPresence::Absent;
        };
        setup.messages = &shown_;
        return setup;
    }

    // Runs the program on the schedule; true when it has closed by itself.
    bool run(const QByteArray& schedule) {
        writeFile(QStringLiteral("sched.lst"), schedule);
        Program program(programSetup());
        program.mainWindow().show();
        QEventLoop loop;
        QObject::connect(&program.mainWindow().closingSequence(), &ClosingSequence::finished, &loop,
                         &QEventLoop::quit, Qt::QueuedConnection);
        // Only a fault keeps the program open this long.
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        CommandLine line;
        line.batchList = programPath(QStringLiteral("sched.lst"));
        program.start(line);
        loop.exec();
        return !program.mainWindow().isVisible() && program.batch() == nullptr;
    }

    test::TempHome home_{test::TempHome::WithFolders};
    ManualClock clock_;
    std::unique_ptr<SimNetwork> network_;
    PortRegistry registry_;
    RecordingMessages shown_;
};

TEST_F(BatchRun, TwoScenariosFinishTheReportsTakeTheirNamesAndTheProgramCloses) {
    writeScenario(QStringLiteral("a.scn"), "1111111", clock_.now());
    writeScenario(QStringLiteral("b.scn"), "3333333", clock_.now(), "4444444");
    ASSERT_TRUE(run("CLOSE\r\n1 a.scn night1.html\r\n3 b.scn night3.html\r\n"));
    EXPECT_EQ(logLines(), QStringList{line(QStringLiteral("Успешно завершен."))});
    EXPECT_TRUE(QFile::exists(programPath(QStringLiteral("Result/night1.html"))));
    EXPECT_TRUE(QFile::exists(programPath(QStringLiteral("Result/night3.html"))));
    EXPECT_EQ(shown_.count(), 0);
    QSqlQuery calls(DbConnection::main());
    ASSERT_TRUE(calls.exec(QStringLiteral("SELECT COUNT(*) FROM Table_Seans")));
    ASSERT_TRUE(calls.next());
    EXPECT_EQ(calls.value(0).toInt(), 4);
}

TEST_F(BatchRun, AScenarioThatCannotBeReadIsLoggedAndEndsTheRun) {
    writeScenario(QStringLiteral("a.scn"), "1111111", clock_.now());
    writeFile(QStringLiteral("Scenar/bad.scn"), "not a scenario");
    ASSERT_TRUE(run("CLOSE 1 a.scn r1.html 3 bad.scn r3.html"));
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines.first().startsWith(line(txt(str::CaptionError))));
    EXPECT_EQ(lines.last(), line(txt(str::BatchClosing)));
    EXPECT_EQ(shown_.count(), 0);
}

// ---- A run in the window: the user names the final report ----------------------------------

class WindowRun : public BatchRun {
protected:
    // Runs a.scn on port 1 from its window, with the call pie open so that the cycle leaves a
    // picture; `answer` gets the save dialog when the run ends. Returns once the port's
    // thread has ended.
    void runInWindow(const std::function<void(QDialog&)>& answer) {
        writeScenario(QStringLiteral("a.scn"), "1111111", clock_.now());
        Program program(programSetup());
        program.mainWindow().show();
        CommandLine line;
        line.windows.push_back(PortWindowRequest{1, QStringLiteral("a.scn"), false});
        program.start(line);
        auto* window = qobject_cast<TForm_Data*>(program.mainWindow().openPortWindow(1));
        ASSERT_NE(window, nullptr);
        window->openGraph(0);
        QEventLoop loop;
        QObject::connect(&program.supervisor(), &PortSupervisor::portEnded, &loop,
                         &QEventLoop::quit, Qt::QueuedConnection);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* dialog = window->findChild<QFileDialog*>(QStringLiteral("ReportSaveDialog"));
                dialog != nullptr && dialog->isVisible()) {
                poll.stop();
                dialogTitle_ = dialog->windowTitle();
                dialogFiles_ = dialog->selectedFiles();
                answer(*dialog);
            }
        });
        poll.start(5);
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        window->start();
        ASSERT_TRUE(program.supervisor().portRunning(1));
        loop.exec();
        EXPECT_FALSE(program.supervisor().portRunning(1));
    }

    static QStringList results(const QString& pattern) {
        return QDir(programPath(QStringLiteral("Result"))).entryList({pattern}, QDir::Files);
    }

    QString dialogTitle_;
    QStringList dialogFiles_;
};

TEST_F(WindowRun, TheNamedReportIsClosedAndTakesItsPicturesAfterTheOverwriteQuestion) {
    const QString final = programPath(QStringLiteral("Result/Result_Port_1.html"));
    writeFile(QStringLiteral("Result/Result_Port_1.html"), "yesterday's report");
    shown_.queueAnswer(true);
    runInWindow([](QDialog& d) { d.accept(); });

    EXPECT_EQ(dialogTitle_, QStringLiteral("Сохранить файл результатов -Порт:1"));
    ASSERT_EQ(dialogFiles_.size(), 1);
    EXPECT_EQ(QFileInfo(dialogFiles_.first()).fileName(), QStringLiteral("Result_Port_1"));
    ASSERT_EQ(shown_.count(), 1);
    EXPECT_TRUE(shown_.entries().first().question);
    EXPECT_TRUE(shown_.texts().first().contains(QStringLiteral("уже существует! Перезаписать?")));

    const QByteArray report = fileBytes(final);
    EXPECT_TRUE(report.trimmed().endsWith("</BODY>\n</HTML>")) << report.right(40).constData();
    EXPECT_FALSE(QFile::exists(programPath(QStringLiteral("Result/ResultComPort1.html"))));
    const QStringList pictures = results(QStringLiteral("Result_Port_1_Graphic*.bmp"));
    ASSERT_FALSE(pictures.isEmpty());
    for (const QString& picture : pictures) {
        EXPECT_TRUE(report.contains(picture.toLatin1())) << picture.toStdString();
    }
    EXPECT_TRUE(results(QStringLiteral("ResultComPort1_Graphic*.bmp")).isEmpty());
}

TEST_F(WindowRun, ACancelledDialogLeavesTheWorkingReportOpen) {
    runInWindow([](QDialog& d) { d.reject(); });
    const QByteArray working = fileBytes(programPath(QStringLiteral("Result/ResultComPort1.html")));
    EXPECT_TRUE(working.contains("</table>"));
    EXPECT_FALSE(working.contains("</BODY>"));
    EXPECT_FALSE(results(QStringLiteral("ResultComPort1_Graphic*.bmp")).isEmpty());
    EXPECT_TRUE(results(QStringLiteral("Result_Port_1*")).isEmpty());
    EXPECT_EQ(shown_.count(), 0);
}

TEST_F(WindowRun, AnEndBySignalCancelsTheOpenReportDialogAndAsksNothing) {
    QPointer<QDialog> dialog;
    runInWindow([&dialog](QDialog& d) {
        dialog = &d;
        // SIGTERM while the dialog waits for a user who is not there.
        auto* frame = qobject_cast<TMainForm*>(d.parentWidget()->window());
        ASSERT_NE(frame, nullptr);
        QMetaObject::invokeMethod(frame, &TMainForm::closeWithoutAsking, Qt::QueuedConnection);
    });
    EXPECT_TRUE(dialog.isNull() || !dialog->isVisible());
    EXPECT_TRUE(
        fileBytes(programPath(QStringLiteral("Result/ResultComPort1.html"))).contains("</table>"));
    EXPECT_TRUE(results(QStringLiteral("Result_Port_1*")).isEmpty());
    EXPECT_EQ(shown_.count(), 0);
}

}  // namespace
}  // namespace zev7
