// The program's read-only template header and template cycle: what a new scenario and the first
// cycle of an empty scenario start from.
#pragma once

#include "scenario/records.h"

namespace zev7 {

// The template header with the given base time (the program's start time) and its outgoing
// number all "-".
ScenarHeader templateHeader(double baseTime);

// The template cycle: all "-" number, enumeration off (step 1), one-hour start window, 100/1000
// attempts, norms 3/2 %, thresholds -17/-17/-27 dBm, a 1020 Hz answering station, state -1.
const CycleRecord& templateCycle();

}  // namespace zev7
