// The answering station's side of the modem: the line reset of the answering thread, the eight
// settings read from the modem's registers and written into them (the factory profile first,
// the answering set-up and the speaker last), and the way back to a calling device. Every
// command is one exchange of the channel's answering profile; a failed one leaves the channel's
// error code set and ends the sequence. What is reported and shown is the station's.
#pragma once

#include "engine/modem/modem_setup.h"
#include "scenario/answer_settings.h"

#include <QByteArray>
#include <optional>

namespace zev7 {

class ModemChannel;

class AnswerRegisters {
public:
    explicit AnswerRegisters(ModemChannel& channel);

    // Purges the port and writes "ATE1V0H0Q0" whole (echo, numeric results, on-hook, results
    // sent); its reply is read and not examined.
    void resetLine();
    // "ATI5" and "ATI3": IsLxModel and the model check (-23 reports and stops).
    void identify();

    // Reads the eight settings: S0, S50/S51 (the frequency of the phase step), S69 (the level
    // at that frequency), S52..S54, and on the LX models S57 and S56; without them the tone
    // band becomes 0. A register whose answer is no number leaves its setting as it was.
    // False when an exchange failed.
    bool read(AnswerSettings& settings);
    // Writes the settings (factory profile, S50, S51, %L, S0, S52..S54, on the LX models S57,
    // S56 and S55=3, then "AT&A1" and the speaker) and leaves in `settings` what the modem
    // holds: the frequency of the phase step, the level and the tone threshold after rounding
    // and clamping, tone band 0 without the LX registers. False at the first failed exchange.
    bool write(AnswerSettings& settings, bool speaker);
    // "AT&W": the modem keeps its settings when switched off.
    bool storeProfile();
    // "AT&A0" and "ATS0=0": the modem no longer answers calls.
    bool leaveAnswering();
    // "ATM2L3" (speaker on) or "ATM0".
    bool setSpeaker(bool on);

private:
    bool send(const ModemRequest& command);
    bool sendValue(const char* prefix, int value);
    // The register's value; nullopt when the exchange failed (error set) or the answer is no
    // register value (no error).
    std::optional<int> query(const ModemCommand& command);
    bool failed() const;

    ModemChannel& channel_;
    ModemSetup setup_;
};

}  // namespace zev7
