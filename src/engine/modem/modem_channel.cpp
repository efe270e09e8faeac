#include "engine/modem/modem_channel.h"

#include "core/debug_log.h"
#include "core/strings.h"
#include "engine/modem/modem_reply.h"
#include "engine/serial/serial_port_names.h"
#include "scenario/port_event.h"
#include "scenario/user_messages.h"
#include "teliq/level_decoder.h"

#include <algorithm>

namespace zev7 {

namespace {
constexpr char kProbe = 'A';
constexpr char kCr = '\r';
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
    return p;
}

ExchangeProfile ExchangeProfile::answering() {
    ExchangeProfile p;
    p.line = LineSettings::answering();
    p.probeAttempts = 6;
    p.probeStopsOnWriteFailure = true;
    p.prompt = {.silentRetries = false, .reopenOnQuestion = false};
    p.ringWait = false;
    p.lastValueFromAnyQuery = true;
    p.probeContext = str::ModemContextProbeShort;
    p.sendContext = str::ModemContextSendShort;
    p.readContext = str::ModemContextReadShort;
    p.ctsContext = kEmpty;
    p.ctsReinit = kLineReset;
    p.processWideCtsTick = false;
    return p;
}

ModemChannel::ModemChannel(int portNumber, std::unique_ptr<CommPort> port, Clock& clock,
                           UserMessages& messages, ChannelHost* host, ExchangeProfile profile)
    : portNumber_(portNumber),
      port_(port != nullptr ? std::move(port) : std::make_unique<NoPort>()),
      clock_(clock),
      host_(host != nullptr ? host : &silentHost()),
      profile_(std::move(profile)),
      prompt_(messages, profile_.prompt),
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

ModemErrorCode ModemChannel::Init() {
    if (terminating()) {
        return ModemErrorCode::Terminating;
    }
    port_->close();
    if (!port_->open(profile_.line)) {
        if (port_->openFailure() == CommPort::OpenFailure::Settings) {
            DebugLog(QString::fromLatin1(kSettingsLogPrefix) + port_->errorString());
            return ModemErrorCode::SystemError;
        }
        return ModemErrorCode::PortBusy;
    }
    return ModemErrorCode::None;
}

bool ModemChannel::openPort() {
    if (portNumber_ < kFirstPort || portNumber_ > kLastPort) {
        ShowModemError(txt(str::CaptionError), ModemErrorCode::WrongPort,
                       txt(str::ModemPortDoesNotExist));
        setErrorCode(ModemErrorCode::PortBusy);
        return false;
    }
    const ModemErrorCode result = Init();
    if (result != ModemErrorCode::None) {
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

void ModemChannel::CommClr(bool waitForRing) {
    if (waitForRing) {
        while (!stopRequested() && GetChar()) {
            if (host_->answeringNow()) {
                host_->reportStatus(PortEvent::RingReceived);
            } else {
                host_->reportStatus(PortEvent::RingWarning);
                WaitTicks(kRingWaitMs);
            }
        }
    }
    if (!port_->purge()) {
        LastError(txt(str::ModemContextPurge));
    }
}

void ModemChannel::AnalysState() {
    errorCode_ = ModemErrorCode::None;
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
            host_->reportStatus(PortEvent::NoAnswer);
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
    const ModemRequest reinit = profile_.ctsReinit;
    if (!SIOSend(reinit)) {
        if (!ShowModemError(txt(str::ModemContextCtsSend), ModemErrorCode::NoAnswer, QString())) {
            requestStop();
        }
    } else {
        QByteArray reply;
        if (!OGetch1(reply, reinit.replyLength) &&
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
        errorCode_ = ModemErrorCode::None;
    }
    host_->stopPolling();
}

bool ModemChannel::ModemSendGetData(const ModemRequest& command, ExchangeOptions options) {
    lastReply_.clear();
    lastEcho_.clear();
    lastAnswer_.clear();
    if (terminating()) {
        return false;
    }
    CommClr(options.waitForRing && profile_.ringWait);
    if (failed()) {
        return false;
    }
    AnalysState();
    if (failed()) {
        return false;
    }

    readTimeoutMs_ = kCommandTimeoutMs;
    if (!SendSym_A()) {
        exchangeFailed(profile_.probeContext, QString());
        return false;
    }
    readTimeoutMs_ = command.timeoutMs;
    const QByteArray upper = command.text.toUpper();
    // The probe sent the command's first letter already.
    if (!write(upper.mid(1), command.carriageReturn)) {
        exchangeFailed(profile_.sendContext, QString());
        return false;
    }
    QByteArray rest;
    const bool complete = OGetch1(rest, std::max(command.replyLength - 1, 0));
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
    if (!failed() && !lastAnswer_.isEmpty()) {
        interpret();
    }
    return !failed();
}

void ModemChannel::exchangeFailed(const char* failure, const QString& detail) {
    setErrorCode(ModemErrorCode::NoAnswer);
    host_->restartTestCall();
    if (prompt_.passSilently()) {
        return;
    }
    if (!ShowModemError(context(failure), ModemErrorCode::NoAnswer, detail)) {
        requestStop();
    }
}

void ModemChannel::interpret() {
    if (lastEcho_ == kRepeatCommand.text || lastEcho_.contains(kLevelQuery)) {
        // A garbled level word is no sample: the level keeps its last value.
        if (const auto word = parseLevelWord(lastAnswer_)) {
            lastValue_ = *word;
            if (*word != 0) {
                host_->levelSample(*word);
            }
        }
    } else if (lastEcho_ == kIdentityQuery.text) {
        isLxModel_ = lastAnswer_.contains(kLxIdentity);
    } else if (lastEcho_ == kModelQuery.text) {
        checkModel();
    } else if (lastEcho_ == kGainQuery.text) {
        bool ok = false;
        const int gain = lastAnswer_.trimmed().toInt(&ok);
        if (ok && gain > 0 && gain <= kMaxGain) {
            gain_ = gain;
        }
    } else if (profile_.lastValueFromAnyQuery ? lastEcho_.contains('?')
                                              : lastEcho_.contains(kRingCountQuery.text)) {
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

bool ModemChannel::SIOSend(const ModemRequest& command) {
    return write(command.text, command.carriageReturn);
}

bool ModemChannel::write(const QByteArray& text, bool carriageReturn) {
    QByteArray data = text;
    if (carriageReturn) {
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

bool ModemChannel::GetChar(const char* pendingContext) {
    const std::int64_t pending = port_->bytesPending();
    if (pending < 0) {
        LastError(txt(pendingContext));
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
        if (stopRequested() || failed()) {
            return;
        }
    }
}

bool ModemChannel::ShowModemError(const QString& ctx, ModemErrorCode code, const QString& detail) {
    if (terminating()) {
        return false;
    }
    const QString message = modemErrorMessage(code);
    const QString body = QStringLiteral("COM%1: ").arg(portNumber_) + message + detail;
    const QString caption = txt(str::ModemCaption) + QLatin1Char(' ') + ctx;
    host_->bringToFront();
    const bool result = prompt_.report(caption, body, code, stopRequested(), *this);
    host_->pendingMessage(message);
    return result;
}

void ModemChannel::close() {
    port_->close();
}

void ModemChannel::reopen() {
    const ModemErrorCode reopened = Init();
    if (reopened != ModemErrorCode::None) {
        ShowModemError(txt(str::ModemContextInit), reopened, QString());
    }
}

void ModemChannel::LastError(const QString& ctx) {
    prompt_.warn(txt(str::ModemLastErrorCaption).arg(ctx), port_->errorString());
}

}  // namespace zev7
