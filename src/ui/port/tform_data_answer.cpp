// TForm_Data, continued: the answering-station page's commands — reading and writing the
// station's settings, monitoring, leaving the answering mode — and the state of its threads.
#include "ui/port/tform_data.h"

#include "core/strings.h"
#include "scenario/scenar_class.h"
#include "scenario/user_messages.h"
#include "ui/frame/panel_bar.h"
#include "ui/frame/set_button.h"
#include "ui/port/port_answer_page.h"
#include "ui/port/port_control.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace zev7 {

// ---- The answering station ----------------------------------------------------------------------

void TForm_Data::copyAnswerControlsToHeader() {
    answerPage_->settings().toHeader(scenario_->header());
}

void TForm_Data::setAnswerSettingsClick() {
    setAnswer_->setEnabled(false);
    copyAnswerControlsToHeader();
    colourSetButton(setAnswer_, false);
    document_->storeAnswerSettings();
    if (context_.control.answerStationRunning(port_)) {
        context_.control.postAnswerCommand(port_, AnswerCommand::Apply);
    } else {
        // The modem is written and left answering, but no monitoring thread stays.
        setAndMonitor();
        stopMonitoring(false);
        setMonitoring(false);
    }
    setAnswer_->setEnabled(true);
}

void TForm_Data::getSettings() {
    if (context_.control.answerStationRunning(port_)) {
        context_.control.postAnswerCommand(port_, AnswerCommand::Show);
    } else {
        context_.control.startAnswerStation(port_, AnswerMode::ReadSettings);
    }
}

void TForm_Data::setAndMonitor() {
    if (context_.control.answerStationRunning(port_)) {
        context_.control.postAnswerCommand(port_, AnswerCommand::Apply);
    } else if (context_.control.startAnswerStation(port_, AnswerMode::Answer) == 0) {
        setMonitoring(true);
        setModeText(ModePanel::Answering);
    }
    bar4_->update();
}

void TForm_Data::stopMonitoring(bool ask) {
    if (!context_.control.answerStationRunning(port_)) {
        return;
    }
    if (ask && !context_.messages.batchMode() &&
        !context_.messages.askYesNo(txt(str::AnswerStopMonitoringQuestion))) {
        return;
    }
    context_.control.stopAnswerStation(port_);
    if (ask) {
        setMonitoring(false);
    }
    bar4_->update();
}

void TForm_Data::leaveAnswering() {
    if (leaving_ != kNotLeaving || !context_.messages.askYesNo(txt(str::AskLeaveAnswering))) {
        return;
    }
    if (!context_.control.answerStationRunning(port_)) {
        context_.control.startAnswerStation(port_, AnswerMode::CallingDevice);
        setMonitoring(false);
        return;
    }
    // The running station takes the modem out of answering first, then it ends: no ring is
    // watched for a modem that no longer answers. The window waits for each step on a timer.
    context_.control.postAnswerCommand(port_, AnswerCommand::CallingDevice);
    leaving_ = kLeaveCommandPosted;
    leaveTurns_ = 0;
    leaveTimer_->start();
}

void TForm_Data::leaveAnsweringWait() {
    if (leaving_ == kNotLeaving) {
        leaveTimer_->stop();
        return;
    }
    const bool late = ++leaveTurns_ * kLeavePollMs >= kCloseWaitMs;
    if (leaving_ == kLeaveCommandPosted) {
        if (context_.control.answerCommandPending(port_) && !late) {
            return;
        }
        context_.control.stopAnswerStation(port_);
        leaving_ = kLeaveStopping;
        leaveTurns_ = 0;
        return;
    }
    if (!context_.control.answerStationRunning(port_)) {
        answeringLeft();
    } else if (late) {
        // The station did not end in time: it says its own mode when it does.
        leaving_ = kNotLeaving;
        leaveTimer_->stop();
    }
}

void TForm_Data::answeringLeft() {
    leaving_ = kNotLeaving;
    leaveTimer_->stop();
    setMonitoring(false);
    setModeText(ModePanel::NotSet);
}

void TForm_Data::setMonitoring(bool on) {
    monitoring_ = on;
    // "Прервать режим мониторинга" can be pressed exactly while the rings are monitored.
    modemButtons_[2]->setEnabled(on);
}

void TForm_Data::answerStationStarted(int code) {
    if (code != 0) {
        setMonitoring(false);
    }
}

void TForm_Data::answerStationEnded() {
    if (leaving_ == kLeaveStopping && !context_.control.answerStationRunning(port_)) {
        answeringLeft();
    }
    if (pendingStart_ != kNoPendingStart && !closing_ &&
        !context_.control.answerStationRunning(port_)) {
        startRun(pendingStart_ == kPendingStart);
    }
    if (closing_ && !threadsRunning()) {
        closeWaitExpired();
    }
}

void TForm_Data::onModemBarPressed(int panel, Qt::MouseButton button) {
    if (button != Qt::LeftButton || scenario_->running()) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    switch (panel) {
        case 0:
            getSettings();
            break;
        case 1:
            setAndMonitor();
            break;
        case 2:
            if (monitoring_) {
                stopMonitoring(true);
            }
            break;
        case 3:
            leaveAnswering();
            break;
        default:
            break;
    }
    QApplication::restoreOverrideCursor();
    bar4_->update();
}

void TForm_Data::setModeText(ModePanel mode) {
    QLabel* l = bar4_->label(4);
    QColor colour = palette().color(QPalette::Button);
    if (mode == ModePanel::Answering) {
        colour = QColor(255, 255, 0);
    } else if (mode == ModePanel::AnsweringStation) {
        colour = QColor(255, 255, 255);
    } else if (mode == ModePanel::Calling) {
        colour = QColor(0, 255, 255);
    }
    QPalette p = l->palette();
    p.setColor(QPalette::Window, colour);
    l->setPalette(p);
    l->setText(modePanelText(mode));
}

bool TForm_Data::threadsRunning() const {
    return context_.control.portRunning(port_) || context_.control.answerStationRunning(port_);
}

}  // namespace zev7
