// The one owner of the program's port threads (TComThread) and answering-station threads
// (TModemAA_Ring): it starts them, passes on stop requests and commands, and, when a thread
// has finished, joins and deletes it and says so with a signal. The main window, the port
// windows, the batch controller and zev7-run all start and stop ports here. Nothing waits for a
// thread by spinning an event loop: the caller's own event loop delivers the signals.
//
// Lives on the UI thread (the thread whose event loop serves the workers' view calls).
#pragma once

#include "engine/answer/answer_station.h"
#include "engine/port/port_services.h"
#include "engine/registry/port_registry.h"

#include <QObject>
#include <map>
#include <memory>
#include <vector>

namespace zev7 {

class PortViewRouter;
class TComThread;
class TModemAA_Ring;
class UserMessages;

class PortSupervisor : public QObject {
    Q_OBJECT

public:
    // `router`, when the workers' view is one, is closed before threads are joined at the end,
    // so that no worker waits for an answer from a UI thread that no longer serves events.
    explicit PortSupervisor(const PortServices& services, PortViewRouter* router = nullptr,
                            QObject* parent = nullptr);
    // Stops every thread still running and waits for it.
    ~PortSupervisor() override;

    // ---- Port threads -------------------------------------------------------------------
    // Makes the port's engine, reads its scenario here (a missing or refused scenario is
    // known at once), enters the thread in PortThreads and starts it; the scheme is refreshed.
    // Returns 0 when the scenario runs; the load error (-22, -20, -21; 1 for a refused file):
    // the thread then only gives the port back; -7 when no thread could be made or the port
    // runs already. Opening the port and the modem's set-up happen on the new thread.
    int startPort(int port);
    // Asks the port's thread to stop; false when the port has none.
    bool stopPort(int port);
    bool portRunning(int port) const;

    // ---- Answering stations -------------------------------------------------------------
    // Starts the port's answering station for the job and returns at once: 0, or -7 when no
    // thread could be made. The result of its first dialogue follows with answerStationStarted
    // (-1 when another station still held the port's slot: the new one does its job but does
    // not stay).
    int startAnswerStation(int port, AnswerMode mode);
    // Tells the port's station to stop; false when none runs. Asking the user first is the
    // window's business.
    bool stopAnswerStation(int port);
    bool postAnswerCommand(int port, AnswerCommand command);
    // The station has not taken the posted command yet (false also when none runs).
    bool answerCommandPending(int port) const;
    bool answerStationRunning(int port) const;

    // ---- All ----------------------------------------------------------------------------
    // Asks every thread to stop; allEnded follows once the last one has been joined (at once
    // when none runs). allEnded also follows whenever the last running thread ends by itself.
    void stopAll();
    // Threads not yet joined, of both kinds.
    int runningCount() const;

signals:
    void portEnded(int port, RunOutcome outcome);
    void answerStationStarted(int port, int code);
    // `code` is the station's error code (0: it was stopped, or its job is done).
    void answerStationEnded(int port, int code);
    void allEnded();

private:
    void portFinished(TComThread* thread);
    void stationFinished(TModemAA_Ring* thread);
    void endedOne();
    TModemAA_Ring* currentStation(int port) const;

    PortServices services_;
    PortViewRouter* router_;
    std::vector<std::unique_ptr<TComThread>> ports_;
    std::vector<std::unique_ptr<TModemAA_Ring>> stations_;
};

// The port window's stop of the ring monitoring: unless batch mode is on, "Прервать режим
// мониторинга входящих звонков?" is asked first and No returns false. Otherwise the port's
// station, if any, is told to stop; true. Nobody waits: answerStationEnded follows.
bool StopAnswerThread(PortSupervisor& supervisor, UserMessages& messages, int port, bool ask);

}  // namespace zev7
