#include "engine/modem/modem_channel.h"

#include "engine/modem/modem_commands.h"

#include "core/debug_log.h"
#include "core/strings.h"
#include "engine/modem/modem_reply.h"
#include "engine/serial/serial_port_names.h"
#include "scenario/batch_failure.h"
#include "scenario/port_event.h"
#include "scenario/user_messages.h"
#include "teliq/level_decoder.h"

#include <algorithm>

namespace zev7 {

namespace {
constexpr char kProbe = 'A';
constexpr char kCr = '\r';
constexpr int kCrFlag = 1;
// The first five failed exchanges after a finished test call pass silently.
constexpr int kSilentRetries = 5;
// A calling modem that rings is left alone this long before the next command.
constexpr int kRingWaitMs = 8000;
// CTS may be off this long before the user is asked; meanwhile the check sleeps in steps.
constexpr std::int64_t kCtsGraceMs = 5001;
constexpr std::int64_t kCtsSleepMs = 1000;
// WaitTicks sleeps in slices so that a stop request is seen soon; a rest this short is dropped.
constexpr std::int64_t kWaitSliceMs = 500;
constexpr std::int64_t kWaitRestMs = 100;
// Pending input beyond the driver's queue cannot be a ring report worth waiting for.
constexpr std::int64_t kMaxPendingBytes = 4096;
// The modem's gain is three decimal digits.
constexpr int kMaxGain = 999;

constexpr char kRingReport[] = "2\r";
constexpr char kLxIdentity[] = "Teliq LX Vers";
constexpr char kAcceptedModel[] = "Teliq LX-3310";
constexpr char kSettingsLogPrefix[] = "Init SetCommState GetLastError()=";
constexpr char kEmpty[] = "";

constexpr int kStatusRingWarning = static_cast<int>(PortEvent::RingWarning);
constexpr int kStatusRingAnswering = static_cast<int>(PortEvent::RingReceived);
constexpr int kStatusNoCts = static_cast<int>(PortEvent::NoAnswer);

// Stands in for a missing port: nothing opens, nothing goes through.
class NoPort : public CommPort {
public:
    bool open(const LineSettings&) override { return false; }
    bool isOpen() const override { return false; }
    bool purge() override { return false; }
    std::int64_t write(const QByteArray&) override { return -1; }
    bool flush() override { return false; }
    QByteArray read(std::int64_t, int) override { return {}; }
    std::int64_t bytesPending() override { return -1; }
    ModemStatus modemStatus() override { return ModemStatus::Unavailable; }
    void close() override {}
    QString errorString() const override { return QStringLiteral("no port"); }
};

ChannelHost& silentHost() {
    static ChannelHost host;
    return host;
}

QString context(const char* text) {
    return txt(text != nullptr ? text : kEmpty);
}
}  // namespace

ExchangeProfile ExchangeProfile::measuring() {
    ExchangeProfile p;
    p.line = LineSettings::measuring();
    p.probeContext = str::ModemContextProbe;
    p.sendContext = str::ModemContextSend;
    p.readContext = str::ModemContextRead;
    p.ctsContext = str::ModemContextNoCts;
    p.ctsReinitCommand = kFactoryProfile;
    p.ctsReinitReplyLength = kFactoryProfileReply;
    return p;
}

ExchangeProfile ExchangeProfile::answering() {
    ExchangeProfile p;
    p.line = LineSettings::answering();
    p.probeAttempts = 6;
    p.probeStopsOnWriteFailure = true;
    p.silentRetries = false;
    p.reopenOnQuestion = false;
    p.ringWait = false;
    p.lastValueFromAnyQuery = true;
    p.probeContext = str::ModemContextProbeShort;
    p.sendContext = str::ModemContextSendShort;
    p.readContext = str::ModemContextReadShort;
    p.ctsContext = kEmpty;
    p.ctsReinitCommand = kLineReset;
    p.ctsReinitReplyLength = kAnswerLineResetReply;
    p.processWideCtsTick = false;
    return p;
}

ModemChannel::ModemChannel(int portNumber, std::unique_ptr<CommPort> port, Clock& clock,
                           UserMessages& messages, ChannelHost* host, ExchangeProfile profile)
    : portNumber_(portNumber),
      port_(port != nullptr ? std::move(port) : std::make_unique<NoPort>()),
      clock_(clock),
      messages_(messages),
      host_(host != nullptr ? host : &silentHost()),
      profile_(std::move(profile)),
      gain_(kDefaultGain) {
    if (profile_.ctsLostSince != nullptr) {
        ctsLostSince_ = profile_.ctsLostSince;
    } else {
        ctsLostSince_ = profile_.processWideCtsTick ? &SharedTick::ctsLostSince() : &ownCtsTick_;
    }
}

ModemChannel::~ModemChannel() {
    closePort();
}

// ---- Opening and closing ------------------------------------------------------------------

int ModemChannel::Init() {
    if (terminating()) {
        return toInt(ModemErrorCode::Terminating);
    }
    port_->close();
    if (!port_->open(profile_.line)) {
        if (port_->openFailure() == CommPort::OpenFailure::Settings) {
            DebugLog(QString::fromLatin1(kSettingsLogPrefix) + port_->errorString());
            return toInt(ModemErrorCode::SystemError);
        }
        return toInt(ModemErrorCode::PortBusy);
    }
    return 0;
}

bool ModemChannel::openPort() {
    if (portNumber_ < kFirstPort || portNumber_ > kLastPort) {
        ShowModemError(txt(str::CaptionError), ModemErrorCode::WrongPort,
                       txt(str::ModemPortDoesNotExist));
        setErrorCode(ModemErrorCode::PortBusy);
        return false;
    }
    const int result = Init();
    if (result != 0) {
        errorCode_ = result;
        ShowModemError(txt(str::ModemContextInit), result, QString());
        return false;
    }
    return true;
}

void ModemChannel::closePort() {
    if (!port_->isOpen()) {
        return;
    }
    port_->purge();
    port_->flush();
    port_->close();
}

// ---- The exchange -------------------------------------------------------------------------

void ModemChannel::CommClr(bool waitRing) {
    if (waitRing) {
        while (!stopRequested() && GetChar()) {
            if (host_->answeringNow()) {
                host_->reportStatus(kStatusRingAnswering);
            } else {
                host_->reportStatus(kStatusRingWarning);
                WaitTicks(kRingWaitMs);
            }
        }
    }
    if (!port_->purge()) {
        LastError(txt(str::ModemContextPurge));
    }
}

void ModemChannel::AnalysState() {
    errorCode_ = 0;
    for (;;) {
        const CommPort::ModemStatus status = port_->modemStatus();
        if (status == CommPort::ModemStatus::Unavailable) {
            return;
        }
        if (status == CommPort::ModemStatus::CtsOn) {
            // Another port's loss (the shared tick) is no reason to reset this modem.
            if (ctsLostHere_) {
                modemBack();
            }
            return;
        }
        const std::int64_t now = clock_.tickMs();
        if (!ctsLostHere_) {
            ctsLostHere_ = true;
            host_->reportStatus(kStatusNoCts);
            if (!ctsLostSince_->isSet()) {
                ctsLostSince_->set(now);
            }
            continue;
        }
        if (!ctsLostSince_->isSet()) {
            ctsLostSince_->set(now);
        }
        if (now - ctsLostSince_->value() < kCtsGraceMs) {
            clock_.sleepMs(kCtsSleepMs);
            continue;
        }
        if (!ShowModemError(context(profile_.ctsContext), ModemErrorCode::NoAnswer, QString())) {
            requestStop();
            setErrorCode(ModemErrorCode::NoAnswer);
            return;
        }
        ctsLostSince_->set(clock_.tickMs());
    }
}

void ModemChannel::modemBack() {
    CommClr(false);
    if (!SIOSend(profile_.ctsReinitCommand, kWithCr)) {
        if (!ShowModemError(txt(str::ModemContextCtsSend), ModemErrorCode::NoAnswer, QString())) {
            requestStop();
        }
    } else {
        QByteArray reply;
        if (!OGetch1(reply, profile_.ctsReinitReplyLength) &&
            !ShowModemError(txt(str::ModemContextCtsRead), ModemErrorCode::NoAnswer, QString())) {
            requestStop();
        }
    }
    ctsLostSince_->clear();
    ctsLostHere_ = false;
    if (host_->inTestCall()) {
        setErrorCode(ModemErrorCode::NoAnswer);
        host_->restartTestCall();
    } else {
        errorCode_ = 0;
    }
    host_->stopPolling();
}

bool ModemChannel::ModemSendGetData(const QByteArray& command, int flags, bool waitRing,
                                    int replyLength, int timeoutMs) {
    lastReply_.clear();
    lastEcho_.clear();
    lastAnswer_.clear();
    if (terminating()) {
        return false;
    }
    CommClr(waitRing && profile_.ringWait);
    if (errorCode_ != 0) {
        return false;
    }
    AnalysState();
    if (errorCode_ != 0) {
        return false;
    }

    readTimeoutMs_ = kCommandTimeoutMs;
    if (!SendSym_A()) {
        exchangeFailed(profile_.probeContext, QString());
        return false;
    }
    readTimeoutMs_ = timeoutMs;
    const QByteArray upper = command.toUpper();
    if (!SIOSend(upper.mid(1), flags)) {
        exchangeFailed(profile_.sendContext, QString());
        return false;
    }
    QByteArray rest;
    const bool complete = OGetch1(rest, std::max(replyLength - 1, 0));
    lastReply_ = QByteArray(1, kProbe) + rest;
    if (!complete) {
        exchangeFailed(profile_.readContext,
                       txt(str::ModemDetailCommand) + QString::fromLatin1(upper) +
                           txt(str::ModemDetailReceived) + QString::fromLatin1(lastReply_));
        return false;
    }

    const ModemReply reply = parseModemReply(upper, lastReply_);
    lastEcho_ = reply.echo;
    lastAnswer_ = reply.answer;
    if (errorCode_ == 0 && !lastAnswer_.isEmpty()) {
        interpret();
    }
    return errorCode_ == 0;
}

void ModemChannel::exchangeFailed(const char* failure, const QString& detail) {
    setErrorCode(ModemErrorCode::NoAnswer);
    host_->restartTestCall();
    if (profile_.silentRetries && retries_ < kSilentRetries) {
        ++retries_;
        return;
    }
    if (!ShowModemError(context(failure), ModemErrorCode::NoAnswer, detail)) {
        requestStop();
    }
}

void ModemChannel::interpret() {
    if (lastEcho_ == kRepeatCommand || lastEcho_.contains(kLevelQuery)) {
        // A garbled level word is no sample: the level keeps its last value.
        if (const auto word = parseLevelWord(lastAnswer_)) {
            lastValue_ = *word;
            if (*word != 0) {
                host_->levelSample(*word);
            }
        }
    } else if (lastEcho_ == kIdentityQuery) {
        isLxModel_ = lastAnswer_.contains(kLxIdentity);
    } else if (lastEcho_ == kModelQuery) {
        checkModel();
    } else if (lastEcho_ == kGainQuery) {
        bool ok = false;
        const int gain = lastAnswer_.trimmed().toInt(&ok);
        if (ok && gain > 0 && gain <= kMaxGain) {
            gain_ = gain;
        }
    } else if (profile_.lastValueFromAnyQuery ? lastEcho_.contains('?')
                                              : lastEcho_.contains(kRingCountQuery)) {
        bool ok = false;
        const int value = lastAnswer_.trimmed().toInt(&ok);
        if (ok) {
            lastValue_ = value;
        }
    }
}

void ModemChannel::checkModel() {
    if (lastAnswer_.contains(kAcceptedModel)) {
        modelType_ = 1;
        return;
    }
    modelType_ = 0;
    ShowModemError(QString(), ModemErrorCode::WrongModel, QString());
    setErrorCode(ModemErrorCode::WrongModel);
    requestStop();
}

bool ModemChannel::SendSym_A() {
    for (int attempt = 0; attempt < profile_.probeAttempts; ++attempt) {
        if (!SendSym(kProbe)) {
            if (profile_.probeStopsOnWriteFailure) {
                return false;
            }
            continue;
        }
        QByteArray echo;
        if (OGetch1(echo, 1) && echo.at(0) == kProbe) {
            return true;
        }
    }
    return false;
}

bool ModemChannel::SIOSend(const QByteArray& text, int flags) {
    QByteArray data = text;
    if ((flags & kCrFlag) != 0) {
        data += kCr;
    }
    if (data.isEmpty()) {
        return true;
    }
    return port_->write(data) == data.size();
}

void ModemChannel::drainUntilQuiet(int quietMs, int limitMs) {
    constexpr std::int64_t kChunk = 256;
    const std::int64_t end = clock_.tickMs() + limitMs;
    while (!terminating() && clock_.tickMs() < end) {
        if (port_->read(kChunk, quietMs).isEmpty()) {
            return;
        }
    }
}

bool ModemChannel::SendSym(char c) {
    return port_->write(QByteArray(1, c)) == 1;
}

bool ModemChannel::OGetch1(QByteArray& buffer, int n) {
    buffer.clear();
    if (n <= 0) {
        return true;
    }
    buffer = port_->read(n, readTimeoutMs_);
    return buffer.size() >= n;
}

bool ModemChannel::GetChar() {
    const std::int64_t pending = port_->bytesPending();
    if (pending < 0) {
        LastError(txt(str::ModemContextPending));
        return false;
    }
    if (pending == 0) {
        return false;
    }
    QByteArray data;
    if (!OGetch1(data, static_cast<int>(std::min(pending, kMaxPendingBytes)))) {
        setErrorCode(ModemErrorCode::NoAnswer);
        if (!ShowModemError(txt(str::ModemContextGetChar), ModemErrorCode::NoAnswer, QString())) {
            requestStop();
        }
        return false;
    }
    if (!port_->purge()) {
        LastError(txt(str::ModemContextPurge));
    }
    port_->flush();
    return data.contains(kRingReport);
}

void ModemChannel::WaitTicks(int ms) {
    const std::int64_t start = clock_.tickMs();
    for (;;) {
        const std::int64_t remaining = ms + start - clock_.tickMs();
        if (remaining <= kWaitRestMs) {
            return;
        }
        clock_.sleepMs(std::min(remaining, kWaitSliceMs));
        host_->processMessages();
        if (stopRequested() || errorCode_ != 0) {
            return;
        }
    }
}

bool ModemChannel::ShowModemError(const QString& ctx, int code, const QString& detail) {
    if (terminating()) {
        return false;
    }
    const QString message = modemErrorMessage(code);
    const QString body = QStringLiteral("COM%1: ").arg(portNumber_) + message + detail;
    const QString caption = txt(str::ModemCaption) + QLatin1Char(' ') + ctx;
    host_->bringToFront();

    bool result = false;
    if (code != toInt(ModemErrorCode::NoAnswer) || stopRequested()) {
        messages_.show(MessageIcon::Warning, caption, body);
        endBatchOnError(messages_);
    } else {
        if (profile_.reopenOnQuestion) {
            port_->close();
        }
        if (messages_.batchMode()) {
            messages_.show(MessageIcon::Warning, caption, body);
            endBatchOnError(messages_);
        } else {
            result = messages_.ask(caption, body + QLatin1Char(' ') + txt(str::ModemTryToContinue));
        }
        if (profile_.reopenOnQuestion) {
            const int reopened = Init();
            if (reopened != 0) {
                ShowModemError(txt(str::ModemContextInit), reopened, QString());
            }
        }
    }
    host_->pendingMessage(message);
    return result;
}

void ModemChannel::LastError(const QString& ctx) {
    messages_.show(MessageIcon::Warning, txt(str::ModemLastErrorCaption).arg(ctx),
                   port_->errorString());
    endBatchOnError(messages_);
}

}  // namespace zev7
