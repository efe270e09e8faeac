// How long a simulated modem takes to dial, stage by stage. A dial string is dialled in
// stages separated by "W" (wait for the next dial tone); the exchange looks at the digits
// collected so far at the end of every stage.
#pragma once

#include "sim/sim_time.h"

#include <QByteArray>
#include <vector>

namespace zev7 {

struct DialTiming {
    SimUs blindWait = 2 * kUsPerSecond;    // S6: before the first digit
    SimUs commaPause = 2 * kUsPerSecond;   // S8: each ","
    SimUs dialToneWait = 2500 * kUsPerMs;  // each "W"
};

struct DialStagePlan {
    QByteArray digits;  // what the exchange receives: 0-9, *, #, A-D
    SimUs firstDigit = 0;
    SimUs end = 0;
};

struct DialPlan {
    std::vector<DialStagePlan> stages;
    SimUs end = 0;
};

// The stages of the dial string (as it follows "ATD", without ";") dialled from `start`.
// Digits take the pulse or tone time of the program's own dialling estimate; the modem dials
// by tone unless a "P" says otherwise.
DialPlan planDial(const QByteArray& dialString, SimUs start, const DialTiming& timing);

}  // namespace zev7
