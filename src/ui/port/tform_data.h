// TForm_Data, the port data window: one per open port. It makes the port's scenario document
// (PortScenarioDocument, which the settings and scheme windows share), edits its header and
// cycle list ("Сценарий"), sets up and drives the port's answering station
// ("Модем-автоответчик"), shows the protocol ("Протокол") and the live results of the running
// cycle ("Результаты"). As the port's PortView it receives the port thread's and the
// answering-station thread's reports on the UI thread (through the program's router).
#pragma once

#include "engine/protocol/protocol_list.h"
#include "engine/view/port_view.h"
#include "ui/frame/mdi_child.h"
#include "ui/model/port_run_model.h"
#include "ui/model/port_scenario_document.h"

#include <QColor>
#include <QDateTime>
#include <QList>
#include <array>
#include <functional>
#include <memory>
#include <utility>

class QAction;
class QMenu;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QTimer;
class QToolButton;

namespace zev7 {

class AnswerPage;
class GraphWindows;
class PanelBar;
class PortControl;
class PortGraphData;
class PortResultPage;
class TScenarClass;
class UserMessages;

// What the window needs from the program.
struct PortWindowContext {
    PortControl& control;
    UserMessages& messages;
    IniFile* ini = nullptr;          // "ZEV7.ini"; null keeps no layout
    GraphWindows* graphs = nullptr;  // the program's graph window slots; null: no graph windows
    // Routes the port's reports to `view` until `guard` is destroyed (the program's router).
    std::function<void(int port, PortView* view, QObject* guard)> route = {};
    // The main window's port list is not empty.
    std::function<bool()> portsAvailable = [] { return true; };
    // The program's start time: the base time of a new scenario.
    QDateTime programStart = QDateTime::currentDateTime();
};

// Which of the main window's scenario commands the active port window allows.
struct PortCommandState {
    bool newOpenAdd = false;  // New, Open, Add, Insert
    bool save = true;
    bool deleteCycle = false;
    bool start = false;
    bool restart = false;
    bool stop = false;
};

class TForm_Data : public MdiChild, public PortView {
    Q_OBJECT

public:
    static constexpr int kHelpScenario = 17;
    static constexpr int kHelpCycleSettings = 18;
    static constexpr int kHelpSetScenario = 27;
    static constexpr int kHelpAnswerModem = 31;
    static constexpr int kHelpProtocol = 33;
    static constexpr int kHelpResults = 35;
    // The longest the window waits for its threads when it closes, and for each step of the
    // answering station's leaving the answering mode.
    static constexpr int kCloseWaitMs = 5000;
    // How often the window looks whether the answering station has done the step it waits for.
    static constexpr int kLeavePollMs = 50;

    enum Page { ScenarioPage = 0, AnswerModemPage = 1, ProtocolPage = 2, ResultsPage = 3 };

    TForm_Data(int port, const PortWindowContext& context, QWidget* parent = nullptr);
    ~TForm_Data() override;

    int port() const { return port_; }
    // The window keeps the control it was made with alive as long as itself.
    void keepControl(std::shared_ptr<PortControl> control) { ownedControl_ = std::move(control); }
    // The port's scenario; it lives as long as the window (read from the working copy when the
    // window opens, written to it when the window closes).
    PortScenarioDocument& document() { return *document_; }
    TScenarClass& scenario() { return *scenario_; }

    // ---- The main window's commands on the active port window ---------------------------------
    void newScenario();
    bool openScenario(const QString& path);
    bool saveScenarioAs(const QString& path);
    void addCycle();
    void insertCycle();
    void deleteCycle();
    void start();
    void restart();
    bool stop();
    PortCommandState commandState() const;
    // The window was activated: the pages show the stored header again (unconfirmed edits go).
    void activate();

