// The port thread's channel to its measuring modem: opening the port, the exchange of one AT
// command with its fixed-length reply (ModemSendGetData), the checks before every exchange
// (CTS line, incoming ring), the interruptible wait, and the error report that every failure
// of the thread goes through. The answering station uses the same channel with its own
// exchange rules (ExchangeProfile::answering()).
//
// All of it runs on the owning thread. Only the stop and terminating flags may be set from
// another thread.
#pragma once

#include "core/clock.h"
#include "core/comm_port.h"
#include "core/shared_tick.h"
#include "core/strings.h"
#include "engine/modem/channel_host.h"
#include "engine/modem/error_prompt.h"
#include "engine/modem/modem_commands.h"
#include "engine/modem/modem_error.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <memory>

namespace zev7 {

class UserMessages;

// How one exchange is made beyond what its command holds.
struct ExchangeOptions {
    // Incoming rings are waited out first (where the channel's profile allows it).
    bool waitForRing = false;
};

// How one kind of thread talks to its modem.
struct ExchangeProfile {
    LineSettings line;
    // Echo probes of "A" before the modem counts as silent.
    int probeAttempts = 3;
    // A failed write of the probe ends the probing at once.
    bool probeStopsOnWriteFailure = false;
    // Silent retries, and the port closed and opened again around the "continue?" question.
    ErrorPrompt::Rules prompt;
    // Rings are waited out before an exchange when the caller asks for it.
    bool ringWait = true;
    // Every query with "?" sets the last value (otherwise "ATS0?" only).
    bool lastValueFromAnyQuery = false;
    // Captions of the failures of the probe, the write and the read.
    const char* probeContext = nullptr;
    const char* sendContext = nullptr;
    const char* readContext = nullptr;
    // Caption of the question when CTS stays off.
    const char* ctsContext = nullptr;
    // Written whole when the modem's CTS comes back.
    ModemCommand ctsReinit = kFactoryProfile;
    // Where the moment of the CTS loss is kept; nullptr: the process-wide tick for the port
    // threads (all ports share one grace), the channel's own for the answering station.
    SharedTick* ctsLostSince = nullptr;
    bool processWideCtsTick = true;

    // The port thread: 9600 8N2 without flow control, three probes, silent retries.
    static ExchangeProfile measuring();
    // The answering station: RTS/CTS flow control, six probes, every failure reported.
    static ExchangeProfile answering();
};

class ModemChannel : private ErrorPrompt::Port {
public:
    // `port` must not be null. `host` may be null (nothing to report to).
    ModemChannel(int portNumber, std::unique_ptr<CommPort> port, Clock& clock,
                 UserMessages& messages, ChannelHost* host = nullptr,
                 ExchangeProfile profile = ExchangeProfile::measuring());
    ~ModemChannel() override;
    ModemChannel(const ModemChannel&) = delete;
    ModemChannel& operator=(const ModemChannel&) = delete;

    // ---- Opening and closing --------------------------------------------------------------
    // Opens and configures the port: None, PortBusy (cannot open), SystemError (settings
    // refused, written to "debug.txt") or Terminating.
    ModemErrorCode Init();
    // The thread's open-port step: checks the port number (0 or 65: -8 "Порт не существует!",
    // error code -1), then Init; a failure is kept as the error code and reported. True when
    // the port is open.
    bool openPort();
    // Purges, flushes and closes the port.
    void closePort();

