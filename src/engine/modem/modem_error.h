// The error codes of a port's modem work, as the port thread and the answering station keep
// them (0 = no error), and the message the user reads for each.
#pragma once

#include "scenario/scenario_file.h"

#include <QString>

namespace zev7 {

enum class ModemErrorCode : int {
    None = 0,
    PortBusy = -1,           // the port cannot be opened
    NoAnswer = -4,           // the modem does not answer, or CTS stayed off
    SystemError = -7,        // the port opened but refused the line settings
    WrongPort = -8,          // port number outside 1..64
    ModemFailure = -9,       // kept for the message table; no step raises it
    NoMemory = -10,          // an allocation failed
    Terminating = -15,       // the thread is already ending when the port is to be opened
    NoCycles = -20,          // the scenario holds no cycle
    NoScenarioMemory = -21,  // the cycle table cannot be allocated
    NoScenarioFile = -22,    // the scenario file does not exist
    WrongModel = -23,        // not the Teliq 3310
    FrequencyOutOfRange = -24,
};

// The number the user reads when a port or a station did not start.
constexpr int errorNumber(ModemErrorCode code) {
    return static_cast<int>(code);
}

// The message of a code; an empty text for codes without one (and for Terminating).
QString modemErrorMessage(ModemErrorCode code);

// The error a port thread keeps when its scenario could not be loaded; None when it was, and
// for a refused file (reported by the reader already).
ModemErrorCode modemErrorOf(ScenarioLoad load);

}  // namespace zev7