    // ---- Controls the tests and the main window reach -----------------------------------------
    QTabWidget* pages() const { return pages_; }
    QPushButton* setScenarioButton() const { return setScen_; }
    QPushButton* setAnswerButton() const { return setAnswer_; }
    QLineEdit* repeatIntervalEdit() const { return interval_; }
    QSpinBox* runCountEdit() const { return runCount_; }
    QTableWidget* cycleTable() const { return cycleTable_; }
    AnswerPage* answerPage() const { return answerPage_; }
    PortResultPage* resultPage() const { return results_; }
    QPlainTextEdit* protocolMemo() const { return protocol_; }
    PanelBar* scenarioBar() const { return bar1_; }
    PanelBar* modemBar() const { return bar4_; }
    QToolButton* speakerButton() const { return speaker_; }
    bool monitoring() const { return monitoring_; }
    int editedRepeatInterval() const { return editedInterval_; }
    double editedBaseTime() const { return editedBaseTime_; }
    std::array<bool, 5> graphFlags() const { return graphFlags_; }
    // Opens graph window `kind` of the port (0, 1 the pies; 2..4 the bar graphs of Menu_Param).
    void openGraph(int kind);
    PortRunModel& runModel() { return *runModel_; }
    PortGraphData& graphData() { return runModel_->graphs(); }
    QMenu* graphMenu() const { return graphMenu_; }
    // The pending close waits for the threads; its deadline has passed.
    void closeWaitExpired();
    QTimer* closeDeadline() const { return closeDeadline_; }
    QTimer* repaintTimer() const { return runModel_->repaintTimer(); }
    // "Удалить все": the memo and the port's protocol file.
    void deleteProtocol();
    // Brings the protocol memo and the result tables up to date now (the repaint timer's work).
    void repaintNow() { runModel_->repaintNow(); }

    // ---- Answering-station page commands --------------------------------------------------------
    void setAnswerSettingsClick();  // SetModemAA_BitBtnClick
    void getSettings();             // GetData_ButtonClick
    void setAndMonitor();           // SetData_ButtonClick
    void stopMonitoring(bool ask);  // Break_AA_ButtonClick
    void leaveAnswering();          // Break_MODEM_AA_ButtonClick
    // One look of the wait that follows leaving the answering mode: once the station has taken
    // the command (or after the wait) it is stopped; once it has ended, "Режим не задан".
    void leaveAnsweringWait();
    QTimer* leaveTimer() const { return leaveTimer_; }
    // The supervisor's reports on the threads of this port.
    void portEnded();
    void answerStationEnded();
    void answerStationStarted(int code);

    // ---- PortView ------------------------------------------------------------------------------
    void protocolLine(int port, const QString& line) override;
    void modePanel(int port, ModePanel mode) override;
    void callStatus(int port, int callNumber, CallStatus status) override;
    void cycleStarted(int port, const CycleStartInfo& info) override;
    void callAccounted(int port, const CallRefresh& refresh) override;
    void runFinished(int port, bool resumeMonitoring) override;
    void bringToFront(int port) override;
    void beep(int port) override;
    bool askLineHeld(int port, const QString& caption, const QString& text) override;
    bool speakerOn(int port) override;
    std::optional<QString> askReportPath(int port, const ReportSaveDialog& dialog) override;
    bool takeAnswerSettings(int port, AnswerSettings& settings) override;
    void showAnswerSettings(int port, const AnswerSettings& settings) override;
    void answerStationFinished(int port, ModePanel mode, bool monitoringEnded) override;
    void answerThreadEnded(int port) override;

signals:
    void commandStateChanged();
    // The cycle settings window should show this window's current cycle: `open` brings it up
    // (the button, a double click), otherwise an open one turns to this port if this window is
    // the active one. The window showing the port follows its document by itself.
    void cycleSettingsWanted(zev7::TForm_Data* window, bool open);

protected:
    void writeSettings(IniFile& ini, const QString& section) override;
    void readSettings(const IniFile& ini, const QString& section) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildScenarioPage();
    QWidget* buildAnswerPage();
    QWidget* buildProtocolPage();
    void buildGraphCommands();
    void reopenGraphs();

