// What the modem channel needs from the thread that owns it (the port thread or the answering
// station) without knowing it: status lines for the port window, the state of the test call,
// the level samples, and the window work around an error message. Every call comes from the
// owning thread; the defaults do nothing, so a host overrides only what it has.
#pragma once

#include "scenario/port_event.h"

#include <QString>
#include <cstdint>

namespace zev7 {

class ChannelHost {
public:
    virtual ~ChannelHost() = default;

    // A status line for the protocol: RingWarning while calling, RingReceived while the modem
    // answers calls between cycles, NoAnswer when the modem's CTS line went off.
    virtual void reportStatus(PortEvent /*event*/) {}
    // The scenario answers calls between cycles and the modem is in answering mode now: a ring
    // is then expected and only reported.
    virtual bool answeringNow() const { return false; }
    // The thread is inside a test call (a call step or tone polling).
    virtual bool inTestCall() const { return false; }
    // The test call starts again from its first step (a failed exchange, the modem back).
    virtual void restartTestCall() {}
    // The modem came back after CTS was lost: the tone polling of the call stops.
    virtual void stopPolling() {}
    // A level word from "%V" or "A/", already byte-swapped and not 0. The host turns it into
    // dBm with the gain (ModemChannel::gain()) and its active filter reference and offset.
    virtual void levelSample(std::uint16_t /*word*/) {}
    // Before an error box: the application comes forward and the port window is shown.
    virtual void bringToFront() {}
    // The message of a reported error, for the protocol view and file.
    virtual void pendingMessage(const QString& /*text*/) {}
};

}  // namespace zev7
