// The commands the program sends the measuring modem. Each is one constant that holds what is
// sent, the bytes of its complete reply (the echo, every answer line and the result code with
// their carriage returns), how long that reply may take and whether a carriage return ends the
// command. Commands built at run time (register values, dial stages, signal-processor writes)
// are ModemRequests made by the functions below.
#pragma once

#include <QByteArray>

namespace zev7 {

// The read time-out of every command but the dial and signal-processor commands.
inline constexpr int kCommandTimeoutMs = 1000;

struct ModemCommand {
    const char* text;
    int replyLength;
    int timeoutMs = kCommandTimeoutMs;
    // Every command but the repeat command "A/" ends with a carriage return.
    bool carriageReturn = true;
};

// A command as it goes to the channel: a constant or one built at run time.
struct ModemRequest {
    QByteArray text;
    int replyLength = 0;
    int timeoutMs = kCommandTimeoutMs;
    bool carriageReturn = true;

    ModemRequest(const ModemCommand& c)  // NOLINT(google-explicit-constructor): a constant is one
        : text(c.text),
          replyLength(c.replyLength),
          timeoutMs(c.timeoutMs),
          carriageReturn(c.carriageReturn) {}
    ModemRequest(QByteArray t, int length, int timeout = kCommandTimeoutMs)
        : text(std::move(t)), replyLength(length), timeoutMs(timeout) {}
};

// ---- Start-up and the calling side -------------------------------------------------------
inline constexpr ModemCommand kEchoSetUp{"ATE1V0Q0", 11};    // written whole: echo on, numeric
inline constexpr ModemCommand kRingCountQuery{"ATS0?", 12};  // the modem's own auto-answer rings
inline constexpr ModemCommand kFactoryProfile{"AT&FV0", 9};  // the stored profile, numeric
// The identity's first part, up to "Teliq LX Vers", and the rest of its answer.
inline constexpr ModemCommand kIdentityQuery{"ATI5", 18};
inline constexpr int kIdentityRestLx = 12;
inline constexpr int kIdentityRestPlain = 25;
inline constexpr ModemCommand kModelQuery{"ATI3", 21};
inline constexpr ModemCommand kCallOptions{"ATX1S31=37S8=1S6=2", 21};
inline constexpr ModemCommand kGainQuery{"AT%K", 11};
inline constexpr ModemCommand kSpeakerOn{"ATM2L3", 9};
inline constexpr ModemCommand kSpeakerOff{"ATM0", 7};
inline constexpr ModemCommand kOnHook{"ATH0", 7};

// ---- The test call -----------------------------------------------------------------------
inline constexpr ModemCommand kOffHook{"ATH1%T12", 11};  // off-hook, the 425 Hz filter
inline constexpr ModemCommand kReadLevel{"AT%V", 12};    // the level through the active filter
inline constexpr ModemCommand kRepeatCommand{"A/", 9, kCommandTimeoutMs, false};
inline constexpr int kBandFilterReply = 9;  // "AT%T16", "AT%T15"
inline constexpr ModemCommand kClearBackSetUp{"ATS31=37%T12", 15};
inline constexpr ModemCommand kToneOn{"AT%T6", 8};  // the attenuation-control tone
inline constexpr ModemCommand kToneOff{"AT%T5", 8};
// The level query inside a command: its reply carries a level word.
inline constexpr char kLevelQuery[] = "%V";

// ---- The answering station ---------------------------------------------------------------
// Its registers, each written with its value in decimal (registerWrite()).
inline constexpr char kFrequencyLow[] = "ATS50=";
inline constexpr char kFrequencyHigh[] = "ATS51=";
inline constexpr char kTransmitLevel[] = "AT%L";
inline constexpr char kRings[] = "ATS0=";
inline constexpr char kDelayOn[] = "ATS52=";
inline constexpr char kSignalTime[] = "ATS53=";
inline constexpr char kDelayOff[] = "ATS54=";
inline constexpr char kToneBand[] = "ATS57=";
inline constexpr char kToneThreshold[] = "ATS56=";
// ... and read back.
inline constexpr ModemCommand kFrequencyLowQuery{"ATS50?", 13};
inline constexpr ModemCommand kFrequencyHighQuery{"ATS51?", 13};
inline constexpr ModemCommand kTransmitQuery{"ATS69?", 13};
inline constexpr ModemCommand kDelayOnQuery{"ATS52?", 13};
inline constexpr ModemCommand kSignalTimeQuery{"ATS53?", 13};
inline constexpr ModemCommand kDelayOffQuery{"ATS54?", 13};
inline constexpr ModemCommand kToneBandQuery{"ATS57?", 13};
inline constexpr ModemCommand kToneThresholdQuery{"ATS56?", 13};
inline constexpr ModemCommand kToneMode{"ATS55=3", 10};
inline constexpr ModemCommand kAnswerOn{"AT&A1", 8};
inline constexpr ModemCommand kAnswerOff{"AT&A0", 8};
inline constexpr ModemCommand kAutoAnswerOff{"ATS0=0", 9};
inline constexpr ModemCommand kStoreProfile{"AT&W", 7};
inline constexpr ModemCommand kLineReset{"ATE1V0H0Q0", 13};  // the answering thread's, whole

// A register write: the prefix and the value, answered with its echo and the result code.
ModemRequest registerWrite(const char* prefix, int value);

}  // namespace zev7