    // ---- The exchange ---------------------------------------------------------------------
    // Purges the port; with waitForRing it first waits out incoming rings (a ring warning and
    // 8 s, or the ring alone while the modem answers calls between cycles).
    void CommClr(bool waitForRing);
    // The line-state check before an exchange and at every step of the thread: clears the
    // error code; while CTS is off reports NoAnswer once, sleeps in 1-s steps and after 5 s asks
    // whether to go on; when CTS is back re-initialises the modem.
    void AnalysState();
    // The exchange: one command and its reply of exactly its reply length (echo included)
    // within its time-out. True when the reply arrived and no error is set afterwards. A
    // failure sets NoAnswer, restarts the test call and follows the retry rule.
    bool ModemSendGetData(const ModemRequest& command, ExchangeOptions options = {});
    // Up to three times "A" and its echo.
    bool SendSym_A();
    // Writes the command's text, then a carriage return when it takes one.
    bool SIOSend(const ModemRequest& command);
    bool SendSym(char c);
    // Reads n bytes within the current read time-out into buffer; true only if all came.
    bool OGetch1(QByteArray& buffer, int n);
    // Reads whatever is pending; true when it holds the ring report "2" CR. A port whose
    // pending input cannot be asked for is reported under `pendingContext`: the port thread's
    // "Getch::ClearCommError" unless the caller names its own.
    bool GetChar(const char* pendingContext = str::ModemContextPending);
    // Reads and drops whatever the modem sends until it has kept silent for quietMs, for at
    // most limitMs in all (a line that never falls silent is given up on).
    void drainUntilQuiet(int quietMs, int limitMs);
    // Waits ms, processing window messages, ending early on a stop request or an error.
    void WaitTicks(int ms);
    // The error report. True only when the user chose to continue after NoAnswer.
    bool ShowModemError(const QString& context, ModemErrorCode code, const QString& detail);
    // Shows the port's system error under the caption "LastError - <context>".
    void LastError(const QString& context);

    // ---- State ----------------------------------------------------------------------------
    int portNumber() const { return portNumber_; }
    ModemErrorCode errorCode() const { return errorCode_; }
    bool failed() const { return errorCode_ != ModemErrorCode::None; }
    void setErrorCode(ModemErrorCode code) { errorCode_ = code; }

    // The stop flag: set by the user's stop request (any thread), by fatal errors and by a
    // No to "Попытаться продолжить?". The thread then runs its exit sequence.
    bool stopRequested() const { return stop_.load(); }
    void requestStop() { stop_.store(true); }
    void clearStop() { stop_.store(false); }
    // The thread is ending: no exchange, no report, no opening any more.
    bool terminating() const { return terminating_.load(); }
    void setTerminating() { terminating_.store(true); }

    // Failed exchanges since the last finished test call.
    int retries() const { return prompt_.retries(); }
    // A test call was finished: the next five failures are silent again.
    void resetRetries() { prompt_.resetRetries(); }

    // The answer of "AT%K"; 128 until the modem has been asked.
    int gain() const { return gain_; }
    void setGain(int gain) { gain_ = gain; }
    // The last numeric value of a reply: a level word or the answer of "ATS0?".
    int lastValue() const { return lastValue_; }
    // The identity query found "Teliq LX Vers": the extra answering registers exist.
    bool isLxModel() const { return isLxModel_; }
    // 1 when the model query found the accepted modem, 0 otherwise.
    int modelType() const { return modelType_; }

    // The last complete reply and its parts, for the callers that read them.
    const QByteArray& lastReply() const { return lastReply_; }
    const QByteArray& lastEcho() const { return lastEcho_; }
    const QByteArray& lastAnswer() const { return lastAnswer_; }

    CommPort& port() { return *port_; }
    const ExchangeProfile& profile() const { return profile_; }

    // A failed step of an exchange: error -4, the call starts again, the retry rule (silent
    // the first five times after a finished call, then the question). Also for the thread's
    // own exchanges that bypass ModemSendGetData (the modem reset before a test call).
    void exchangeFailed(const char* context, const QString& detail);

private:
    // ---- ErrorPrompt::Port ----------------------------------------------------------------
    void close() override;
    void reopen() override;

    bool write(const QByteArray& text, bool carriageReturn);
    void interpret();
    void checkModel();
    // The modem's CTS came back after a loss.
    void modemBack();

    int portNumber_;
    std::unique_ptr<CommPort> port_;
    Clock& clock_;
    ChannelHost* host_;
    ExchangeProfile profile_;
    SharedTick ownCtsTick_;
    SharedTick* ctsLostSince_;
    // This channel's own modem lost CTS (the shared tick may be another port's loss).
    bool ctsLostHere_ = false;

    ErrorPrompt prompt_;
    ModemErrorCode errorCode_ = ModemErrorCode::None;
    std::atomic<bool> stop_{false};
    std::atomic<bool> terminating_{false};
    int gain_;
    int lastValue_ = 0;
    bool isLxModel_ = false;
    int modelType_ = 0;
    int readTimeoutMs_ = kCommandTimeoutMs;
    QByteArray lastReply_;
    QByteArray lastEcho_;
    QByteArray lastAnswer_;
};

}  // namespace zev7
