// The command sequences that prepare the measuring modem: the start-up of the port thread
// (echo, numeric results, its own auto-answer setting, the factory profile), the
// identification of the accepted model, the reset and configuration before every test call,
// the answering-station set-up with the scenario's register values, and the restore when the
// thread ends. Which cycle runs, what is reported and what the window shows is the port
// engine's; this class only talks to the modem.
#pragma once

#include "engine/modem/modem_commands.h"
#include "scenario/records.h"

#include <QByteArray>

namespace zev7 {

class ModemChannel;

class ModemSetup {
public:
    explicit ModemSetup(ModemChannel& channel);

    // Start-up, steps 1..4 of CheckCycleFreq: echo on and numeric results, the modem's own
    // auto-answer ring count, the factory profile. A failed write or read of the echo or
    // profile command stops the thread (error -4, reported, no retry).
    bool startUp();
    // A modem left behind by a program that was killed may be off-hook in a call, half way
    // through a reply or through a half-typed command line. Its bytes are let run out, the
    // command line ended and the line released, so that the echo and the identity that
    // follow meet a modem at rest. Nothing here is checked: the start-up checks follow.
    void bringToRest();
    // The modem answered calls by itself when the scenario started (its S0 was above 0): it
    // keeps that setting at the end, and the window resumes monitoring.
    bool answeredBeforeStart() const { return answeredBeforeStart_; }

    // ATI5 (and the rest of its answer), ATI3 with the model check: false on a failed
    // exchange or a model other than the Teliq 3310 (-23, the thread stops).
    bool identify();

    // Before every test call: rings waited out, then "AT&FV0" written whole; a failure counts
    // like a failed exchange and restarts the call.
    bool resetForCall();
    // ... and after the identification: dialling options, the gain, the speaker.
    bool configureForCall(bool speaker);

    // The thirteen commands that turn the modem into the scenario's answering station. False
    // when a command failed or the thread is stopping; the modem is then not answering.
    bool answeringModeSetUp(const ScenarHeader& header, bool speaker);
    // "AT&W": the modem keeps its settings when switched off.
    bool storeProfile();

    // At the end of the thread: on-hook; a modem that was made an answering station by this
    // run gets its auto-answer switched off and stored again.
    void exitRestore(bool answeringMode);

private:
    // A start-up failure: error -4, stop, the report.
    bool startUpFailed(const char* context);

    ModemChannel& channel_;
    bool answeredBeforeStart_ = false;
};

}  // namespace zev7
