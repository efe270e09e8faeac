// What the port window asks of the threads of its port: the port thread that runs the scenario
// and the answering-station thread. The program's port supervisor answers it; tests drive the
// engine themselves. The window never waits for a thread: the ends come back through
// portEnded() and answerStationEnded() on the UI thread.
#pragma once

#include "engine/answer/answer_station.h"

#include <functional>

namespace zev7 {

class PortControl {
public:
    virtual ~PortControl() = default;

    // 0 when the scenario runs, else the scenario load code (the thread reports its errors).
    virtual int startPort(int port) = 0;
    virtual bool stopPort(int port) = 0;
    virtual bool portRunning(int port) const = 0;

    // Starts the station for the job; the first dialogue's code comes later through
    // `answerStarted` of the listener.
    virtual int startAnswerStation(int port, AnswerMode mode) = 0;
    virtual bool stopAnswerStation(int port) = 0;
    virtual bool postAnswerCommand(int port, AnswerCommand command) = 0;
    // The station has not taken the posted command yet (false also when none runs).
    virtual bool answerCommandPending(int port) const = 0;
    virtual bool answerStationRunning(int port) const = 0;
};

}  // namespace zev7
