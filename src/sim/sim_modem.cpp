#include "sim/sim_modem.h"

#include "teliq/level_decoder.h"
#include "teliq/modem_registers.h"

#include <algorithm>
#include <cctype>

namespace zev7 {

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kBackspace = '\b';
constexpr char kDelete = 0x7F;
constexpr int kMaxSpeaker = 3;
constexpr int kMaxResultSet = 4;
constexpr int kLastIdentity = 9;
constexpr int kPhaseStepMask = 0x3FFF;
constexpr SimUs kDialToneWaitUs = 2500 * kUsPerMs;

QByteArray threeDigits(int v) {
    return QByteArray::number(v).rightJustified(3, '0');
}

QByteArray resultWord(int result) {
    switch (result) {
        case kResultOk:
            return "OK";
        case kResultRing:
            return "RING";
        case kResultNoCarrier:
            return "NO CARRIER";
        default:
            return "ERROR";
    }
}

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

}  // namespace

SimModem::SimModem(int port, SimModel model, ModemLine& line)
    : port_(port),
      model_(model),
      line_(line),
      stored_(ModemProfile::factory()),
      profile_(stored_) {}

void SimModem::setStoredProfile(const ModemProfile& profile) {
    stored_ = profile;
    profile_ = profile;
}

void SimModem::setGain(int gain) {
    gain_ = std::clamp(gain, kMinGain, kMaxGain);
}

void SimModem::receiveNext() {
    const SimUs t = input_.nextArrival();
    const QByteArray b = input_.take(t, 1);
    if (b.isEmpty() || unplugged_ || silent_) {
        return;
    }
    byteArrived(b[0], t);
}

void SimModem::byteArrived(char c, SimUs t) {
    if (running_) {
        // Any character stops the dialling, as on every Hayes modem.
        abortDial(t);
        return;
    }
    if (c == kLf) {
        return;
    }
    const char u = upper(c);
    if (profile_.echo) {
        send(QByteArray(1, c), t);
    }
    if (lineBuffer_.isEmpty()) {
        // Only "A" starts a command line; anything else is echoed and forgotten.
        if (u == 'A') {
            lineBuffer_ = "A";
        }
        return;
    }
    if (lineBuffer_ == "A") {
        if (u == '/') {
            // "A/" repeats the last command line at once, without waiting for a carriage return.
            lineBuffer_.clear();
            startLine(lastLine_, t, "A/");
        } else if (u == 'T') {
            lineBuffer_ = "AT";
            lineTooLong_ = false;
        } else if (u != 'A') {
            lineBuffer_.clear();
        }
        return;
    }
    if (c == kCr) {
        const QByteArray commands = lineBuffer_.mid(2);
        const bool tooLong = lineTooLong_;
        lineBuffer_.clear();
        lineTooLong_ = false;
        if (tooLong) {
            line_.log({t, port_, true, "AT" + commands + "...\r"});
            sendReply(resultText(kResultError), t);
            return;
        }
        lastLine_ = commands;
        startLine(commands, t, "AT" + commands + kCr);
        return;
    }
    if (c == kBackspace || c == kDelete) {
        if (lineBuffer_.size() > 2) {
            lineBuffer_.chop(1);
        }
        return;
    }
    if (lineBuffer_.size() >= kMaxCommandLine) {
        lineTooLong_ = true;
        return;
    }
    lineBuffer_.append(u);
}

void SimModem::startLine(const QByteArray& commands, SimUs t, const QByteArray& shown) {
    line_.log({t, port_, true, shown});
    running_ = LineRun{parseCommandLine(commands), 0, {}, ++token_};
    runCommands(t);
}

void SimModem::resume(std::uint64_t token, SimUs t) {
    if (running_ && running_->token == token) {
        runCommands(t);
    }
}

void SimModem::runCommands(SimUs t) {
    LineRun& run = *running_;
    while (run.next < run.commands.size()) {
        const AtCommand& cmd = run.commands[run.next++];
        const Step step = execute(cmd, t, run.answer);
        switch (step.result) {
            case StepResult::Ok:
                break;
            case StepResult::Error:
                finish(kResultError, t);
                return;
            case StepResult::NoCarrier:
                finish(kResultNoCarrier, t);
                return;
            case StepResult::Suspend:
                line_.resumeAt(port_, step.until, run.token);
                return;
        }
    }
    finish(kResultOk, t);
}

void SimModem::finish(int result, SimUs t) {
    QByteArray reply = running_->answer + resultText(result);
    running_.reset();
    sendReply(std::move(reply), t);
}

