// Everything a port thread shows in its port window or asks there: protocol lines, the mode
// panel, the status cell of the call being made, the cycle start, the row and the result
// table after each call with the values of the pies and graphs, the end of the run, and the
// line-held alarm; and for the port's answering-station thread (TModemAA_Ring) its settings
// taken from and shown in the answering-station page and its final status. The engine never
// touches a widget; the window (or the console of zev7-run, or a test) implements this. The
// workers call the program's PortViewRouter, which carries each call to the UI thread: the
// notifications are posted and the worker goes on; only the calls that return an answer
// (askLineHeld, speakerOn, takeAnswerSettings, askReportPath) wait for it.
#pragma once

#include "engine/cycle/cycle_result_texts.h"
#include "engine/report/result_report_finish.h"
#include "scenario/answer_settings.h"
#include "scenario/loss_confidence.h"
#include "scenario/port_event.h"

#include <QString>
#include <optional>

namespace zev7 {

// The status bars of the result page when a cycle starts.
struct CycleStartInfo {
    QString outNumberText;  // the scenario's outgoing number
    QString startText;      // the cycle start, "dd.mm.yy hh:mm"
    int cycleNumber = 0;    // 1-based
    QString inNumberText;   // the cycle's incoming number
    int executionNumber = 1;
};

// After each accounted test call: its row of the call table, the cycle result table, the
// verdict's colour and confidence, the two pies and the points of the three graphs.
struct CallRefresh {
    int callNumber = 0;
    CallRowTexts row;
    SummaryTexts summary;
    bool meetsNorm = true;               // the verdict cell is white, otherwise red
    LossConfidence confidence{0, 0, 0};  // how sure the verdict is
    PieValues pies;
    CallGraphPoints points;
};

class PortView {
public:
    virtual ~PortView() = default;

    // One protocol line for the window's protocol list (ProtocolList keeps at most 301).
    virtual void protocolLine(int /*port*/, const QString& /*line*/) {}
    // The mode panel of the answering-station page.
    virtual void modePanel(int /*port*/, ModePanel /*mode*/) {}
    // The status cell of the call being made (status 1 also writes the call number).
    virtual void callStatus(int /*port*/, int /*callNumber*/, CallStatus /*status*/) {}
    // A cycle starts: the call table, the result table and the charts are cleared, the status
    // bars and the repetition panel show the new cycle.
    virtual void cycleStarted(int /*port*/, const CycleStartInfo& /*info*/) {}
    // A test call was accounted.
    virtual void callAccounted(int /*port*/, const CallRefresh& /*refresh*/) {}
    // The port thread ends: the window reloads the working copy and finishes its run display;
    // with `resumeMonitoring` (the modem answered calls before the scenario started) it starts
    // the answering-station monitoring again.
    virtual void runFinished(int /*port*/, bool /*resumeMonitoring*/) {}
    // The application comes forward and the port window is shown (restored if minimised).
    virtual void bringToFront(int /*port*/) {}
    // One beep of the line-held alarm.
    virtual void beep(int /*port*/) {}
    // The line-held question, asked with the line still off-hook; true: go on with the
    // scenario. Unanswered questions (batch mode, no window) count as No.
    virtual bool askLineHeld(int /*port*/, const QString& /*caption*/, const QString& /*text*/) {
        return false;
    }
    // The run has ended: the save dialog of the final report, over the port window. The chosen
    // path, or nothing when the user cancelled; a port without a window cannot ask, and its
    // working report stays as it is.
    virtual std::optional<QString> askReportPath(int /*port*/, const ReportSaveDialog& /*dialog*/) {
        return std::nullopt;
    }
    // The speaker button of the port window (Tlb_SoundModem) is down.
    virtual bool speakerOn(int /*port*/) { return false; }
    // The scenario scheme window, when open, shows the running ports anew.
    virtual void refreshScheme() {}

    // ---- The answering station --------------------------------------------------------------
    // Take settings: the window copies its answering-station controls into the scenario and
    // saves it, then hands over the eight values (the tone band from the tick box and the
    // frequency, answerToneBand). False when the port has no window: the thread keeps its own.
    virtual bool takeAnswerSettings(int /*port*/, AnswerSettings& /*settings*/) { return false; }
    // Show settings: the values as the modem holds them go into the controls (the tick box
    // ticked when the tone band is not 0); the window copies them into the scenario and saves it.
    virtual void showAnswerSettings(int /*port*/, const AnswerSettings& /*settings*/) {}
    // The answering-station thread ends: the mode panel shows `mode`; with `monitoringEnded`
    // (an error ended it) the window's flag that ring monitoring is active is cleared; the panel
    // buttons for reading the settings and leaving the answering mode are idle again.
    virtual void answerStationFinished(int /*port*/, ModePanel /*mode*/, bool /*monitoringEnded*/) {
    }
    // The thread has emptied its AnswerThreads slot: the window's status bar is repainted.
    virtual void answerThreadEnded(int /*port*/) {}
};

}  // namespace zev7
