// The commands the program sends the measuring modem, as sent, and the bytes of their complete
// replies (the echo, every answer line and the result code with their carriage returns). A
// register write is answered with its echo and the result code: its own length + 3.
#pragma once

namespace zev7 {

// Start-up and the calling side.
inline constexpr char kEchoSetUp[] = "ATE1V0Q0";  // written whole: echo on, numeric results
inline constexpr int kEchoSetUpReply = 11;
inline constexpr char kRingCountQuery[] = "ATS0?";  // the modem's own auto-answer rings
inline constexpr int kRingCountReply = 12;
inline constexpr char kFactoryProfile[] = "AT&FV0";  // the stored profile, numeric results
inline constexpr int kFactoryProfileReply = 9;
inline constexpr char kIdentityQuery[] = "ATI5";
inline constexpr int kIdentityReply = 18;      // its first part: up to "Teliq LX Vers"
inline constexpr int kIdentityRestLx = 12;     // ... and the rest of an LX modem's answer
inline constexpr int kIdentityRestPlain = 25;  // ... or of a plain one
inline constexpr char kModelQuery[] = "ATI3";
inline constexpr int kModelReply = 21;
inline constexpr char kCallOptions[] = "ATX1S31=37S8=1S6=2";
inline constexpr int kCallOptionsReply = 21;
inline constexpr char kGainQuery[] = "AT%K";
inline constexpr int kGainReply = 11;
inline constexpr char kSpeakerOn[] = "ATM2L3";
inline constexpr int kSpeakerOnReply = 9;
inline constexpr char kSpeakerOff[] = "ATM0";
inline constexpr int kSpeakerOffReply = 7;
inline constexpr char kOnHook[] = "ATH0";
inline constexpr int kOnHookReply = 7;
inline constexpr char kReadCommand[] = "AT%V";  // the line level through the selected filter
inline constexpr int kReadReply = 12;
inline constexpr char kLevelQuery[] = "%V";
inline constexpr char kRepeatCommand[] = "A/";  // repeats the last command, echoed without CR
inline constexpr int kRepeatReply = 9;

// The answering station's registers, each followed by its value in decimal.
inline constexpr int kRegisterReplyExtra = 3;  // echo + CR + result + CR
inline constexpr char kFrequencyLow[] = "ATS50=";
inline constexpr char kFrequencyHigh[] = "ATS51=";
inline constexpr char kTransmitLevel[] = "AT%L";
inline constexpr char kRings[] = "ATS0=";
inline constexpr char kDelayOn[] = "ATS52=";
inline constexpr char kSignalTime[] = "ATS53=";
inline constexpr char kDelayOff[] = "ATS54=";
inline constexpr char kToneBand[] = "ATS57=";
inline constexpr char kToneThreshold[] = "ATS56=";
inline constexpr int kRegisterQueryReply = 13;  // "ATS50?" .. "ATS69?"
inline constexpr char kToneMode[] = "ATS55=3";
inline constexpr int kToneModeReply = 10;
inline constexpr char kAnswerOn[] = "AT&A1";
inline constexpr int kAnswerSetupReply = 8;
inline constexpr char kAnswerOff[] = "AT&A0";
inline constexpr int kAnswerOffReply = 8;
inline constexpr char kAutoAnswerOff[] = "ATS0=0";
inline constexpr int kAutoAnswerOffReply = 9;
inline constexpr char kStoreProfile[] = "AT&W";
inline constexpr int kStoreProfileReply = 7;
inline constexpr char kLineReset[] = "ATE1V0H0Q0";  // the answering thread's, written whole
inline constexpr int kAnswerLineResetReply = 13;

}  // namespace zev7