SimModem::Step SimModem::execute(const AtCommand& cmd, SimUs t, QByteArray& answer) {
    switch (cmd.kind) {
        case AtCommand::Kind::Basic:
            return executeBasic(cmd, t, answer);
        case AtCommand::Kind::Ampersand:
            return executeAmpersand(cmd, t);
        case AtCommand::Kind::Percent:
            return executePercent(cmd, t, answer);
        case AtCommand::Kind::Register:
            return executeRegister(cmd, t, answer);
        case AtCommand::Kind::Dial:
            return executeDial(cmd, t);
        case AtCommand::Kind::Invalid:
            break;
    }
    return {StepResult::Error};
}

SimModem::Step SimModem::executeBasic(const AtCommand& cmd, SimUs t, QByteArray& answer) {
    const int n = cmd.number.value_or(0);
    auto flag = [&](bool& target) -> Step {
        if (n > 1) {
            return {StepResult::Error};
        }
        target = n == 1;
        return {};
    };
    auto level = [&](int& target, int max) -> Step {
        if (n > max) {
            return {StepResult::Error};
        }
        target = n;
        return {};
    };
    switch (cmd.letter) {
        case 'A':
            return line_.answer(port_, t) ? Step{} : Step{StepResult::NoCarrier};
        case 'E':
            return flag(profile_.echo);
        case 'V':
            return flag(profile_.verbose);
        case 'Q':
            return flag(profile_.quiet);
        case 'H':
            if (n == 0) {
                hangUp(t);
            } else if (n == 1) {
                line_.offHook(port_, t);
            } else {
                return {StepResult::Error};
            }
            return {};
        case 'I':
            if (n == 0) {
                addAnswer(answer, identity().productCode);
            } else if (n == 3) {
                addAnswer(answer, identity().modelLine);
            } else if (n == 5) {
                addAnswer(answer, identity().versionLine);
            } else if (n > kLastIdentity) {
                return {StepResult::Error};
            }
            return {};
        case 'L':
            return level(profile_.speakerVolume, kMaxSpeaker);
        case 'M':
            return level(profile_.speakerMode, kMaxSpeaker);
        case 'X':
            return level(profile_.resultSet, kMaxResultSet);
        case 'Z':
            profile_ = stored_;
            resetVolatile(t);
            hangUp(t);
            return {};
        default:
            return {StepResult::Error};
    }
}

SimModem::Step SimModem::executeAmpersand(const AtCommand& cmd, SimUs t) {
    const int n = cmd.number.value_or(0);
    switch (cmd.letter) {
        case 'F':
            // This modem's "&F" brings back the profile stored with "&W": an answering station
            // set up once keeps answering after the program's resets.
            profile_ = stored_;
            resetVolatile(t);
            return {};
        case 'W':
            if (n != 0) {
                return {StepResult::Error};
            }
            stored_ = profile_;
            return {};
        case 'A':
            if (n > 1) {
                return {StepResult::Error};
            }
            profile_.answerSetup = n == 1;
            return {};
        default:
            return {};  // &C, &D, &K, ...: line options the simulation has no use for
    }
}

SimModem::Step SimModem::executePercent(const AtCommand& cmd, SimUs t, QByteArray& answer) {
    switch (cmd.letter) {
        case 'K':
            if (!cmd.number) {
                addAnswer(answer, threeDigits(gain_));
                return {};
            }
            if (*cmd.number < kMinGain || *cmd.number > kMaxGain) {
                return {StepResult::Error};
            }
            gain_ = *cmd.number;
            return {};
        case 'L':
            if (!cmd.number || *cmd.number > kMaxTransmitSetting) {
                return {StepResult::Error};
            }
            profile_.transmit = *cmd.number;
            line_.transmitChanged(port_, t);
            return {};
        case 'T': {
            const int n = cmd.number.value_or(-1);
            if (const auto filter = bandFilterFromCode(n)) {
                filter_ = *filter;
            } else if (n == 6 || n == 5) {
                setGenerator(n == 6, t);
            } else if (n == 3) {
                dspAccess_ = DspAccess::SelectRegister;
            } else {
                return {StepResult::Error};
            }
            return {};
        }
        case 'V':
            addAnswer(answer, formatLevelWord(levelWord(filter_, line_.heard(port_, t), gain_)));
            return {};
        default:
            return {StepResult::Error};
    }
}

SimModem::Step SimModem::executeRegister(const AtCommand& cmd, SimUs t, QByteArray& answer) {
    const int n = cmd.number.value_or(0);
    if (n >= kRegisterCount) {
        return {StepResult::Error};
    }
    if (cmd.query) {
        addAnswer(answer, threeDigits(readRegister(n)));
        return {};
    }
    return writeRegister(n, cmd.value, t) ? Step{} : Step{StepResult::Error};
}

SimModem::Step SimModem::executeDial(const AtCommand& cmd, SimUs t) {
    DialTiming timing;
    timing.blindWait = profile_.s[kRegBlindDialWait] * kUsPerSecond;
    timing.commaPause = profile_.s[kRegCommaPause] * kUsPerSecond;
    timing.dialToneWait = kDialToneWaitUs;
    const DialPlan plan = planDial(cmd.dial, t, timing);
    line_.dial(port_, t, plan);
    return {StepResult::Suspend, plan.end};
}

