// The in-process serial link to a simulated modem, for tests: a CommPort whose bytes take
// their time on the engine's clock as on a real 9600-baud 8N2 line. A read sleeps the clock
// (a manual clock just moves on) until the bytes are due or the time-out has passed, so an
// engine running over this port sees the modem's timing exactly, deterministically. On a clock
// that runs by itself the read waits on the network, which wakes it when the modem sends.
#pragma once

#include "core/comm_port.h"
#include "sim/sim_network.h"

namespace zev7 {

class SimLinkPort : public CommPort {
public:
    SimLinkPort(SimNetwork& network, int port);
    ~SimLinkPort() override;
    SimLinkPort(const SimLinkPort&) = delete;
    SimLinkPort& operator=(const SimLinkPort&) = delete;

    bool open(const LineSettings& settings) override;
    OpenFailure openFailure() const override { return openFailure_; }
    bool isOpen() const override { return open_; }
    bool purge() override;
    // Without flow control the bytes of an unplugged modem are lost on the way; with RTS/CTS
    // flow control nothing is written while CTS is off (0 is returned).
    std::int64_t write(const QByteArray& data) override;
    bool flush() override;
    QByteArray read(std::int64_t n, int timeoutMs) override;
    std::int64_t bytesPending() override;
    // CTS is on while the modem is plugged in (SimNetwork::setUnplugged); Unavailable while
    // the port is closed.
    ModemStatus modemStatus() override;
    void close() override;
    QString errorString() const override { return error_; }

    int port() const { return port_; }
    const LineSettings& settings() const { return settings_; }

private:
    void sleepUntil(SimUs t);

    SimNetwork& network_;
    int port_;
    bool open_ = false;
    LineSettings settings_;
    QString error_;
    OpenFailure openFailure_ = OpenFailure::None;
};

}  // namespace zev7
