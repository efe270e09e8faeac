// A bench for the answering station: the port bench (temporary program directory, simulated
// network on a manual clock, registry, recording view and messages) with stations made on its
// services, driven turn by turn, and the command lines a port's modem received.
#pragma once

#include "port_engine_support.h"

#include "engine/answer/answer_station.h"

namespace zev7::answertest {

using porttest::kCaller;
using porttest::kStation;

// The page of the port window as the user filled it in: the template with these values.
inline AnswerSettings page(double hz, int level, int toneBand = 0, int toneThreshold = -27) {
    AnswerSettings s = AnswerSettings::templateValues();
    s.frequency = hz;
    s.level = level;
    s.toneBand = toneBand;
    s.toneThreshold = toneThreshold;
    return s;
}

class AnswerBench : public porttest::PortBench {
protected:
    AnswerBench() = default;
    explicit AnswerBench(const SimConfig& config) : PortBench(config) {}

    std::unique_ptr<AnswerStation> station(AnswerMode mode, int port = kStation) {
        return std::make_unique<AnswerStation>(port, mode, services());
    }

    // Loop turns until `ms` more milliseconds have passed or the station ended; false when it
    // ended.
    bool runFor(AnswerStation& s, std::int64_t ms) {
        const std::int64_t until = clock_.tickMs() + ms;
        while (clock_.tickMs() < until) {
            if (!s.runOnce()) {
                return false;
            }
        }
        return true;
    }
    // Runs the station to its end (a stop request or an error must end it).
    void runToEnd(AnswerStation& s) {
        for (int i = 0; i < porttest::kStepLimit && s.runOnce(); ++i) {
        }
        ASSERT_TRUE(s.terminated());
    }

    // The command lines a port's modem received since `from` (an index into the traffic),
    // without their carriage return.
    QList<QByteArray> sent(int port, std::size_t from = 0) const {
        QList<QByteArray> out;
        for (std::size_t i = from; i < traffic_.size(); ++i) {
            const porttest::Traffic& t = traffic_[i];
            if (t.port == port && t.toModem) {
                QByteArray line = t.bytes;
                line.replace('\r', QByteArray());
                out.append(line);
            }
        }
        return out;
    }
    std::size_t mark() const { return traffic_.size(); }

    // How often a protocol message was written for the station (the window's view).
    int count(const char* message) const {
        return static_cast<int>(
            messagesOf(view_.protocolLines()).count(QString::fromUtf8(message)));
    }
};

}  // namespace zev7::answertest
