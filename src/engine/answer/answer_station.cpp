#include "engine/answer/answer_station.h"

#include "core/strings.h"

#include "engine/serial/serial_port_names.h"
#include "engine/view/port_view.h"
#include "scenario/port_event.h"

namespace zev7 {

namespace {
// Each loop turn first waits this long, then looks for a ring.
constexpr int kRingLookMs = 500;
// Rings closer to each other than this belong to one call and give one protocol line.
constexpr std::int64_t kRingDebounceMs = 8000;

}  // namespace

AnswerStation::AnswerStation(int port, AnswerMode mode, const PortServices& services)
    : port_(port),
      mode_(mode),
      clock_(services.clock),
      messages_(services.messages),
      view_(services.view),
      makePort_(services.makePort),
      protocol_(port, services.clock, services.view, services.messages),
      settings_(AnswerSettings::templateValues()),
      // Only a station that answers calls stays to watch them.
      stop_(mode != AnswerMode::Answer) {}

AnswerStation::~AnswerStation() = default;

// ---- The run -------------------------------------------------------------------------------

ModemErrorCode AnswerStation::construct() {
    std::unique_ptr<CommPort> port;
    if (makePort_ && port_ >= kFirstPort && port_ <= kLastPort) {
        port = makePort_(port_);
    }
    channel_ = std::make_unique<ModemChannel>(port_, std::move(port), clock_, messages_,
                                              static_cast<ChannelHost*>(this),
                                              ExchangeProfile::answering());
    registers_ = std::make_unique<AnswerRegisters>(*channel_);
    if (stop_.load()) {
        channel_->requestStop();
    }
    if (initialise()) {
        switch (mode_) {
            case AnswerMode::CallingDevice:
                leaveAnswering();
                break;
            case AnswerMode::ReadSettings:
                readSettings();
                if (!failed()) {
                    showSettings();
                }
                break;
            case AnswerMode::Answer:
                takeSettings();
                writeSettings();
                // The window and the scenario get the values as the modem holds them.
                if (!failed()) {
                    showSettings();
                }
                break;
        }
    }
    return channel_->errorCode();
}

bool AnswerStation::runOnce() {
    if (terminated_) {
        return false;
    }
    if (channel_ == nullptr) {
        finish();
        return false;
    }
    if (stop_.load()) {
        channel_->requestStop();
    }
    if (stopRequested() || failed()) {
        finish();
        return false;
    }
    channel_->AnalysState();
    if (stopRequested() || failed()) {
        finish();
        return false;
    }
    checkRing();
    takeCommand();
    return true;
}

void AnswerStation::Execute() {
    while (runOnce()) {
    }
}

void AnswerStation::endAfterFault(const QString& what) {
    protocol_.AppendProtocolLine(txt(str::ThreadFault).arg(what));
    if (channel_ != nullptr) {
        channel_->closePort();
    }
    view_.answerStationFinished(port_, ModePanel::NotSet, true);
    protocol_.close();
    if (channel_ != nullptr) {
        channel_->setTerminating();
    }
    terminated_ = true;
}

void AnswerStation::requestStop() {
    stop_.store(true);
}

void AnswerStation::postCommand(AnswerCommand command) {
    command_.store(static_cast<int>(command));
}

AnswerCommand AnswerStation::pendingCommand() const {
    return static_cast<AnswerCommand>(command_.load());
}

ModemErrorCode AnswerStation::errorCode() const {
    return channel_ != nullptr ? channel_->errorCode() : ModemErrorCode::None;
}

bool AnswerStation::stopRequested() const {
    return stop_.load() || (channel_ != nullptr && channel_->stopRequested());
}

bool AnswerStation::failed() const {
    return errorCode() != ModemErrorCode::None;
}

// ---- ChannelHost ---------------------------------------------------------------------------

void AnswerStation::reportStatus(PortEvent event) {
    protocol_.AppendProtocolLine(portEventText(event));
}

void AnswerStation::bringToFront() {
    view_.bringToFront(port_);
}

void AnswerStation::pendingMessage(const QString& text) {
    protocol_.AppendProtocolLine(text);
}

// ---- The jobs ------------------------------------------------------------------------------

bool AnswerStation::initialise() {
    if (!channel_->openPort()) {
        return false;
    }
    registers_->resetLine();
    registers_->identify();
    if (failed()) {
        return false;
    }
    ringDeadline_ = 0;
    command_.store(static_cast<int>(AnswerCommand::None));
    return true;
}

void AnswerStation::leaveAnswering() {
    if (!registers_->leaveAnswering()) {
        return;
    }
    settings_.rings = 0;
    registers_->identify();
    if (!failed()) {
        registers_->storeProfile();
    }
}

void AnswerStation::readSettings() {
    registers_->read(settings_);
}

void AnswerStation::writeSettings() {
    if (!registers_->write(settings_, speakerOn())) {
        return;
    }
    protocol_.AppendProtocolLine(portEventText(PortEvent::AnsweringMode));
    registers_->identify();
    if (!failed()) {
        registers_->storeProfile();
    }
}

void AnswerStation::showSettings() {
    view_.showAnswerSettings(port_, settings_);
}

void AnswerStation::takeSettings() {
    // Without a window the station writes what it holds.
    view_.takeAnswerSettings(port_, settings_);
}

bool AnswerStation::speakerOn() {
    return view_.speakerOn(port_);
}

// ---- The loop ------------------------------------------------------------------------------

void AnswerStation::checkRing() {
    clock_.sleepMs(kRingLookMs);
    if (!channel_->GetChar(str::ModemContextRingCheck)) {
        return;
    }
    const std::int64_t now = clock_.tickMs();
    if (now > ringDeadline_) {
        protocol_.AppendProtocolLine(portEventText(PortEvent::RingReceived));
    }
    ringDeadline_ = now + kRingDebounceMs;
}

void AnswerStation::takeCommand() {
    const auto command =
        static_cast<AnswerCommand>(command_.exchange(static_cast<int>(AnswerCommand::None)));
    switch (command) {
        case AnswerCommand::None:
            break;
        case AnswerCommand::Apply:
            mode_ = AnswerMode::Answer;
            takeSettings();
            writeSettings();
            if (!failed()) {
                showSettings();
            }
            break;
        case AnswerCommand::Show:
            mode_ = AnswerMode::ReadSettings;
            showSettings();
            break;
        case AnswerCommand::CallingDevice:
            // The station goes on running; only the modem stops answering.
            mode_ = AnswerMode::ReadSettings;
            leaveAnswering();
            break;
        case AnswerCommand::Speaker:
            mode_ = AnswerMode::ReadSettings;
            registers_->setSpeaker(speakerOn());
            break;
    }
}

void AnswerStation::finish() {
    if (channel_ != nullptr) {
        channel_->closePort();
    }
    const bool error = failed();
    ModePanel panel = ModePanel::NotSet;
    if (!error) {
        switch (mode_) {
            case AnswerMode::CallingDevice:
                panel = ModePanel::NotSet;
                break;
            case AnswerMode::ReadSettings:
                panel = settings_.rings > 0 ? ModePanel::AnsweringStation : ModePanel::NotSet;
                break;
            case AnswerMode::Answer:
                panel = ModePanel::AnsweringStation;
                break;
        }
    }
    view_.answerStationFinished(port_, panel, error);
    protocol_.close();
    if (channel_ != nullptr) {
        channel_->setTerminating();
    }
    terminated_ = true;
}

}  // namespace zev7
