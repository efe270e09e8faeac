// TModemAA_Ring: the answering-station thread of one port. Its station (AnswerStation) is
// constructed on the new thread, which makes its own serial port there, while the starting
// thread waits for the result of that first dialogue; then the thread watches the line until
// it is stopped or an error ends it, empties its AnswerThreads slot and frees itself (deleted
// by the event loop of the thread that started it).
//
// StartAnswerThread, StopAnswerThread and the posted commands are what the port window (and
// zev7-run) call, always on the thread that started the station: the registry's slot holds
// the thread, which is deleted only by that thread's event loop.
#pragma once

#include "engine/answer/answer_station.h"

#include <QPointer>
#include <QThread>
#include <memory>
#include <optional>

namespace zev7 {

class PortRegistry;
class PortView;
class UserMessages;

class TModemAA_Ring : public QThread {
public:
    TModemAA_Ring(std::unique_ptr<AnswerStation> station, PortRegistry& registry, PortView& view);
    ~TModemAA_Ring() override;

    int port() const { return port_; }
    // From any thread: the station ends at its next loop turn.
    void requestStop();
    void postCommand(AnswerCommand command);
    AnswerCommand pendingCommand() const;

    // Starts the thread and waits until the station's first dialogue has ended, letting the
    // waiting thread's queued calls run (the station's window calls) but no user input.
    // Returns the station's error code; nullopt when the system made no thread (nothing ran).
    std::optional<int> startAndConstruct();

protected:
    void run() override;

private:
    struct Construction;

    std::unique_ptr<AnswerStation> station_;
    PortRegistry& registry_;
    PortView& view_;
    int port_;
    std::shared_ptr<Construction> construction_;
};

// Makes the port's answering station for the job, enters it in AnswerThreads and starts it;
// returns the error code of its first dialogue (0: the job was done; a station in Answer mode
// now watches the line). A station in another mode, or one that failed, ends by itself. -7
// when no thread could be made (nothing entered); -1 when another station still holds the
// port's slot (the new one ends at once). `started`, when given, follows the thread.
int StartAnswerThread(int port, AnswerMode mode, const PortServices& services,
                      QPointer<TModemAA_Ring>* started = nullptr);

// Unless batch mode is on, `ask` first asks "Прервать режим мониторинга входящих звонков?";
// No returns false. Otherwise the port's station, if any, is told to stop; true. Nobody
// waits: the caller waits for the slot to empty.
bool StopAnswerThread(PortRegistry& registry, UserMessages& messages, int port, bool ask);

// Posts a command into the port's running station; false when none runs.
bool postAnswerCommand(PortRegistry& registry, int port, AnswerCommand command);
// The station has not taken the posted command yet (false also when none runs).
bool answerCommandPending(PortRegistry& registry, int port);

}  // namespace zev7
