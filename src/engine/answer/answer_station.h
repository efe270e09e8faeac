// The work of one answering-station thread (TModemAA_Ring): a port whose modem answers the
// test calls of other ports by itself. Constructing the station opens the port, resets and
// identifies the modem and does the job it was made for: read the modem's answering settings
// into the port window, or write the window's settings into the modem (which then answers
// after the set rings, sends its answer signal and releases), or take the modem out of auto-
// answer. Afterwards each loop turn watches the modem's CTS line, logs incoming rings (one
// protocol line per burst of rings closer than 8 s) and takes the command the window posted.
// The modem answers calls whether the station watches or not; stopping the station leaves the
// modem as it is.
//
// A test drives it directly: construct(), then runOnce() until it returns false, on a manual
// clock with the simulated modem. TModemAA_Ring does the same on a thread of its own.
#pragma once

#include "engine/answer/answer_registers.h"
#include "engine/modem/channel_host.h"
#include "engine/modem/modem_channel.h"
#include "engine/port/port_services.h"
#include "engine/protocol/port_protocol.h"
#include "scenario/answer_settings.h"

#include <atomic>
#include <memory>

namespace zev7 {

// The job a station is created for.
enum class AnswerMode : int { CallingDevice = -1, ReadSettings = 0, Answer = 1 };

// A command the port window posts into a running station.
enum class AnswerCommand : int { None = 0, Apply = 1, Show = 2, CallingDevice = 3, Speaker = 4 };

class AnswerStation : private ChannelHost {
public:
    // The station's own settings start from the template values until the window hands over
    // its own. Nothing is opened yet.
    AnswerStation(int port, AnswerMode mode, const PortServices& services);
    ~AnswerStation() override;
    AnswerStation(const AnswerStation&) = delete;
    AnswerStation& operator=(const AnswerStation&) = delete;

    // ---- The run ------------------------------------------------------------------------
    // The first dialogue with the modem: port check and opening, line reset, identification,
    // then the job of the mode. Returns the error code (0 = success); any error ends the
    // station at its first loop turn, as does a mode other than Answer. Call once, on the
    // thread that runs the station (its serial port is made there).
    ModemErrorCode construct();
    // One loop turn: the end when stopping or after an error, else the presence watch, the
    // ring check (with its 500-ms wait) and the posted command. False once the station ended.
    bool runOnce();
    // The whole loop (the thread's Execute).
    void Execute();
    // A fault inside the program (an exception out of a step) ended the station: it is said in
    // the protocol, the serial port is closed, the page shows the mode unknown.
    void endAfterFault(const QString& what);

    // ---- From the window (any thread) ---------------------------------------------------
    void requestStop();
    void postCommand(AnswerCommand command);
    // The command not taken yet (None once the station took it).
    AnswerCommand pendingCommand() const;

    // ---- Observers ----------------------------------------------------------------------
    int port() const { return port_; }
    AnswerMode mode() const { return mode_; }
    ModemErrorCode errorCode() const;
    bool stopRequested() const;
    bool terminated() const { return terminated_; }
    const AnswerSettings& settings() const { return settings_; }
    // Null before construct().
    ModemChannel* channel() { return channel_.get(); }

private:
    // ---- ChannelHost --------------------------------------------------------------------
    void reportStatus(PortEvent event) override;
    void bringToFront() override;
    void pendingMessage(const QString& text) override;

    bool initialise();
    // Algorithms of the jobs and commands.
    void leaveAnswering();
    void readSettings();
    void writeSettings();
    void showSettings();
    void takeSettings();
    void checkRing();
    void takeCommand();
    void finish();
    bool failed() const;
    bool speakerOn();

    int port_;
    AnswerMode mode_;
    Clock& clock_;
    UserMessages& messages_;
    PortView& view_;
    std::function<std::unique_ptr<CommPort>(int)> makePort_;
    PortProtocol protocol_;
    std::unique_ptr<ModemChannel> channel_;
    std::unique_ptr<AnswerRegisters> registers_;

    AnswerSettings settings_;
    std::atomic<bool> stop_;
    std::atomic<int> command_{static_cast<int>(AnswerCommand::None)};
    std::int64_t ringDeadline_ = 0;
    bool terminated_ = false;
};

}  // namespace zev7