void SimModem::abortDial(SimUs t) {
    line_.cancelDial(port_, t);
    running_.reset();
    hangUp(t);
    sendReply(resultText(kResultNoCarrier), t);
}

void SimModem::hangUp(SimUs t) {
    if (generatorOn_) {
        generatorOn_ = false;
        line_.transmitChanged(port_, t);
    }
    line_.onHook(port_, t);
}

void SimModem::resetVolatile(SimUs t) {
    filter_ = BandFilter::T12;
    dspAccess_ = DspAccess::Idle;
    dsp_.fill(0);
    setGenerator(false, t);
}

bool SimModem::writeRegister(int n, int value, SimUs t) {
    if (value > kMaxRegisterValue) {
        return false;
    }
    if (n >= kRegToneMode && n <= kRegToneBand && !identity().hasAnswerRegisters) {
        return true;  // accepted, but this model has no such register
    }
    if (n == kRegTransmitReadBack) {
        if (value > kMaxTransmitSetting) {
            return false;
        }
        profile_.transmit = value;
        line_.transmitChanged(port_, t);
        return true;
    }
    if (n == kRegDsp && dspAccess_ != DspAccess::Idle) {
        writeDsp(value, t);
        return true;
    }
    if (n == kRegRingCount) {
        return true;  // counted by the modem itself
    }
    profile_.s[static_cast<std::size_t>(n)] = static_cast<std::uint8_t>(value);
    return true;
}

int SimModem::readRegister(int n) const {
    if (n >= kRegToneMode && n <= kRegToneBand && !identity().hasAnswerRegisters) {
        return 0;
    }
    if (n == kRegTransmitReadBack) {
        return profile_.transmit;
    }
    if (n == kRegRingCount) {
        return std::min(ringCount_, kMaxRegisterValue);
    }
    return profile_.s[static_cast<std::size_t>(n)];
}

void SimModem::writeDsp(int value, SimUs t) {
    // "%T3" then S31 = register, S31 = high byte, S31 = low byte.
    switch (dspAccess_) {
        case DspAccess::SelectRegister:
            dspRegister_ = value;
            dspAccess_ = DspAccess::HighByte;
            break;
        case DspAccess::HighByte:
            dspHigh_ = value;
            dspAccess_ = DspAccess::LowByte;
            break;
        case DspAccess::LowByte:
            dsp_[static_cast<std::size_t>(dspRegister_)] =
                static_cast<std::uint16_t>(dspHigh_ << 8 | value);
            dspAccess_ = DspAccess::Idle;
            if (generatorOn_) {
                line_.transmitChanged(port_, t);
            }
            break;
        case DspAccess::Idle:
            break;
    }
}

void SimModem::setGenerator(bool on, SimUs t) {
    if (generatorOn_ != on) {
        generatorOn_ = on;
        line_.transmitChanged(port_, t);
    }
}

std::optional<Tone> SimModem::generatorTone() const {
    // Only the single-tone mode is modelled; any other set-up sends nothing a filter hears.
    if (!generatorOn_ || dsp_[kDspToneMode] != kDspSingleTone) {
        return std::nullopt;
    }
    const double hz = frequencyFromCode(dsp_[kDspToneFrequency] & kPhaseStepMask);
    if (hz <= 0.0) {
        return std::nullopt;
    }
    return Tone{hz, transmitLevelExact(profile_.transmit, hz)};
}

void SimModem::ring(SimUs t) {
    ++ringCount_;
    const QByteArray report = resultText(kResultRing);
    if (!report.isEmpty()) {
        line_.log({t, port_, false, report});
        send(report, t);
    }
}

void SimModem::addAnswer(QByteArray& answer, const QByteArray& text) const {
    if (profile_.verbose) {
        answer += "\r\n" + text + "\r\n";
    } else {
        answer += text + kCr;
    }
}

QByteArray SimModem::resultText(int result) const {
    if (profile_.quiet) {
        return {};
    }
    if (profile_.verbose) {
        return "\r\n" + resultWord(result) + "\r\n";
    }
    return QByteArray::number(result) + kCr;
}

void SimModem::send(const QByteArray& bytes, SimUs t) {
    if (attached_ && !unplugged_ && !silent_ && !bytes.isEmpty()) {
        output_.send(bytes, t);
        line_.outputQueued(port_);
    }
}

void SimModem::sendReply(QByteArray reply, SimUs t) {
    if (replyFilter_) {
        reply = replyFilter_(reply);
    }
    line_.log({t, port_, false, reply});
    send(reply, t);
}

}  // namespace zev7
