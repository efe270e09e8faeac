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

bool ModemSetup::startUpFailed(const char* context) {
    // Stop first: with the stop flag set the report asks nothing and does not reopen.
    channel_.setErrorCode(ModemErrorCode::NoAnswer);
    channel_.requestStop();
    channel_.ShowModemError(txt(context), ModemErrorCode::NoAnswer, QString());
    return false;
}

void ModemSetup::bringToRest() {
    channel_.drainUntilQuiet(kRestQuietMs, kRestDrainLimitMs);
    channel_.SIOSend(ModemRequest(QByteArray(), 0));  // ends a half-typed line, stops a dial
    channel_.drainUntilQuiet(kRestQuietMs, kRestDrainLimitMs);
    channel_.SIOSend(kOnHook);
    channel_.drainUntilQuiet(kRestQuietMs, kRestDrainLimitMs);
}

bool ModemSetup::startUp() {
    QByteArray reply;
    bringToRest();
    channel_.CommClr(false);
    if (!channel_.SIOSend(kEchoSetUp)) {
        return startUpFailed(str::SetupContextEchoSend);
    }
    if (!channel_.OGetch1(reply, kEchoSetUp.replyLength)) {
        return startUpFailed(str::SetupContextEchoRead);
    }
    if (!channel_.ModemSendGetData(kRingCountQuery)) {
        return false;
    }
    answeredBeforeStart_ = channel_.lastValue() > 0;
    channel_.CommClr(false);
    if (!channel_.SIOSend(kFactoryProfile)) {
        return startUpFailed(str::SetupContextResetSend);
    }
    if (!channel_.OGetch1(reply, kFactoryProfile.replyLength)) {
        return startUpFailed(str::SetupContextResetRead);
    }
    return true;
}

bool ModemSetup::identify() {
    if (!channel_.ModemSendGetData(kIdentityQuery)) {
        return false;
    }
    // The rest of the identity text is read only to empty the line.
    QByteArray rest;
    channel_.OGetch1(rest, channel_.isLxModel() ? kIdentityRestLx : kIdentityRestPlain);
    channel_.CommClr(false);
    channel_.ModemSendGetData(kModelQuery);
    return !channel_.failed() && !channel_.stopRequested() && channel_.modelType() == 1;
}

bool ModemSetup::resetForCall() {
    channel_.CommClr(true);
    if (channel_.stopRequested() || channel_.failed()) {
        return false;
    }
    QByteArray reply;
    if (!channel_.SIOSend(kFactoryProfile)) {
        channel_.exchangeFailed(str::SetupContextCallSend, QString());
        return false;
    }
    if (!channel_.OGetch1(reply, kFactoryProfile.replyLength)) {
        channel_.exchangeFailed(str::SetupContextCallRead, QString());
        return false;
    }
    return true;
}

bool ModemSetup::configureForCall(bool speaker) {
    return channel_.ModemSendGetData(kCallOptions) && channel_.ModemSendGetData(kGainQuery) &&
           channel_.ModemSendGetData(speaker ? kSpeakerOn : kSpeakerOff);
}

bool ModemSetup::answeringModeSetUp(const ScenarHeader& header, bool speaker) {
    const double frequency = header.aaFrequency;
    const int code = frequencyCode(frequency);
    const bool lx = channel_.isLxModel();
    // Each command is sent only while the previous one went through and nobody stops the
    // thread: a modem half set up must not be reported as an answering station.
    const auto ok = [this] { return !channel_.stopRequested() && !channel_.failed(); };
    // Rings are waited out before each: the modem may be answering a call already.
    const auto send = [this](const ModemRequest& command) {
        return channel_.ModemSendGetData(command, {.waitForRing = true});
    };
    const auto sendValue = [&send](const char* prefix, int value) {
        return send(registerWrite(prefix, value));
    };
    bool done = send(kFactoryProfile) && ok() && sendValue(kFrequencyLow, code & kByteMask) &&
                ok() && sendValue(kFrequencyHigh, (code >> kByteBits) & kByteMask) && ok() &&
                sendValue(kTransmitLevel, transmitLevelValue(header.aaLevel, frequency)) && ok() &&
                sendValue(kRings, header.aaRings) && ok() &&
                sendValue(kDelayOn, tenthsOfSecond(header.aaDelayOn)) && ok() &&
                sendValue(kSignalTime, tenthsOfSecond(header.aaSignalTime)) && ok() &&
                sendValue(kDelayOff, tenthsOfSecond(header.aaDelayOff)) && ok();
    // The tone check of the calling side exists on the LX models only.
    if (done && lx) {
        done = sendValue(kToneBand, header.toneCheck) && ok() &&
               sendValue(kToneThreshold, toneThresholdValue(header.toneLevel)) && ok() &&
               send(kToneMode) && ok();
    }
    return done && send(kAnswerOn) && ok() && send(speaker ? kSpeakerOn : kSpeakerOff) && ok();
}

bool ModemSetup::storeProfile() {
    return channel_.ModemSendGetData(kStoreProfile);
}

void ModemSetup::exitRestore(bool answeringMode) {
    channel_.ModemSendGetData(kOnHook);
    if (answeringMode && !answeredBeforeStart_ && channel_.ModemSendGetData(kAutoAnswerOff)) {
        identify();
        storeProfile();
    }
}

}  // namespace zev7
