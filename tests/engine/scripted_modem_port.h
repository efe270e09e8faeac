// A modem on a CommPort for the channel tests, on the manual clock. It behaves like the
// measuring modem at the byte level: the probe "A" is echoed at once, a command line is
// echoed as it arrives, and after its carriage return the test's script gives the rest of the
// reply (answer line and result code), possibly after a delay. "A/" is echoed without a
// carriage return and answered at once. Reads wait on the manual clock: a read moves it on to
// the moment its last byte arrives, or by the whole time-out when the bytes do not come.
#pragma once

#include "core/clocks.h"
#include "core/comm_port.h"

#include <QByteArray>
#include <QList>
#include <deque>
#include <functional>
#include <map>

namespace zev7::test {

class ScriptedModemPort : public CommPort {
public:
    struct Answer {
        QByteArray bytes;          // sent after the echoed command line
        std::int64_t delayMs = 0;  // how long after the carriage return it starts
    };
    using Script = std::function<Answer(const QByteArray& command)>;
    using CtsTimeline = std::function<ModemStatus(std::int64_t tick)>;

    explicit ScriptedModemPort(ManualClock& clock) : clock_(clock) {}

    // ---- What the modem does --------------------------------------------------------------
    // Replies by table; a command missing from it gets the result code "0" CR.
    void setAnswer(const QByteArray& command, const QByteArray& bytes, std::int64_t delayMs = 0) {
        table_[command] = Answer{bytes, delayMs};
    }
    void setScript(Script script) { script_ = std::move(script); }
    // A silent modem: nothing is echoed, not even the probe.
    void setSilent(bool silent) { silent_ = silent; }
    void setCts(CtsTimeline timeline) { cts_ = std::move(timeline); }
    void setWriteFails(bool fails) { writeFails_ = fails; }
    void setOpenFails(OpenFailure failure) { openFails_ = failure; }
    // Bytes the modem sends unasked (the ring report "2" CR) at that tick.
    void sendAt(std::int64_t tick, const QByteArray& bytes) { queue(tick, bytes); }

    // ---- What the test looks at -----------------------------------------------------------
    const QList<QByteArray>& commands() const { return commands_; }
    const QByteArray& written() const { return written_; }
    int opens() const { return opens_; }
    int closes() const { return closes_; }
    int probes() const { return probes_; }
    const LineSettings& settings() const { return settings_; }

    // ---- CommPort -------------------------------------------------------------------------
    bool open(const LineSettings& settings) override {
        ++opens_;
        failure_ = openFails_;
        if (openFails_ != OpenFailure::None) {
            return false;
        }
        settings_ = settings;
        open_ = true;
        return true;
    }
    OpenFailure openFailure() const override { return failure_; }
    bool isOpen() const override { return open_; }
    bool purge() override {
        if (!open_) {
            return false;
        }
        const std::int64_t now = clock_.tickMs();
        while (!out_.empty() && out_.front().first <= now) {
            out_.pop_front();
        }
        return true;
    }
    std::int64_t write(const QByteArray& data) override {
        if (!open_ || writeFails_) {
            return -1;
        }
        written_ += data;
        for (const char c : data) {
            receive(c);
        }
        return data.size();
    }
    bool flush() override { return open_; }
    QByteArray read(std::int64_t n, int timeoutMs) override {
        QByteArray got;
        if (!open_) {
            return got;
        }
        const std::int64_t start = clock_.tickMs();
        const std::int64_t deadline = start + timeoutMs;
        std::int64_t last = start;
        while (got.size() < n && !out_.empty() && out_.front().first <= deadline) {
            last = std::max(last, out_.front().first);
            got += out_.front().second;
            out_.pop_front();
        }
        clock_.advance((got.size() < n ? deadline : last) - start);
        return got;
    }
    std::int64_t bytesPending() override {
        if (!open_) {
            return -1;
        }
        std::int64_t n = 0;
        for (const auto& [tick, c] : out_) {
            if (tick <= clock_.tickMs()) {
                ++n;
            }
        }
        return n;
    }
    ModemStatus modemStatus() override {
        if (!open_) {
            return ModemStatus::Unavailable;
        }
        return cts_ ? cts_(clock_.tickMs()) : ModemStatus::CtsOn;
    }
    void close() override {
        if (open_) {
            ++closes_;
        }
        open_ = false;
        out_.clear();
        line_.clear();
    }
    QString errorString() const override { return QStringLiteral("scripted port error"); }

private:
    void queue(std::int64_t tick, const QByteArray& bytes) {
        for (const char c : bytes) {
            // Keep the queue in time order: unasked bytes may come between others.
            auto it = out_.end();
            while (it != out_.begin() && std::prev(it)->first > tick) {
                --it;
            }
            out_.insert(it, {tick, c});
        }
    }
    void echo(const QByteArray& bytes) { queue(clock_.tickMs(), bytes); }

    void receive(char c) {
        if (silent_) {
            return;
        }
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (line_.isEmpty() || line_ == "A") {
            if (upper == 'A') {  // a new command line (or the probe repeated)
                ++probes_;
                line_ = "A";
                echo("A");
                return;
            }
            if (line_.isEmpty()) {
                return;  // noise between commands
            }
        }
        if (c == '\r') {
            echo("\r");
            answer(line_);
            line_.clear();
            return;
        }
        line_ += upper;
        echo(QByteArray(1, c));
        if (line_ == "A/") {
            answer(line_);
            line_.clear();
        }
    }

    void answer(const QByteArray& command) {
        commands_.append(command);
        Answer a;
        if (script_) {
            a = script_(command);
        } else if (const auto it = table_.find(command); it != table_.end()) {
            a = it->second;
        } else {
            a.bytes = "0\r";
        }
        queue(clock_.tickMs() + a.delayMs, a.bytes);
    }

    ManualClock& clock_;
    std::deque<std::pair<std::int64_t, char>> out_;
    QByteArray line_;
    std::map<QByteArray, Answer> table_;
    Script script_;
    CtsTimeline cts_;
    bool silent_ = false;
    bool writeFails_ = false;
    OpenFailure openFails_ = OpenFailure::None;
    OpenFailure failure_ = OpenFailure::None;
    bool open_ = false;
    LineSettings settings_;
    QList<QByteArray> commands_;
    QByteArray written_;
    int opens_ = 0;
    int closes_ = 0;
    int probes_ = 0;
};

}  // namespace zev7::test
