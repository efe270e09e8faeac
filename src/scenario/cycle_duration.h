// How long a cycle will take: shown in the cycle table so the user can lay out the start
// windows of a scenario.
#pragma once

#include "scenario/records.h"

#include <QString>

namespace zev7 {

inline constexpr double kEstimateWaitSeconds = 2.5;     // a W in the number
inline constexpr double kEstimateCommaSeconds = 1.0;    // a "," in the number
inline constexpr double kEstimateRingSeconds = 5.2;     // one ring cadence before the answer
inline constexpr double kEstimateSeizeSeconds = 2.5;    // off-hook and dial tone
inline constexpr double kEstimateReturnToneTail = 0.4;  // after the tone sent back
inline constexpr int kEstimateBusyPeriods = 6;          // clear-back periods awaited
inline constexpr double kEstimateNumberSeconds = 8.0;   // per number, set-up of the cycle

// Seconds one attempt takes: seizure, dialling, ringback, answer signal, release, clear-back
// and the pause.
double attemptSeconds(const CycleRecord& cycle);
// Seconds the whole cycle takes: maxAttempts attempts for every number of its enumeration.
double estimateCycleDuration(const CycleRecord& cycle);
// Stores the estimate into the cycle's estimatedDuration.
void updateEstimatedDuration(CycleRecord& cycle);
// " hh:mm" as the cycle table shows it (" %02d:%02d": whole hours, remaining minutes).
QString formatEstimatedDuration(double seconds);

}  // namespace zev7
