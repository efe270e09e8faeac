// What the port window, the live graphs and the report show of a cycle: the row of each test
// call, the cycle result table, the values of the two pies and of the three bar graphs, and
// the line-held question. All are computed from the call result and the cycle statistics.
#pragma once

#include "engine/cycle/cycle_statistics.h"
#include "engine/detect/call_result.h"
#include "scenario/records.h"

#include <QString>
#include <array>
#include <optional>

namespace zev7 {

// A value with 2 decimals as every level, attenuation and percentage is shown.
QString fixed2(double value);
// A level or attenuation, or "----" when it was not measured.
QString measuredText(double value);
// A time of day and a time span (OLE days) as "hh:mm:ss".
QString timeOfDayText(double oleDateTime);
QString durationText(double days);

// The test call's row: number, outcome, attenuation, dial-tone level, ringback level,
// duration, start, end.
inline constexpr int kCallRowColumns = 8;
using CallRowTexts = std::array<QString, kCallRowColumns>;
CallRowTexts callRowTexts(int callNumber, const CallResult& call, int aaNominalLevelDbm);

// The cycle result table: rows 1..19 (index 0 is row 1), each a count and a percentage or
// the norm and the verdict.
inline constexpr int kSummaryRows = 19;
inline constexpr int kSummaryVerdictRow = 5;
inline constexpr int kSummaryFirstCategoryRow = 7;
using SummaryTexts = std::array<std::array<QString, 2>, kSummaryRows>;
SummaryTexts summaryTexts(const CycleStatistics& stats, const CycleRecord& cycle, int callNumber);
// "Норма" or "Ненорма".
QString verdictText(bool meetsNorm);
// The caption of a result table row 1..19 (empty for the separator row 6 and outside).
QString summaryRowLabel(int row);
// The whole table as the window and the report show it: 20 rows of caption, count and
// percentage; row 0 holds the column heads "шт" and "%".
inline constexpr int kResultGridRows = kSummaryRows + 1;
using ResultGrid = std::array<std::array<QString, 3>, kResultGridRows>;
ResultGrid resultGrid(const SummaryTexts& values);

// The two pies: successes against losses, and the 13 loss categories.
struct PieValues {
    std::array<int, 2> calls{};
    std::array<int, kLossCategoryCount> losses{};
};
PieValues pieValues(const CycleStatistics& stats);

// The bars a test call adds to the three graphs (x = the call number): the attenuation of a
// success, the dial-tone level of a call that got past the dial tone, the ringback level of a
// call that got past the ringback. A level that was not measured gives no bar.
struct CallGraphPoints {
    std::optional<double> attenuation;
    std::optional<double> dialToneLevel;
    std::optional<double> ringbackLevel;
};
CallGraphPoints callGraphPoints(const CallResult& call, int aaNominalLevelDbm);

// The line-held question, asked with the line still off-hook.
QString lineHeldCaption(int port);
QString lineHeldText(const QString& outNumberText, const QString& inNumberText, ResultCode outcome);
// Before the question the operator is called with beeps, and the modem's speaker is switched
// on so that the held line can be heard.
inline constexpr int kLineHeldBeeps = 25;
inline constexpr int kLineHeldBeepPauseMs = 50;

}  // namespace zev7
