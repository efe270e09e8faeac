#include "core/clocks.h"
#include "core/ini_file.h"
#include "core/port_run_marker.h"
#include "core/program_dir.h"
#include "core/strings.h"
#include "engine/port/port_engine.h"
#include "engine/registry/port_registry.h"
#include "scenario/ole_date.h"
#include "scenario/scenar_class.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_templates.h"
#include "scenario/tel_number.h"
#include "sim/sim_config.h"
#include "sim/sim_link_port.h"
#include "support/plain_number.h"
#include "support/recording_messages.h"
#include "support/recording_port_view.h"
#include "ui/chart/graph_windows.h"
#include "ui/chart/tform_graphic.h"
#include "ui/frame/panel_bar.h"
#include "ui/frame/set_button.h"
#include "ui/model/port_graph_data.h"
#include "ui/port/port_answer_page.h"
#include "ui/port/port_control.h"
#include "ui/port/port_result_page.h"
#include "ui/port/tform_data.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

namespace zev7 {
namespace {

constexpr int kPort = 1;

// The threads of the port as the window sees them; a test decides when they end. A run made
// here is the port engine stepped to its end on the test's thread, reporting to `view`.
class FakeControl : public PortControl {
public:
    int startPort(int port) override {
        ++starts;
        if (services == nullptr) {
            running = true;
            return 0;
        }
        engine = std::make_unique<PortEngine>(port, *services);
        const int code = loadNumber(engine->load());
        if (code == 0) {
            engine->open();
            running = true;
        }
        return code;
    }
    bool stopPort(int) override {
        ++stops;
        return running;
    }
    bool portRunning(int) const override { return running; }
    int startAnswerStation(int, AnswerMode mode) override {
        stationModes.push_back(mode);
        station = true;
        return 0;
    }
    bool stopAnswerStation(int) override {
        ++stationStops;
        return station;
    }
    bool postAnswerCommand(int, AnswerCommand command) override {
        commands.push_back(command);
        commandPending = station;
        return station;
    }
    bool answerCommandPending(int) const override { return commandPending; }
    bool answerStationRunning(int) const override { return station; }

    void runToEnd() {
        while (engine->runOnce()) {
        }
        running = false;
    }

    PortServices* services = nullptr;
    std::unique_ptr<PortEngine> engine;
    bool running = false;
    bool station = false;
    bool commandPending = false;  // the station has not taken the posted command yet
    int starts = 0;
    int stops = 0;
    int stationStops = 0;
    std::vector<AnswerMode> stationModes;
    std::vector<AnswerCommand> commands;
};

class PortWindowTest : public ::testing::Test {
protected:
    PortWindowTest() {
        test::uiApp();
        setProgramDir(home_.path());
        EXPECT_TRUE(ensureProgramFolders());
    }
    ~PortWindowTest() override { setProgramDir(QString()); }

    // The demo scenario: outgoing 1111111, one cycle calling 2222222 with 5..20 attempts.
    void writeDemoScenario(double baseTime) {
        ScenarHeader h = templateHeader(baseTime);
        h.outNumber = test::plainNumber("1111111");
        CycleRecord c = templateCycle();
        c.inNumber = test::plainNumber("2222222");
        c.minAttempts = 5;
        c.maxAttempts = 20;
        c.state = static_cast<std::int32_t>(CycleState::Waiting);
        const std::vector<CycleRecord> cycles{c};
        ASSERT_TRUE(writeScenarioFile(workingCopyPath(kPort), h, cycles, messages_));
    }

    std::unique_ptr<TForm_Data> window() {
        PortWindowContext context{control_, messages_, &ini_};
        context.programStart = clock_.now();
        return std::unique_ptr<TForm_Data>(createPortWindow(kPort, context));
    }

    static QColor textColour(QPushButton* b) { return b->palette().color(QPalette::ButtonText); }

