// The simulator's configuration file: an INI-style text that sets the network (levels,
// attenuation, seed, time scale), the fault probabilities and, per port, a modem with its
// number, model, gain and stored profile. Every line is checked; a bad one gives a message
// with the file name and line number, and nothing is built from a file with errors.
//
//     [network]   seed, time-scale, attenuation, dial-tone-level, ringback-level, busy-level,
//                 congestion-level, clear-back-level, digit-wait
//     [faults]    no-dial-tone = 0.05, ... (one probability per fault name)
//     [COM2]      number, model, gain, answer, rings, frequency, level, delay-on, duration,
//                 delay-off, tone-band, tone-threshold, transmit, S<n>
//
// docs/simulator.md describes every key; docs/sim-example.ini is a complete example.
#pragma once

#include "core/clock.h"
#include "sim/sim_network.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace zev7 {

inline constexpr qint64 kMaxSimConfigBytes = 1024 * 1024;

struct SimConfig {
    SimNetworkSettings network;
    std::optional<double> timeScale;
    std::vector<SimModemSpec> modems;

    // COM1 a calling modem 1111111; COM2 an answering station 2222222 whose stored profile
    // answers after 2 rings with 1020 Hz at -10 dBm, 2.5 s after answering, for 3.0 s,
    // releasing 4.0 s later; 6 dB between them; tones at -10 dBm; no faults.
    static SimConfig demo();
};

struct SimConfigResult {
    std::optional<SimConfig> config;  // only when errors is empty
    QStringList errors;
    QStringList warnings;  // settings that are valid but will not do what they seem to
};

// `name` is the file name shown in messages.
SimConfigResult parseSimConfig(const QByteArray& text, const QString& name);
SimConfigResult loadSimConfig(const QString& path);

// A network with the configuration's settings and modems.
std::unique_ptr<SimNetwork> buildNetwork(const SimConfig& config, Clock& clock);

}  // namespace zev7
