// The telephone line as a simulated modem reaches it: hook, dialling, answering, the tone it
// sends and the signal it hears. The network implements it; the modem never sees other modems.
#pragma once

#include "sim/dial_plan.h"
#include "sim/line_signal.h"
#include "sim/sim_time.h"

#include <QByteArray>
#include <cstdint>
#include <optional>

namespace zev7 {

// One line of the traffic log: a command line the modem received, or what it sent back.
struct TrafficEntry {
    SimUs timeUs = 0;
    int port = 0;
    bool toModem = true;
    QByteArray bytes;
};

class ModemLine {
public:
    virtual ~ModemLine() = default;

    virtual void offHook(int port, SimUs t) = 0;
    virtual void onHook(int port, SimUs t) = 0;
    virtual bool isOffHook(int port) const = 0;
    // Dials the stages (going off-hook first when needed).
    virtual void dial(int port, SimUs t, const DialPlan& plan) = 0;
    // The modem stopped dialling before the end: stages not yet dialled are dropped.
    virtual void cancelDial(int port, SimUs t) = 0;
    // "ATA": answers a ringing call; false when nothing rings.
    virtual bool answer(int port, SimUs t) = 0;
    // Calls the modem's resume() with the token at time t.
    virtual void resumeAt(int port, SimUs t, std::uint64_t token) = 0;
    // The tone the modem sends changed (tone generation, its frequency or level).
    virtual void transmitChanged(int port, SimUs t) = 0;
    // What the line carries to the modem now: the tone it hears, if any.
    virtual std::optional<Tone> heard(int port, SimUs t) const = 0;
    virtual void log(const TrafficEntry& entry) = 0;
    // The modem has put bytes on its output wire.
    virtual void outputQueued(int port) = 0;
};

}  // namespace zev7
