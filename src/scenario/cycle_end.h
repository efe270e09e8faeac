// When a cycle ends: at its minimum number of attempts when the losses so far are within the
// norm for the minimum, otherwise at its maximum. The port thread stops calling by this rule and
// hands its decision to the results database with the call (DbCycleResults::endsAtMinimum); the
// demonstration database, which plays the port thread, decides by it too.
#pragma once

#include "scenario/records.h"

namespace zev7 {

inline bool endsAtMinimum(const CycleRecord& cycle, int callNumber, double lossPercent) {
    return callNumber == cycle.minAttempts && lossPercent <= cycle.normAtMin;
}

}  // namespace zev7