    void showScenario();
    void showCycles();
    void checkSet();
    void checkSetAA();
    void setScenario();  // SetScen_ButtonClick
    void setRepeatMode(int mode);
    void onIntervalEdited();
    void onCycleTableMouse(int row, int column, Qt::MouseButton button);
    void onCycleTicked(int row, bool ticked);
    void cycleAdded();
    void onScenarioBarPressed(int panel, Qt::MouseButton button);
    void onModemBarPressed(int panel, Qt::MouseButton button);
    void startRun(bool fresh);
    bool editNumber(int cycleIndex);
    void copyAnswerControlsToHeader();  // SetDataAAFromForm
    // Another window changed the scenario (the settings, the scheme): the cycle list and the
    // commands show it. The window's own edits are shown already.
    void onDocumentChanged(PortScenarioDocument::Changes what);
    // An edit of this window: the document tells the other views.
    void ownEdit(PortScenarioDocument::Changes what);
    void setRunning(bool running);
    void setModeText(ModePanel mode);
    void setMonitoring(bool on);
    void answeringLeft();
    void applyCommandState();
    void scheduleRepaint();
    void showProtocol();
    bool threadsRunning() const;
    // The window's grids by the names their column widths carry in "ZEV7.ini"
    // ("TableCycle_ColWidth[2]").
    std::array<std::pair<const char*, QTableWidget*>, 3> columnTables() const;

    const int port_;
    std::shared_ptr<PortControl> ownedControl_;
    PortWindowContext context_;
    PortScenarioDocument* document_ = nullptr;
    TScenarClass* scenario_ = nullptr;  // the document's
    // The live data of the running cycle; its repaints paint the protocol too.
    PortRunModel* runModel_ = nullptr;
    bool ownEdit_ = false;  // the document reports an edit of this window

    QTabWidget* pages_ = nullptr;
    PanelBar* bar1_ = nullptr;
    QToolButton* speaker_ = nullptr;
    QToolButton* modemBetweenCycles_ = nullptr;
    QToolButton* autoRepeat_ = nullptr;
    QMenu* repeatMenu_ = nullptr;
    QLineEdit* interval_ = nullptr;
    QSpinBox* runCount_ = nullptr;
    PanelBar* viewRepeat_ = nullptr;
    // The tool bar's actions of the interval, the run count and the repeat counter.
    QList<QAction*> repeatActions_;
    QTableWidget* cycleTable_ = nullptr;
    QPushButton* setCycle_ = nullptr;
    QPushButton* setScen_ = nullptr;
    PanelBar* bar4_ = nullptr;
    QToolButton* modemButtons_[4] = {};
    AnswerPage* answerPage_ = nullptr;
    QPushButton* setAnswer_ = nullptr;
    QPlainTextEdit* protocol_ = nullptr;
    PortResultPage* results_ = nullptr;
    QTimer* closeDeadline_ = nullptr;
    QTimer* leaveTimer_ = nullptr;

    int changedFlags_ = 0;
    double editedBaseTime_ = 0.0;
    int editedInterval_ = 0;
    int repeatMode_ = 0;
    bool monitoring_ = false;
    enum LeaveStep { kNotLeaving, kLeaveCommandPosted, kLeaveStopping };
    LeaveStep leaving_ = kNotLeaving;
    int leaveTurns_ = 0;
    enum PendingStart { kNoPendingStart, kPendingStart, kPendingRestart };
    PendingStart pendingStart_ = kNoPendingStart;  // waits for the answering station's end
    bool showing_ = false;
    bool closing_ = false;       // a close waits for the threads
    bool closeReady_ = false;    // the threads are gone or the wait is over: close for real
    bool askingReport_ = false;  // the report's save dialog is up: the port thread waits for it
    std::array<bool, 5> graphFlags_{};
    QMenu* graphMenu_ = nullptr;
    ProtocolList protocolList_;
    QStringList pendingLines_;
    bool protocolReset_ = false;
};

// The main window's factory: the window of `port`, routed to receive its port's reports.
TForm_Data* createPortWindow(int port, const PortWindowContext& context, QWidget* parent = nullptr);

}  // namespace zev7
