#include "sim/sim_link_port.h"

#include "core/strings.h"

#include <algorithm>

namespace zev7 {

SimLinkPort::SimLinkPort(SimNetwork& network, int port) : network_(network), port_(port) {}

SimLinkPort::~SimLinkPort() {
    close();
}

bool SimLinkPort::open(const LineSettings& settings) {
    if (open_) {
        return true;
    }
    if (!network_.hasModem(port_)) {
        error_ = txt(str::SimNoModem).arg(port_);
        openFailure_ = OpenFailure::Access;
        return false;
    }
    if (!network_.attach(port_)) {
        error_ = txt(str::SimPortInUse).arg(port_);
        openFailure_ = OpenFailure::Access;
        return false;
    }
    settings_ = settings;
    open_ = true;
    error_.clear();
    openFailure_ = OpenFailure::None;
    return true;
}

bool SimLinkPort::purge() {
    if (!open_) {
        return false;
    }
    network_.purge(port_, true, true);
    return true;
}

std::int64_t SimLinkPort::write(const QByteArray& data) {
    if (!open_) {
        error_ = txt(str::SimPortClosed).arg(port_);
        return -1;
    }
    if (settings_.flow == LineSettings::Flow::RtsCts && !network_.ctsOn(port_)) {
        // CTS flow control holds everything back while the modem's CTS is off.
        error_ = txt(str::SimCtsOff).arg(port_);
        return 0;
    }
    network_.sendToModem(port_, data);
    return data.size();
}

bool SimLinkPort::flush() {
    if (!open_) {
        return false;
    }
    const SimUs idle = network_.inputIdleAt(port_);
    if (idle > network_.clock().tickMs() * kUsPerMs) {
        sleepUntil(idle);
    }
    return true;
}

QByteArray SimLinkPort::read(std::int64_t n, int timeoutMs) {
    if (!open_ || n <= 0) {
        return {};
    }
    Clock& clock = network_.clock();
    const qsizetype want = static_cast<qsizetype>(n);
    if (clock.runsByItself()) {
        // Real or scaled time: sleep on the network until the modem has sent enough.
        return network_.waitFromModem(port_, want,
                                      clock.tickUs() + std::max(timeoutMs, 0) * kUsPerMs);
    }
    const SimUs deadline = clock.tickMs() * kUsPerMs + std::max(timeoutMs, 0) * kUsPerMs;
    for (;;) {
        if (network_.pendingFromModem(port_) >= want) {
            return network_.takeFromModem(port_, want);
        }
        if (clock.tickMs() * kUsPerMs >= deadline) {
            return network_.takeFromModem(port_, want);
        }
        // Sleep until the last wanted byte is due, or until anything may send more.
        const SimUs due = network_.arrivalFromModem(port_, want - 1);
        const SimUs wake = std::min({due, network_.nextEventUs(), deadline});
        sleepUntil(wake);
    }
}

std::int64_t SimLinkPort::bytesPending() {
    return open_ ? network_.pendingFromModem(port_) : -1;
}

CommPort::ModemStatus SimLinkPort::modemStatus() {
    if (!open_) {
        return ModemStatus::Unavailable;
    }
    return network_.ctsOn(port_) ? ModemStatus::CtsOn : ModemStatus::CtsOff;
}

void SimLinkPort::close() {
    if (open_) {
        network_.detach(port_);
        open_ = false;
    }
}

void SimLinkPort::sleepUntil(SimUs t) {
    Clock& clock = network_.clock();
    const std::int64_t nowMs = clock.tickMs();
    const std::int64_t ms = usToMsCeil(t) - nowMs;
    // At least a millisecond, so that a clock that has not moved since is moved on.
    clock.sleepMs(std::max<std::int64_t>(ms, 1));
}

}  // namespace zev7
