// The port view of zev7-run: every protocol line, each cycle start, and per test call its row
// and the cycle result so far, printed to standard output as UTF-8. The line-held question
// goes to the program's messages (ConsoleMessages answers No, as batch mode does).
#pragma once

#include "engine/port_view.h"

#include <QMutex>
#include <QTextStream>

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

private:
    void print(const QString& line);

    UserMessages& messages_;
    QMutex mutex_;
    QTextStream out_;
};

}  // namespace zev7