    QTemporaryDir home_;
    ManualClock clock_;
    RecordingMessages messages_;
    FakeControl control_;
    IniFile ini_{home_.filePath("ZEV7.ini")};
};

TEST_F(PortWindowTest, RepeatIntervalMaskAndBaseTimeInWholeMinutes) {
    writeDemoScenario(toOleDate(QDateTime(QDate(2026, 12, 8), QTime(10, 15, 42))));
    auto w = window();
    EXPECT_EQ(w->scenarioBar()->text(3), "08.12.26 10:15");
    EXPECT_EQ(fromOleDate(w->scenario().header().baseTime).time(), QTime(10, 15));

    QLineEdit* interval = w->repeatIntervalEdit();
    interval->setText("012:75");
    emit interval->textEdited(interval->text());
    EXPECT_EQ(interval->text(), "012:55");
    EXPECT_EQ(w->editedRepeatInterval(), 775);
    EXPECT_EQ(textColour(w->setScenarioButton()), kSetButtonUnsetColour);
    w->setScenarioButton()->click();
    EXPECT_EQ(textColour(w->setScenarioButton()), kSetButtonSetColour);
    EXPECT_EQ(readScenarioFile(workingCopyPath(kPort)).header.repeatInterval, 775);
}

TEST_F(PortWindowTest, OneRunHidesTheRepeatControlsAndADisabledSetLooksDisabled) {
    writeDemoScenario(toOleDate(clock_.now()));
    auto w = window();
    w->resize(1800, 700);  // the whole tool bar in view, nothing in its overflow
    w->show();
    auto* repeat = w->findChild<QToolButton*>(QStringLiteral("Tlb_AutoRepeat"));
    ASSERT_NE(repeat, nullptr);
    repeat->menu()->actions().value(0)->trigger();  // one run
    w->resize(1700, 700);                           // the tool bar lays itself out again
    QApplication::processEvents();
    EXPECT_TRUE(w->runCountEdit()->isHidden());
    EXPECT_TRUE(w->repeatIntervalEdit()->isHidden());
    repeat->menu()->actions().value(1)->trigger();  // again after the end
    QApplication::processEvents();
    EXPECT_FALSE(w->runCountEdit()->isHidden());

    QPushButton* set = w->setScenarioButton();
    EXPECT_NE(set->palette().color(QPalette::Disabled, QPalette::ButtonText),
              set->palette().color(QPalette::Active, QPalette::ButtonText));
}

TEST_F(PortWindowTest, FrequencyJumpsOverTheGapAndToneBandIsStored) {
    writeDemoScenario(toOleDate(clock_.now()));
    auto w = window();
    QDoubleSpinBox* f = w->answerPage()->frequencyEdit();
    f->setValue(1020);
    f->setValue(1800);
    EXPECT_EQ(f->value(), 2100);
    f->setValue(2099);
    EXPECT_EQ(f->value(), 1500);

    f->setValue(2400);
    w->answerPage()->toneBox()->setChecked(true);
    EXPECT_TRUE(w->answerPage()->toneLevelEdit()->isEnabled());
    EXPECT_EQ(textColour(w->setAnswerButton()), kSetButtonUnsetColour);
    w->setAnswerSettingsClick();
    EXPECT_EQ(readScenarioFile(workingCopyPath(kPort)).header.toneCheck, 3);
    // The modem was written and left answering without a monitoring thread.
    ASSERT_EQ(control_.stationModes.size(), 1u);
    EXPECT_EQ(control_.stationModes[0], AnswerMode::Answer);
    EXPECT_EQ(control_.stationStops, 1);
    EXPECT_FALSE(w->monitoring());

    auto again = window();
    EXPECT_EQ(textColour(again->setAnswerButton()), kSetButtonSetColour);
}

TEST_F(PortWindowTest, ActivationDropsEditsThatWereNotSet) {
    writeDemoScenario(toOleDate(clock_.now()));
    auto w = window();
    const int runs = w->scenario().header().runCount;
    w->runCountEdit()->setValue(runs + 3);
    w->answerPage()->levelEdit()->setValue(w->answerPage()->levelEdit()->value() - 2);
    EXPECT_EQ(textColour(w->setScenarioButton()), kSetButtonUnsetColour);
    EXPECT_EQ(textColour(w->setAnswerButton()), kSetButtonUnsetColour);

    w->activate();
    EXPECT_EQ(w->runCountEdit()->value(), runs);
    EXPECT_EQ(textColour(w->setScenarioButton()), kSetButtonSetColour);
    EXPECT_EQ(textColour(w->setAnswerButton()), kSetButtonSetColour);
}

TEST_F(PortWindowTest, UnticklingACycleExcludesItUntilSet) {
    writeDemoScenario(toOleDate(clock_.now()));
    auto w = window();
    w->cycleTable()->item(0, 1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(int{w->scenario().cycle(0).state}, static_cast<int>(CycleState::Excluded));
    EXPECT_FALSE(w->commandState().restart);
    EXPECT_EQ(textColour(w->setScenarioButton()), kSetButtonUnsetColour);
}

TEST_F(PortWindowTest, ClosingWithARunningThreadAsksThenWaitsForItsEnd) {
    writeDemoScenario(toOleDate(clock_.now()));
    auto w = window();
    QPointer<TForm_Data> alive(w.get());
    w->show();
    w->start();
    ASSERT_TRUE(control_.running);
    EXPECT_FALSE(w->commandState().start);
    EXPECT_TRUE(w->commandState().stop);

    messages_.queueAnswer(false);
    EXPECT_FALSE(w->close());
    EXPECT_EQ(control_.stops, 0);

    messages_.queueAnswer(true);
    EXPECT_FALSE(w->close());  // waits for the thread, the event loop keeps running
    EXPECT_EQ(control_.stops, 1);
    EXPECT_TRUE(w->closeDeadline()->isActive());
    EXPECT_EQ(w->closeDeadline()->interval(), 5000);
    EXPECT_TRUE(w->isVisible());

    control_.running = false;
    w->portEnded();
    EXPECT_FALSE(w->isVisible());
    w.release()->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

// A run holds the port's marker until its thread has ended; a port that zev7-run runs on the
// same folder is refused before its working copy (with its finished cycles) is touched.
TEST_F(PortWindowTest, ARunHoldsThePortsMarkerAndAPortRunElsewhereKeepsItsWorkingCopy) {
    writeDemoScenario(toOleDate(clock_.now()));
    auto w = window();
    w->start();
    ASSERT_TRUE(control_.running);
    EXPECT_EQ(PortRunMarker::runningPorts(), QList<int>{kPort});
    control_.running = false;
    w->portEnded();
    EXPECT_TRUE(PortRunMarker::runningPorts().isEmpty());

    PortRunMarker elsewhere(kPort);
    ASSERT_TRUE(elsewhere.acquire());
    QFile copy(workingCopyPath(kPort));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    const QByteArray before = copy.readAll();
    copy.close();
    messages_.clear();
    w->start();
    EXPECT_EQ(control_.starts, 1);
    EXPECT_FALSE(w->document().moveCycleStart(0, 0.0, 0.0));
    const QString busy =
        txt(str::RunPortBusy).arg(kPort).arg(QDir::toNativeSeparators(PortRunMarker::path(kPort)));
    EXPECT_EQ(messages_.texts(), (QStringList{busy, busy}));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), before);
}

TEST_F(PortWindowTest, AThreadThatDoesNotEndDoesNotHoldTheCloseLongerThanTheWait) {
    writeDemoScenario(toOleDate(clock_.now()));
    auto w = window();
    w->show();
    w->start();
    messages_.setDefaultAnswer(true);
    EXPECT_FALSE(w->close());
    w->closeWaitExpired();  // what the 5 s deadline does
    EXPECT_FALSE(w->isVisible());
    w.release()->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(PortWindowTest, MonitoringStopsForTheRunAndResumesAfterIt) {
    writeDemoScenario(toOleDate(clock_.now()));
    auto w = window();
    w->setAndMonitor();
    EXPECT_TRUE(w->monitoring());
    EXPECT_EQ(w->modemBar()->text(4), "Режим автоответчика. Мониторинг звонков.");
    w->start();
    EXPECT_EQ(control_.stationStops, 1);
    EXPECT_EQ(control_.starts, 0);  // the station still holds the serial port
    EXPECT_TRUE(w->monitoring());
    control_.station = false;
    w->answerStationEnded();
    EXPECT_EQ(control_.starts, 1);
    control_.running = false;
    w->runFinished(kPort, false);
    w->portEnded();
    EXPECT_EQ(control_.stationModes.size(), 2u);
    EXPECT_EQ(w->modemBar()->text(4), "Режим автоответчика. Мониторинг звонков.");
}

// "Прервать мониторинг" can be pressed exactly while the rings are monitored.
TEST_F(PortWindowTest, TheStopMonitoringButtonWorksExactlyWhileMonitoring) {
    writeDemoScenario(toOleDate(clock_.now()));
    auto w = window();
    auto* stopMonitoring = w->modemBar()->label(2)->findChild<QToolButton*>();
    ASSERT_NE(stopMonitoring, nullptr);
    EXPECT_FALSE(stopMonitoring->isEnabled());
    w->setAndMonitor();
    EXPECT_TRUE(stopMonitoring->isEnabled());
    messages_.queueAnswer(true);
    w->stopMonitoring(true);
    EXPECT_FALSE(stopMonitoring->isEnabled());
}

// "Прервать режим автоответчика?" Yes: the station takes the modem out of answering, then it
// is stopped, and once it has ended the page says the mode is not set.
TEST_F(PortWindowTest, LeavingTheAnsweringModeEndsTheStation) {
    writeDemoScenario(toOleDate(clock_.now()));
    auto w = window();
    w->setAndMonitor();
    messages_.queueAnswer(true);
    w->leaveAnswering();
    ASSERT_FALSE(control_.commands.empty());
    EXPECT_EQ(control_.commands.back(), AnswerCommand::CallingDevice);
    EXPECT_TRUE(w->leaveTimer()->isActive());
    w->leaveAnsweringWait();
    EXPECT_EQ(control_.stationStops, 0);  // the command is not taken yet
    control_.commandPending = false;
    w->leaveAnsweringWait();
    EXPECT_EQ(control_.stationStops, 1);
    EXPECT_EQ(w->modemBar()->text(4), "Режим автоответчика. Мониторинг звонков.");
    control_.station = false;
    w->answerStationEnded();
    EXPECT_FALSE(w->monitoring());
    EXPECT_EQ(w->modemBar()->text(4), "Режим не задан");
    EXPECT_FALSE(w->leaveTimer()->isActive());
}

// A run that ends while a call is under way leaves no "Жду ..." behind in the call table.
TEST_F(PortWindowTest, ACallCutShortByTheEndOfTheRunSaysSo) {
    writeDemoScenario(toOleDate(clock_.now()));
    auto w = window();
    CallRefresh first;
    first.callNumber = 1;
    first.row[1] = "Успешный";
    w->callAccounted(kPort, first);
    w->callStatus(kPort, 2, CallStatus::WaitAnswerSignal);
    w->repaintNow();
    QTableWidget* table = w->resultPage()->callTable();
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(1, 1)->text(), "Жду сигнал АО");
    w->runFinished(kPort, false);
    EXPECT_EQ(table->item(0, 1)->text(), "Успешный");
    EXPECT_EQ(table->item(1, 0)->text(), "2");
    EXPECT_EQ(table->item(1, 1)->text(), "Вызов прерван");
}

// Fifty calls reported in a burst cost the result page one repaint, with every row.
TEST_F(PortWindowTest, ABurstOfCallsRepaintsTheResultPageAndTheGraphsOnce) {
    writeDemoScenario(toOleDate(clock_.now()));
    auto w = window();
    int repaints = 0;
    int graphRedraws = 0;
    QObject::connect(&w->runModel(), &PortRunModel::repaintDue, [&repaints] { ++repaints; });
    QObject::connect(&w->graphData(), &PortGraphData::changed, [&graphRedraws] { ++graphRedraws; });
    for (int call = 1; call <= 50; ++call) {
        w->callStatus(kPort, call, CallStatus::WaitAnswerSignal);
        CallRefresh refresh;
        refresh.callNumber = call;
        refresh.row[1] = "Успешный";
        w->callAccounted(kPort, refresh);
    }
    QTableWidget* table = w->resultPage()->callTable();
    EXPECT_EQ(table->rowCount(), 0);
    EXPECT_TRUE(w->repaintTimer()->isActive());
    EXPECT_EQ(graphRedraws, 0);
    w->repaintNow();
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(graphRedraws, 1);
    ASSERT_EQ(table->rowCount(), 50);
    EXPECT_EQ(table->item(49, 1)->text(), "Успешный");
}

TEST_F(PortWindowTest, FormStorageKeepsColumnsAndGraphFlagsAndPullsFarWindowsBack) {
    writeDemoScenario(toOleDate(clock_.now()));
    {
        auto w = window();
        w->cycleTable()->setColumnWidth(2, 222);
        w->saveLayout();
    }
    ini_.writeInt("Порт:1", "Left", 5000);
    ini_.writeInt("Порт:1", "FormGraphic3", 1);
    ASSERT_TRUE(ini_.save());
    IniFile reread(ini_.path());
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(reread.readInt("Порт:1", "TableCycle_ColWidth[2]"), 222);
    EXPECT_FALSE(reread.hasKey("Порт:1", "TableCycle_ColWidth[0]"));

    auto w = window();
    w->restoreLayout();
    EXPECT_EQ(w->cycleTable()->columnWidth(2), 222);
    EXPECT_EQ(w->graphFlags()[2], true);
    EXPECT_EQ(w->frameWindow()->x(), 0);
}

TEST_F(PortWindowTest, GraphButtonsOpenTheGraphsWhichReopenAndCloseWithTheWindow) {
    writeDemoScenario(toOleDate(clock_.now()));
    GraphWindows graphs;
    PortWindowContext context{control_, messages_, &ini_};
    context.graphs = &graphs;
    {
        std::unique_ptr<TForm_Data> w(createPortWindow(kPort, context));
        w->resultPage()->graphButton(0)->click();
        w->graphMenu()->findChild<QAction*>("N_LevAS")->trigger();
        EXPECT_TRUE(w->graphMenu()->findChild<QAction*>("N_LevAS")->isChecked());
        TForm_Graphic* level = graphs.window(kPort, DialToneBars);
        ASSERT_NE(level, nullptr);
        CallRefresh call;
        call.callNumber = 1;
        call.points.dialToneLevel = -21.5;
        w->callAccounted(kPort, call);
        level->refresh();
        EXPECT_EQ(level->shownBars(), 1);
        w->saveLayout();
        EXPECT_EQ(ini_.readInt("Порт:1", "FormGraphic1"), 1);
        EXPECT_EQ(ini_.readInt("Порт:1", "FormGraphic4"), 1);
        EXPECT_EQ(ini_.readInt("Порт:1", "FormGraphic3"), 0);
        w->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(graphs.openGraphWindows(kPort).isEmpty());
        w.release();  // closed: the window deleted itself
    }
    std::unique_ptr<TForm_Data> again(createPortWindow(kPort, context));
    again->restoreLayout();
    QApplication::processEvents();
    EXPECT_NE(graphs.window(kPort, CallsPie), nullptr);
    EXPECT_NE(graphs.window(kPort, DialToneBars), nullptr);
    EXPECT_EQ(graphs.window(kPort, AttenuationBars), nullptr);
}

// A run started from the window shows what the headless run reports: the same protocol lines
// and the same call rows, on the same simulated network and clock.
TEST_F(PortWindowTest, RunFromTheWindowMatchesTheHeadlessRun) {
    const double base = toOleDate(clock_.now());
    auto runOn = [&](PortView& view, FakeControl* control) {
        ManualClock clock;
        auto network = buildNetwork(SimConfig::demo(), clock);
        PortRegistry registry;
        PortServices services{clock, messages_, view, registry, {}, {}};
        services.makePort = [&](int port) -> std::unique_ptr<CommPort> {
            return std::make_unique<SimLinkPort>(*network, port);
        };
        if (control == nullptr) {
            PortEngine engine(kPort, services);
            ASSERT_EQ(engine.load(), ScenarioLoad::Loaded);
            engine.open();
            while (engine.runOnce()) {
            }
            return;
        }
        control->services = &services;
        auto* w = static_cast<TForm_Data*>(&view);
        w->start();
        ASSERT_TRUE(w->scenario().running());
        control->runToEnd();
        control->engine.reset();
        control->services = nullptr;
    };

    writeDemoScenario(base);
    RecordingPortView headless;
    runOn(headless, nullptr);

    writeDemoScenario(base);
    auto w = window();
    runOn(*w, &control_);
    w->repaintNow();

    EXPECT_FALSE(w->scenario().running());
    EXPECT_EQ(w->protocolMemo()->toPlainText().split('\n'), headless.protocolList());
    const QList<CallRefresh> calls = headless.calls();
    QTableWidget* table = w->resultPage()->callTable();
    ASSERT_EQ(table->rowCount(), calls.size());
    ASSERT_GE(calls.size(), 5);
    for (int r = 0; r < table->rowCount(); ++r) {
        for (int c = 0; c < table->columnCount(); ++c) {
            EXPECT_EQ(table->item(r, c)->text(), calls[r].row[c]) << r << ":" << c;
        }
    }
    EXPECT_EQ(w->resultPage()->cycleTable()->item(5, 2)->text(),
              calls.last().summary[kSummaryVerdictRow - 1][1]);
    // Beside the verdict, its 95 % interval and what it proves.
    EXPECT_EQ(w->resultPage()->cycleTable()->item(5, 3)->text(),
              calls.last().confidence.intervalText());
    EXPECT_EQ(w->resultPage()->cycleTable()->item(5, 4)->text(),
              calls.last().confidence.decisionText());
    EXPECT_TRUE(calls.last().confidence.hasInterval());
}

TEST_F(PortWindowTest, ABurstOfReportsRepaintsOnceAndDeleteAllEmptiesTheProtocol) {
    writeDemoScenario(toOleDate(clock_.now()));
    auto w = window();
    for (int i = 0; i < 350; ++i) {
        w->protocolLine(kPort, QString("строка %1").arg(i));
    }
    EXPECT_TRUE(w->repaintTimer()->isActive());
    EXPECT_TRUE(w->protocolMemo()->toPlainText().isEmpty());  // nothing painted yet
    w->repaintNow();
    const QStringList shown = w->protocolMemo()->toPlainText().split('\n');
    EXPECT_LE(shown.size(), 301);
    EXPECT_EQ(shown.last(), "строка 349");

    QFile protocol(programPath("Protocol\\ProtocolComPort1.txt"));
    ASSERT_TRUE(protocol.open(QIODevice::WriteOnly));
    protocol.close();
    w->deleteProtocol();
    EXPECT_TRUE(w->protocolMemo()->toPlainText().isEmpty());
    EXPECT_FALSE(QFile::exists(protocol.fileName()));
}

}  // namespace
}  // namespace zev7
