// TModemAA_Ring: the answering-station thread of one port. Its station (AnswerStation) does
// its first dialogue (the job: read, write, leave answering) on the new thread, which makes its
// own serial port there, and reports the result with `constructed`; a station in Answer mode
// then watches the line until it is stopped or an error ends it, and empties its AnswerThreads
// slot. It never deletes itself: the PortSupervisor that started it joins and deletes it. An
// exception out of the station ends it with a protocol line.
#pragma once

#include "engine/answer/answer_station.h"

#include <QThread>
#include <atomic>
#include <memory>

namespace zev7 {

class PortRegistry;
class PortView;

class TModemAA_Ring : public QThread {
    Q_OBJECT

public:
    TModemAA_Ring(std::unique_ptr<AnswerStation> station, PortRegistry& registry, PortView& view);
    ~TModemAA_Ring() override;

    int port() const { return port_; }
    // From any thread: the station ends at its next loop turn.
    void requestStop();
    void postCommand(AnswerCommand command);
    AnswerCommand pendingCommand() const;
    // The station's error code once it has finished (0: no error).
    int errorCode() const { return errorCode_.load(); }

signals:
    // The first dialogue has ended with this error code (0: the job was done). Emitted on the
    // station's thread.
    void constructed(int code);

protected:
    void run() override;

private:
    std::unique_ptr<AnswerStation> station_;
    PortRegistry& registry_;
    PortView& view_;
    int port_;
    std::atomic<int> errorCode_{0};
};

}  // namespace zev7
