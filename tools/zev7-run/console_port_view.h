// The port view of zev7-run: every protocol line, each cycle start, and per test call its row
// and the cycle result so far, printed to standard output as UTF-8. The line-held question
// goes to the program's messages (ConsoleMessages answers No, as batch mode does). An
// answering station takes the settings given for its port (as from the window's page) and
// prints the values the modem holds, and its final mode. Once the output is closed (its reader
// has gone), nothing more is written to it: the ports measure on.
#pragma once

#include "engine/view/port_view.h"

#include <QMutex>
#include <QTextStream>
#include <map>

namespace zev7 {

class UserMessages;

class ConsolePortView : public PortView {
public:
    explicit ConsolePortView(UserMessages& messages);

    void protocolLine(int port, const QString& line) override;
    void cycleStarted(int port, const CycleStartInfo& info) override;
    void callAccounted(int port, const CallRefresh& refresh) override;
    void runFinished(int port, bool resumeMonitoring) override;
    bool askLineHeld(int port, const QString& caption, const QString& text) override;
    bool takeAnswerSettings(int port, AnswerSettings& settings) override;
    void showAnswerSettings(int port, const AnswerSettings& settings) override;
    void answerStationFinished(int port, ModePanel mode, bool monitoringEnded) override;

    // The answering-station page of a port: what a station started there writes.
    void setAnswerSettings(int port, const AnswerSettings& settings);

private:
    void print(const QString& line);

    UserMessages& messages_;
    QMutex mutex_;
    QTextStream out_;
    bool outputClosed_ = false;
    std::map<int, AnswerSettings> answerPages_;
};

}  // namespace zev7
