#include "engine/answer/answer_registers.h"

#include "engine/modem/attenuation_control.h"
#include "engine/modem/modem_channel.h"
#include "teliq/modem_registers.h"

#include <algorithm>

namespace zev7 {

namespace {

constexpr int kByteMask = 0xFF;
constexpr int kByteBits = 8;
constexpr int kRegisterMax = 255;  // an S-register holds one byte
constexpr double kTenthsPerSecond = 10.0;

int registerByte(int value) {
    return std::clamp(value, 0, kRegisterMax);
}
}  // namespace

AnswerRegisters::AnswerRegisters(ModemChannel& channel) : channel_(channel), setup_(channel) {}

bool AnswerRegisters::failed() const {
    return channel_.failed();
}

bool AnswerRegisters::send(const ModemRequest& command) {
    return channel_.ModemSendGetData(command);
}

bool AnswerRegisters::sendValue(const char* prefix, int value) {
    return send(registerWrite(prefix, value));
}

std::optional<int> AnswerRegisters::query(const ModemCommand& command) {
    if (!send(command)) {
        return std::nullopt;
    }
    bool ok = false;
    const int value = channel_.lastAnswer().trimmed().toInt(&ok);
    if (!ok || value < 0 || value > kRegisterMax) {
        return std::nullopt;
    }
    return value;
}

void AnswerRegisters::resetLine() {
    channel_.CommClr(false);
    // Written whole, without the echo probe: the modem may still have its echo off.
    QByteArray reply;
    if (channel_.SIOSend(kLineReset)) {
        channel_.OGetch1(reply, kLineReset.replyLength);
    }
}

void AnswerRegisters::identify() {
    setup_.identify();
}

bool AnswerRegisters::read(AnswerSettings& s) {
    channel_.CommClr(false);
    if (const auto v = query(kRingCountQuery)) {
        s.rings = *v;
    }
    if (failed()) {
        return false;
    }
    const auto low = query(kFrequencyLowQuery);
    if (failed()) {
        return false;
    }
    const auto high = query(kFrequencyHighQuery);
    if (failed()) {
        return false;
    }
    if (low && high) {
        s.frequency = frequencyFromCode(*high << kByteBits | *low);
    }
    // The transmit attenuation becomes a level with the correction at the frequency just read.
    if (const auto v = query(kTransmitQuery)) {
        s.level = levelFromTransmitValue(*v, s.frequency);
    }
    if (failed()) {
        return false;
    }
    struct Tenths {
        const ModemCommand& query;
        double* seconds;
    };
    for (const Tenths& t :
         {Tenths{kDelayOnQuery, &s.delayOn}, Tenths{kSignalTimeQuery, &s.duration},
          Tenths{kDelayOffQuery, &s.delayOff}}) {
        if (const auto v = query(t.query)) {
            *t.seconds = *v / kTenthsPerSecond;
        }
        if (failed()) {
            return false;
        }
    }
    if (channel_.isLxModel()) {
        if (const auto v = query(kToneBandQuery)) {
            s.toneBand = *v;
        }
        if (failed()) {
            return false;
        }
        if (const auto v = query(kToneThresholdQuery)) {
            s.toneThreshold = toneThresholdFromValue(*v);
        }
        if (failed()) {
            return false;
        }
    } else {
        // Without S55..S57 the modem cannot listen for the caller's tone.
        s.toneBand = 0;
    }
    channel_.CommClr(false);
    return true;
}

bool AnswerRegisters::write(AnswerSettings& s, bool speaker) {
    if (!send(kFactoryProfile)) {
        return false;
    }
    const int code = frequencyCode(s.frequency);
    if (!sendValue(kFrequencyLow, code & kByteMask) ||
        !sendValue(kFrequencyHigh, (code >> kByteBits) & kByteMask)) {
        return false;
    }
    // The modem sends the frequency of its phase step, and the level at that frequency.
    s.frequency = frequencyFromCode(code);
    const int transmit = transmitLevelValue(s.level, s.frequency);
    if (!sendValue(kTransmitLevel, transmit)) {
        return false;
    }
    s.level = levelFromTransmitValue(transmit, s.frequency);
    if (!sendValue(kRings, registerByte(s.rings)) ||
        !sendValue(kDelayOn, registerByte(tenthsOfSecond(s.delayOn))) ||
        !sendValue(kSignalTime, registerByte(tenthsOfSecond(s.duration))) ||
        !sendValue(kDelayOff, registerByte(tenthsOfSecond(s.delayOff)))) {
        return false;
    }
    if (channel_.isLxModel()) {
        const int threshold = toneThresholdValue(s.toneThreshold);
        if (!sendValue(kToneBand, registerByte(s.toneBand)) ||
            !sendValue(kToneThreshold, threshold)) {
            return false;
        }
        s.toneThreshold = toneThresholdFromValue(threshold);
        if (!send(kToneMode)) {
            return false;
        }
    } else {
        s.toneBand = 0;
    }
    return send(kAnswerOn) && setSpeaker(speaker);
}

bool AnswerRegisters::storeProfile() {
    return setup_.storeProfile();
}

bool AnswerRegisters::leaveAnswering() {
    return send(kAnswerOff) && send(kAutoAnswerOff);
}

bool AnswerRegisters::setSpeaker(bool on) {
    return send(on ? kSpeakerOn : kSpeakerOff);
}

}  // namespace zev7
