// A simulated Teliq measuring modem: the command interpreter behind its serial port. Bytes
// from the computer arrive on its input wire and are echoed as they come; a command line
// runs when its carriage return arrives and its reply goes out on the output wire, exactly in
// the forms and lengths the program counts on. Dialling takes its time: the rest of a dial
// line and its reply wait until the last digit has gone. The telephone line behind the modem
// is the network's (ModemLine).
//
// Not thread-safe by itself: the network calls it under its lock, in time order.
#pragma once

#include "sim/at_command_line.h"
#include "sim/line_signal.h"
#include "sim/modem_identity.h"
#include "sim/modem_line.h"
#include "sim/modem_profile.h"
#include "sim/serial_wire.h"

#include <QByteArray>
#include <array>
#include <functional>
#include <optional>

namespace zev7 {

// Numeric result codes (V0).
inline constexpr int kResultOk = 0;
inline constexpr int kResultRing = 2;
inline constexpr int kResultNoCarrier = 3;
inline constexpr int kResultError = 4;

inline constexpr int kMaxCommandLine = 255;  // longer lines are refused with an error
inline constexpr int kDefaultModemGain = 128;

// The signal processor's registers that the program writes through S31.
inline constexpr int kDspToneMode = 22;       // 1: single tone
inline constexpr int kDspToneFrequency = 24;  // phase step of the tone at 9600 samples/s
inline constexpr int kDspSingleTone = 1;

class SimModem {
public:
    using ReplyFilter = std::function<QByteArray(const QByteArray&)>;

    SimModem(int port, SimModel model, ModemLine& line);

    int port() const { return port_; }
    SimModel model() const { return model_; }
    const ModemIdentity& identity() const { return identityOf(model_); }

    // The stored profile; setting it also loads it, as when the modem is switched on.
    void setStoredProfile(const ModemProfile& profile);
    const ModemProfile& storedProfile() const { return stored_; }
    const ModemProfile& profile() const { return profile_; }
    int gain() const { return gain_; }
    void setGain(int gain);

    // ---- Serial side ----------------------------------------------------------------------
    SerialWire& input() { return input_; }
    SerialWire& output() { return output_; }
    // Nobody listens on the port while detached: what the modem sends is lost.
    void setAttached(bool attached) { attached_ = attached; }
    bool attached() const { return attached_; }
    // The serial cable is out: nothing passes either way and CTS is off.
    void setUnplugged(bool unplugged) { unplugged_ = unplugged; }
    bool unplugged() const { return unplugged_; }
    // The modem takes no command and sends nothing, but CTS stays on.
    void setSilent(bool silent) { silent_ = silent; }
    bool silent() const { return silent_; }
    // Changes every command reply (not the echo) before it is sent, e.g. to cut a byte off.
    void setReplyFilter(ReplyFilter filter) { replyFilter_ = std::move(filter); }

    // ---- Driven by the network, in time order ----------------------------------------------
    SimUs nextInputUs() const { return input_.nextArrival(); }
    // Takes the next byte from the input wire at its arrival.
    void receiveNext();
    // Continues a command line that waited for its dialling to end.
    void resume(std::uint64_t token, SimUs t);
    // The line rings: the ring report and S1 counting the rings.
    void ring(SimUs t);
    // The ringing ended (answered, or the caller gave up).
    void ringsStopped() { ringCount_ = 0; }
    int ringCount() const { return ringCount_; }

    // ---- Measuring side -------------------------------------------------------------------
    AnswerPlan answerPlan() const { return answerPlanOf(profile_, identity().hasAnswerRegisters); }
    // The tone the modem generates ("%T6" with a single tone set up), if any.
    std::optional<Tone> generatorTone() const;
    BandFilter filter() const { return filter_; }
    bool dialling() const { return running_.has_value(); }

private:
    struct LineRun {
        std::vector<AtCommand> commands;
        std::size_t next = 0;
        QByteArray answer;
        std::uint64_t token = 0;
    };
    enum class StepResult { Ok, Error, NoCarrier, Suspend };
    struct Step {
        StepResult result = StepResult::Ok;
        SimUs until = 0;
    };
    enum class DspAccess { Idle, SelectRegister, HighByte, LowByte };

    void byteArrived(char c, SimUs t);
    void startLine(const QByteArray& commands, SimUs t, const QByteArray& shown);
    void runCommands(SimUs t);
    void finish(int result, SimUs t);
    Step execute(const AtCommand& cmd, SimUs t, QByteArray& answer);
    Step executeBasic(const AtCommand& cmd, SimUs t, QByteArray& answer);
    Step executeAmpersand(const AtCommand& cmd, SimUs t);
    Step executePercent(const AtCommand& cmd, SimUs t, QByteArray& answer);
    Step executeRegister(const AtCommand& cmd, SimUs t, QByteArray& answer);
    Step executeDial(const AtCommand& cmd, SimUs t);
    void abortDial(SimUs t);
    void hangUp(SimUs t);
    void resetVolatile(SimUs t);
    bool writeRegister(int n, int value, SimUs t);
    int readRegister(int n) const;
    void writeDsp(int value, SimUs t);
    void setGenerator(bool on, SimUs t);

    void addAnswer(QByteArray& answer, const QByteArray& text) const;
    QByteArray resultText(int result) const;
    void send(const QByteArray& bytes, SimUs t);
    void sendReply(QByteArray reply, SimUs t);

    int port_;
    SimModel model_;
    ModemLine& line_;
    ModemProfile stored_;
    ModemProfile profile_;
    int gain_ = kDefaultModemGain;

    SerialWire input_;
    SerialWire output_;
    bool attached_ = false;
    bool unplugged_ = false;
    bool silent_ = false;
    ReplyFilter replyFilter_;

    QByteArray lineBuffer_;
    bool lineTooLong_ = false;
    QByteArray lastLine_;
    std::optional<LineRun> running_;
    std::uint64_t token_ = 0;
    int ringCount_ = 0;

    BandFilter filter_ = BandFilter::T12;
    bool generatorOn_ = false;
    DspAccess dspAccess_ = DspAccess::Idle;
    int dspRegister_ = 0;
    int dspHigh_ = 0;
    std::array<std::uint16_t, kRegisterCount> dsp_{};
};

}  // namespace zev7
