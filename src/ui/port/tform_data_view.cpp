// TForm_Data, continued: the threads' reports on the UI thread (the port's PortView), the
// protocol memo, closing and form storage.
#include "ui/port/tform_data.h"

#include "core/ini_file.h"
#include "core/program_dir.h"
#include "core/strings.h"
#include "scenario/scenar_class.h"
#include "scenario/user_messages.h"
#include "ui/chart/graph_windows.h"
#include "ui/frame/panel_bar.h"
#include "ui/port/port_answer_page.h"
#include "ui/port/port_control.h"
#include "ui/port/port_result_page.h"
#include "ui/port/report_save_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

namespace zev7 {

namespace {

constexpr int kGraphCount = 5;

QString protocolPath(int port) {
    return programPath(QStringLiteral("Protocol\\ProtocolComPort") + QString::number(port) +
                       QStringLiteral(".txt"));
}

}  // namespace

// ---- PortView: the threads' reports -------------------------------------------------------------

void TForm_Data::protocolLine(int, const QString& line) {
    const qsizetype before = protocolList_.size();
    protocolList_.append(line);
    if (protocolList_.size() <= before) {
        protocolReset_ = true;  // the full list was emptied before this line
        pendingLines_.clear();
    }
    pendingLines_.append(line);
    scheduleRepaint();
}

void TForm_Data::modePanel(int, ModePanel mode) {
    setModeText(mode);
}

void TForm_Data::callStatus(int, int callNumber, CallStatus status) {
    runModel_->callStatus(callNumber, status);
}

void TForm_Data::cycleStarted(int, const CycleStartInfo& info) {
    runModel_->cycleStarted(info);
    viewRepeat_->setText(0, QString::number(info.executionNumber));
}

void TForm_Data::callAccounted(int, const CallRefresh& refresh) {
    runModel_->callAccounted(refresh);
}

void TForm_Data::bringToFront(int) {
    // Before an error box: the application comes forward too.
    raiseMdiChild(frameWindow());
    frameWindow()->activateWindow();
}

void TForm_Data::beep(int) {
    QApplication::beep();
}

bool TForm_Data::askLineHeld(int, const QString& caption, const QString& text) {
    return context_.messages.ask(caption, text);
}

std::optional<QString> TForm_Data::askReportPath(int, const ReportSaveDialog& dialog) {
    askingReport_ = true;
    const std::optional<QString> path = askReportSavePath(this, dialog);
    askingReport_ = false;
    return path;
}

bool TForm_Data::speakerOn(int) {
    return speaker_->isChecked();
}

bool TForm_Data::takeAnswerSettings(int, AnswerSettings& settings) {
    copyAnswerControlsToHeader();
    document_->storeAnswerSettings();
    settings = AnswerSettings::fromHeader(scenario_->header());
    checkSetAA();
    return true;
}

void TForm_Data::showAnswerSettings(int, const AnswerSettings& settings) {
    answerPage_->showSettings(settings);
    copyAnswerControlsToHeader();
    document_->storeAnswerSettings();
    checkSetAA();
}

void TForm_Data::answerStationFinished(int, ModePanel mode, bool monitoringEnded) {
    if (monitoringEnded) {
        setMonitoring(false);
    }
    setModeText(mode);
}

void TForm_Data::answerThreadEnded(int) {
    bar4_->update();
}

void TForm_Data::scheduleRepaint() {
    runModel_->scheduleRepaint();
}

void TForm_Data::showProtocol() {
    if (protocolReset_) {
        protocol_->setPlainText(protocolList_.lines().join(u'\n'));
        protocolReset_ = false;
    } else {
        for (const QString& line : std::as_const(pendingLines_)) {
            protocol_->appendPlainText(line);
        }
    }
    pendingLines_.clear();
}

void TForm_Data::deleteProtocol() {
    protocolList_.clear();
    pendingLines_.clear();
    protocolReset_ = false;
    protocol_->clear();
    QFile::remove(protocolPath(port_));
}

// ---- Closing and form storage ------------------------------------------------------------------

void TForm_Data::closeEvent(QCloseEvent* event) {
    if (!closeReady_) {
        if (closing_) {
            event->ignore();  // already waiting for the threads
            return;
        }
        if (context_.control.portRunning(port_) && !stop()) {
            event->ignore();
            return;
        }
        if (context_.control.answerStationRunning(port_)) {
            if (!context_.messages.batchMode() &&
                !context_.messages.askYesNo(txt(str::AnswerStopMonitoringQuestion))) {
                event->ignore();
                return;
            }
            context_.control.stopAnswerStation(port_);
        }
        if (threadsRunning()) {
            // The threads finish their step; the window closes when they are gone, or after
            // the wait, whichever comes first. The event loop keeps running meanwhile.
            closing_ = true;
            closeDeadline_->start();
            event->ignore();
            return;
        }
    }
    runModel_->repaintTimer()->stop();
    if (scenario_->cycleCount() > 0) {
        document_->writeWorkingCopy();
    }
    MdiChild::closeEvent(event);
    // The graph windows show this window's data: they close with it (after its layout has
    // recorded them as open).
    if (context_.graphs != nullptr) {
        context_.graphs->closeAll(port_);
    }
}

void TForm_Data::closeWaitExpired() {
    // A thread waiting for the user to name its report is not hung: the window closes when the
    // thread has ended after the answer.
    if (askingReport_ && threadsRunning()) {
        closeDeadline_->stop();
        return;
    }
    closeDeadline_->stop();
    closeReady_ = true;
    frameWindow()->close();
}

void TForm_Data::writeSettings(IniFile& ini, const QString& section) {
    ini.writeInt(section, QStringLiteral("PageControl1.ActivePage"), pages_->currentIndex());
    ini.writeInt(section, QStringLiteral("PageControl4.ActivePage"),
                 results_->tabs()->currentIndex());
    ini.writeBool(section, QStringLiteral("Tlb_SoundModem.Down"), speaker_->isChecked());
    for (int k = 0; k < kGraphCount; ++k) {
        if (context_.graphs != nullptr) {
            graphFlags_[k] = context_.graphs->wasOpen(port_, k);
        }
        ini.writeInt(section, QStringLiteral("FormGraphic%1").arg(k + 1), graphFlags_[k] ? 1 : 0);
    }
    for (const auto& [name, table] : columnTables()) {
        for (int i = 1; i < table->columnCount(); ++i) {
            ini.writeInt(section, QStringLiteral("%1_ColWidth[%2]").arg(QLatin1String(name)).arg(i),
                         table->columnWidth(i));
        }
    }
}

std::array<std::pair<const char*, QTableWidget*>, 3> TForm_Data::columnTables() const {
    return {{{"TableCycle", cycleTable_},
             {"TableCallCycle", results_->cycleTable()},
             {"Table_Session", results_->callTable()}}};
}

void TForm_Data::readSettings(const IniFile& ini, const QString& section) {
    pages_->setCurrentIndex(
        qBound(0, ini.readInt(section, QStringLiteral("PageControl1.ActivePage"), 0), 3));
    results_->tabs()->setCurrentIndex(
        qBound(0, ini.readInt(section, QStringLiteral("PageControl4.ActivePage"), 1), 1));
    speaker_->setChecked(ini.readBool(section, QStringLiteral("Tlb_SoundModem.Down"), false));
    for (int k = 0; k < kGraphCount; ++k) {
        graphFlags_[k] = ini.readInt(section, QStringLiteral("FormGraphic%1").arg(k + 1), 0) == 1;
    }
    // The graphs reopen once this window stands in the frame.
    QTimer::singleShot(0, this, &TForm_Data::reopenGraphs);
    constexpr int kMaxColumnWidth = 2000;
    for (const auto& [name, table] : columnTables()) {
        for (int i = 1; i < table->columnCount(); ++i) {
            const int w = ini.readInt(
                section, QStringLiteral("%1_ColWidth[%2]").arg(QLatin1String(name)).arg(i),
                table->columnWidth(i));
            table->setColumnWidth(i, qBound(1, w, kMaxColumnWidth));
        }
    }
}

}  // namespace zev7
