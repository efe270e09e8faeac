// The one check of a scenario's values. Every numeric field lies in the range its settings
// window allows, the pairs those windows keep in order are in order, the dates are dates and
// the numbers hold only symbols the number editor accepts. The file reader (and so the port
// window, the port thread and zev7-scn show) and the zev7-scn commands that change a file all
// use it: a value one of them accepts, all of them accept.
#pragma once

#include "scenario/records.h"

#include <QString>
#include <span>

namespace zev7 {

// Each returns the user's message naming the field and its value, empty when all is sound.
QString validateHeader(const ScenarHeader& header);
QString validateCycle(const CycleRecord& cycle, double baseTime);
QString validateNumber(const TelNumber& number);
// The header, then each cycle; a cycle's message begins with "цикл K:" (K from 1).
QString validateScenario(const ScenarHeader& header, std::span<const CycleRecord> cycles);

// What a file the program wrote itself may carry that is brought into range rather than
// refused: a finished-cycle count left above the number of cycles (done cycles unticked,
// ticked again, then deleted) or below 0, and number display texts that no longer match their
// fields (the modem dials the display text). The header's cycleCount must already be right.
void normalizeScenario(ScenarHeader& header, std::span<CycleRecord> cycles);

}  // namespace zev7
