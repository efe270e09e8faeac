// The alerts of one port thread: it is told each accounted call, each judged cycle and an
// end with an error, and for every alert its streaks raise it writes the protocol line, hands
// the alert to the program's listener (the desktop notification and the batch log, or the
// console of zev7-run) and starts the operator's command. None of these waits: a listener
// posts and returns, the command is started detached, and a command that cannot be started
// costs one protocol line.
#pragma once

#include "engine/alerts/alert_command.h"
#include "engine/alerts/alert_settings.h"
#include "engine/alerts/alert_watch.h"

#include <memory>

namespace zev7 {

class Clock;
class PortProtocol;

// Where the program shows an alert besides the protocol. Called on the port's thread; it must
// not wait for anything (a window is reached by a post).
class AlertListener {
public:
    virtual ~AlertListener() = default;
    virtual void alertRaised(const PortAlert& alert) = 0;
};

// What every port thread of the program is given for its alerts.
struct AlertServices {
    AlertSettings settings;
    AlertListener* listener = nullptr;  // nullptr: the protocol and the command only
    ProcessStarter* starter = nullptr;  // nullptr: QtProcessStarter
};

// The alert's text as the protocol line says it (without date, time and port).
QString alertText(const AlertEvent& event, const QString& reason = {});

class PortAlerts {
public:
    PortAlerts(int port, const AlertServices& services, const Clock& clock, PortProtocol& protocol);
    ~PortAlerts();
    PortAlerts(const PortAlerts&) = delete;
    PortAlerts& operator=(const PortAlerts&) = delete;

    // The numbers the alerts name: the scenario's outgoing one and the incoming one of the
    // cycle under way (empty outside a cycle).
    struct Numbers {
        QString out;
        QString in;
    };

    void callAccounted(ResultCode outcome, const Numbers& numbers);
    void cycleJudged(bool meetsNorm, const Numbers& numbers);
    // The port thread ends with an error; `reason` says which when it is known. Alerted
    // whenever the section "[Оповещение]" exists.
    void runFailed(const QString& reason, const Numbers& numbers);

private:
    void raise(const AlertEvent& event, const QString& text, const Numbers& numbers);

    int port_;
    AlertServices services_;
    const Clock& clock_;
    PortProtocol& protocol_;
    AlertWatch watch_;
    std::unique_ptr<ProcessStarter> ownStarter_;
};

}  // namespace zev7
