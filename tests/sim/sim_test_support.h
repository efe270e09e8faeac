// A simulated network on a manual clock and the program's way of talking to a modem over a
// SimLinkPort: the "A" probe and its echo, then the rest of the command and the reply of its
// stated length.
#pragma once

#include "core/clocks.h"
#include "sim/sim_config.h"
#include "sim/sim_link_port.h"
#include "sim/sim_network.h"
#include "teliq/level_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>

namespace zev7::simtest {

inline constexpr int kTimeoutMs = 1000;
inline constexpr int kCaller = 1;
inline constexpr int kStation = 2;

// The demo network (or another configuration) with an open link on every port.
struct SimBench {
    explicit SimBench(const SimConfig& config = SimConfig::demo())
        : network(buildNetwork(config, clock)) {
        for (int port : network->ports()) {
            auto link = std::make_unique<SimLinkPort>(*network, port);
            EXPECT_TRUE(link->open(LineSettings::measuring()));
            links[port] = std::move(link);
        }
    }

    SimLinkPort& port(int n) { return *links.at(n); }
    double seconds() const { return static_cast<double>(clock.tickMs()) / 1000.0; }
    // Moves the clock on to `s` seconds since the start.
    void at(double s) {
        const std::int64_t target = std::llround(s * 1000.0);
        if (target > clock.tickMs()) {
            clock.advance(target - clock.tickMs());
        }
    }

    ManualClock clock;
    std::unique_ptr<SimNetwork> network;
    std::map<int, std::unique_ptr<SimLinkPort>> links;
};

// One exchange as the program makes it: "A", its echo, the rest with CR, replyLength - 1
// more bytes. Returns the whole reply (shorter when the modem did not send it all).
inline QByteArray exchange(CommPort& port, const QByteArray& command, int replyLength,
                           int timeoutMs = kTimeoutMs) {
    port.purge();
    port.write("A");
    const QByteArray echo = port.read(1, kTimeoutMs);
    if (echo != "A") {
        return echo;
    }
    port.write(command.mid(1) + '\r');
    return echo + port.read(replyLength - 1, timeoutMs);
}

// "A/" without CR, as the program repeats the level query.
inline QByteArray repeat(CommPort& port, int replyLength = 9) {
    port.purge();
    port.write("A");
    const QByteArray echo = port.read(1, kTimeoutMs);
    port.write("/");
    return echo + port.read(replyLength - 1, kTimeoutMs);
}

// A command written whole, without the probe.
inline QByteArray whole(CommPort& port, const QByteArray& command, int replyLength) {
    port.purge();
    port.write(command + '\r');
    return port.read(replyLength, kTimeoutMs);
}

// The answer line of a reply (the text between the first and second CR, or after "A/").
inline QByteArray answerLine(const QByteArray& reply) {
    QByteArray rest = reply;
    if (rest.startsWith("A/")) {
        rest = rest.mid(2);
    } else {
        rest = rest.mid(rest.indexOf('\r') + 1);
    }
    return rest.left(rest.indexOf('\r'));
}

// The level the program decodes from a level reply through the 425 Hz filter.
inline std::optional<double> decodedT12(const QByteArray& reply, int gain = kDefaultGain) {
    const auto word = parseLevelWord(answerLine(reply));
    if (!word) {
        return std::nullopt;
    }
    return decodeLevel(*word, gain, kRefT12, toneLevelOffset());
}

}  // namespace zev7::simtest
