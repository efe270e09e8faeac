// One measuring modem of the demo network (COM1, calling 2222222 on COM2) behind a modem
// channel on a manual clock, for the tests of the pieces the port engine is built from.
#pragma once

#include "channel_test_support.h"

#include "core/clocks.h"
#include "engine/modem/modem_channel.h"
#include "sim/sim_config.h"
#include "sim/sim_link_port.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>
#include <QList>

#include <memory>

namespace zev7::test {

inline constexpr int kCaller = 1;
inline constexpr int kStation = 2;

class SimChannelBench : public ::testing::Test {
protected:
    explicit SimChannelBench(const SimConfig& config = SimConfig::demo())
        : network_(buildNetwork(config, clock_)) {
        network_->setTrafficLog([this](const TrafficEntry& e) {
            if (e.port == kCaller && e.toModem) {
                commands_.append(e.bytes.trimmed());
            }
        });
        channel_ = std::make_unique<ModemChannel>(
            kCaller, std::make_unique<SimLinkPort>(*network_, kCaller), clock_, messages_, &host_);
        EXPECT_TRUE(channel_->openPort());
    }

    ManualClock clock_;
    std::unique_ptr<SimNetwork> network_;
    RecordingMessages messages_;
    RecordingHost host_;
    std::unique_ptr<ModemChannel> channel_;
    QList<QByteArray> commands_;  // every command line sent to COM1, without its CR
};

}  // namespace zev7::test
