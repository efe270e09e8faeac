#include "engine/modem/modem_setup.h"

#include "core/strings.h"
#include "engine/modem/attenuation_control.h"
#include "engine/modem/modem_channel.h"
#include "teliq/modem_registers.h"

namespace zev7 {

namespace {
constexpr int kByteMask = 0xFF;
constexpr int kByteBits = 8;
// A modem at rest answers a command within this time; silence as long means it has finished.
constexpr int kRestQuietMs = 300;
// A line that keeps sending (a noisy cable, a modem reporting rings) is given up on after
// this long, and the start-up goes on to meet it.
constexpr int kRestDrainLimitMs = 3000;
}  // namespace

ModemSetup::ModemSetup(ModemChannel& channel) : channel_(channel) {}

bool ModemSetup::send(const QByteArray& command, int replyLength, bool ringWait) {
    return channel_.ModemSendGetData(command, kWithCr, ringWait, replyLength, kCommandTimeoutMs);
}

bool ModemSetup::sendValue(const char* command, int value, bool ringWait) {
    const QByteArray text = QByteArray(command) + QByteArray::number(value);
    return send(text, static_cast<int>(text.size()) + kRegisterReplyExtra, ringWait);
}

bool ModemSetup::startUpFailed(const char* context) {
    // Stop first: with the stop flag set the report asks nothing and does not reopen.
    channel_.setErrorCode(ModemErrorCode::NoAnswer);
    channel_.requestStop();
    channel_.ShowModemError(txt(context), ModemErrorCode::NoAnswer, QString());
    return false;
}

void ModemSetup::bringToRest() {
    channel_.drainUntilQuiet(kRestQuietMs, kRestDrainLimitMs);
    channel_.SIOSend(QByteArray(), kWithCr);  // ends a half-typed line, stops a dial
    channel_.drainUntilQuiet(kRestQuietMs, kRestDrainLimitMs);
    channel_.SIOSend(kOnHook, kWithCr);
    channel_.drainUntilQuiet(kRestQuietMs, kRestDrainLimitMs);
}

bool ModemSetup::startUp() {
    QByteArray reply;
    bringToRest();
    channel_.CommClr(false);
    if (!channel_.SIOSend(kEchoSetUp, kWithCr)) {
        return startUpFailed(str::SetupContextEchoSend);
    }
    if (!channel_.OGetch1(reply, kEchoSetUpReply)) {
        return startUpFailed(str::SetupContextEchoRead);
    }
    if (!send(kRingCountQuery, kRingCountReply, false)) {
        return false;
    }
    answeredBeforeStart_ = channel_.lastValue() > 0;
    channel_.CommClr(false);
    if (!channel_.SIOSend(kFactoryProfile, kWithCr)) {
        return startUpFailed(str::SetupContextResetSend);
    }
    if (!channel_.OGetch1(reply, kFactoryProfileReply)) {
        return startUpFailed(str::SetupContextResetRead);
    }
    return true;
}

bool ModemSetup::identify() {
    if (!send(kIdentityQuery, kIdentityReply, false)) {
        return false;
    }
    // The rest of the identity text is read only to empty the line.
    QByteArray rest;
    channel_.OGetch1(rest, channel_.isLxModel() ? kIdentityRestLx : kIdentityRestPlain);
    channel_.CommClr(false);
    send(kModelQuery, kModelReply, false);
    return channel_.errorCode() == 0 && !channel_.stopRequested() && channel_.modelType() == 1;
}

bool ModemSetup::resetForCall() {
    channel_.CommClr(true);
    if (channel_.stopRequested() || channel_.errorCode() != 0) {
        return false;
    }
    QByteArray reply;
    if (!channel_.SIOSend(kFactoryProfile, kWithCr)) {
        channel_.exchangeFailed(str::SetupContextCallSend, QString());
        return false;
    }
    if (!channel_.OGetch1(reply, kFactoryProfileReply)) {
        channel_.exchangeFailed(str::SetupContextCallRead, QString());
        return false;
    }
    return true;
}

bool ModemSetup::configureForCall(bool speaker) {
    return send(kCallOptions, kCallOptionsReply, false) && send(kGainQuery, kGainReply, false) &&
           (speaker ? send(kSpeakerOn, kSpeakerOnReply, false)
                    : send(kSpeakerOff, kSpeakerOffReply, false));
}

bool ModemSetup::answeringModeSetUp(const ScenarHeader& header, bool speaker) {
    const double frequency = header.aaFrequency;
    const int code = frequencyCode(frequency);
    const bool lx = channel_.isLxModel();
    // Each command is sent only while the previous one went through and nobody stops the
    // thread: a modem half set up must not be reported as an answering station.
    const auto ok = [this] { return !channel_.stopRequested() && channel_.errorCode() == 0; };
    bool done = send(kFactoryProfile, kFactoryProfileReply, true) && ok() &&
                sendValue(kFrequencyLow, code & kByteMask, true) && ok() &&
                sendValue(kFrequencyHigh, (code >> kByteBits) & kByteMask, true) && ok() &&
                sendValue(kTransmitLevel, transmitLevelValue(header.aaLevel, frequency), true) &&
                ok() && sendValue(kRings, header.aaRings, true) && ok() &&
                sendValue(kDelayOn, tenthsOfSecond(header.aaDelayOn), true) && ok() &&
                sendValue(kSignalTime, tenthsOfSecond(header.aaSignalTime), true) && ok() &&
                sendValue(kDelayOff, tenthsOfSecond(header.aaDelayOff), true) && ok();
    // The tone check of the calling side exists on the LX models only.
    if (done && lx) {
        done = sendValue(kToneBand, header.toneCheck, true) && ok() &&
               sendValue(kToneThreshold, toneThresholdValue(header.toneLevel), true) && ok() &&
               send(kToneMode, kToneModeReply, true) && ok();
    }
    return done && send(kAnswerOn, kAnswerSetupReply, true) && ok() &&
           (speaker ? send(kSpeakerOn, kSpeakerOnReply, true)
                    : send(kSpeakerOff, kSpeakerOffReply, true)) &&
           ok();
}

bool ModemSetup::storeProfile() {
    return send(kStoreProfile, kStoreProfileReply, false);
}

void ModemSetup::exitRestore(bool answeringMode) {
    send(kOnHook, kOnHookReply, false);
    if (answeringMode && !answeredBeforeStart_ &&
        send(kAutoAnswerOff, kAutoAnswerOffReply, false)) {
        identify();
        storeProfile();
    }
}

}  // namespace zev7
