#include "engine/cycle/cycle_result_texts.h"

#include "core/strings.h"
#include "scenario/ole_date.h"

#include <cmath>

namespace zev7 {

namespace {

constexpr double kMsPerDay = 86400000.0;
constexpr long long kMsPerSecond = 1000;
constexpr int kSecondsPerHour = 3600;
constexpr int kSecondsPerMinute = 60;
constexpr int kVerdictSeparatorRow = 6;

}  // namespace

QString fixed2(double value) {
    QString s = QString::number(value, 'f', 2);
    if (s == QLatin1String("-0.00")) {
        s.remove(0, 1);
    }
    return s;
}

QString measuredText(double value) {
    return isMeasured(value) ? fixed2(value) : txt(str::NotMeasured);
}

QString timeOfDayText(double oleDateTime) {
    return formatTime(fromOleDate(oleDateTime).time());
}

QString durationText(double days) {
    // Whole seconds, as a clock shows them; a span that runs backwards (the clock was set
    // back during the call) shows as zero.
    const long long total =
        days > 0 ? static_cast<long long>(std::round(days * kMsPerDay)) / kMsPerSecond : 0;
    return QStringLiteral("%1:%2:%3")
        .arg(total / kSecondsPerHour, 2, 10, QLatin1Char('0'))
        .arg(total % kSecondsPerHour / kSecondsPerMinute, 2, 10, QLatin1Char('0'))
        .arg(total % kSecondsPerMinute, 2, 10, QLatin1Char('0'));
}

CallRowTexts callRowTexts(int callNumber, const CallResult& call, int aaNominalLevelDbm) {
    return {QString::number(callNumber),
            resultCodeText(call.outcome),
            measuredText(call.attenuation(aaNominalLevelDbm)),
            measuredText(call.dialToneLevel),
            measuredText(call.ringbackLevel),
            durationText(call.duration),
            timeOfDayText(call.startTime),
            timeOfDayText(call.endTime)};
}

QString verdictText(bool meetsNorm) {
    return txt(meetsNorm ? str::VerdictNorm : str::VerdictNotNorm);
}

SummaryTexts summaryTexts(const CycleStatistics& stats, const CycleRecord& cycle, int callNumber) {
    SummaryTexts t;
    t[0] = {QString::number(stats.calls()), fixed2(100.0)};
    t[1] = {QString::number(stats.successes()), fixed2(stats.successPercent())};
    t[2] = {QString::number(stats.losses()), fixed2(stats.lossPercent())};
    t[3] = {QString(), fixed2(CycleStatistics::normInForce(cycle, callNumber))};
    t[kSummaryVerdictRow - 1] = {QString(), verdictText(stats.meetsNorm(cycle, callNumber))};
    t[kVerdictSeparatorRow - 1] = {QString(), QString()};
    for (int i = 0; i < kLossCategoryCount; ++i) {
        t[static_cast<std::size_t>(kSummaryFirstCategoryRow - 1 + i)] = {
            QString::number(stats.categoryCount(i)), fixed2(stats.categoryPercent(i))};
    }
    return t;
}

QString summaryRowLabel(int row) {
    switch (row) {
        case 1:
            return txt(str::SummaryCalls);
        case 2:
            return txt(str::SummarySuccesses);
        case 3:
            return txt(str::SummaryLosses);
        case 4:
            return txt(str::SummaryNorm);
        case kSummaryVerdictRow:
            return txt(str::SummaryVerdict);
        default:
            break;
    }
    if (row >= kSummaryFirstCategoryRow && row <= kSummaryRows) {
        return resultCodeText(
            kLossOutcomes[static_cast<std::size_t>(row - kSummaryFirstCategoryRow)]);
    }
    return {};
}

ResultGrid resultGrid(const SummaryTexts& values) {
    ResultGrid grid;
    grid[0] = {QString(), txt(str::SummaryCountHead), txt(str::SummaryPercentHead)};
    for (int row = 1; row < kResultGridRows; ++row) {
        const auto& v = values[static_cast<std::size_t>(row - 1)];
        grid[static_cast<std::size_t>(row)] = {summaryRowLabel(row), v[0], v[1]};
    }
    return grid;
}

PieValues pieValues(const CycleStatistics& stats) {
    PieValues p;
    p.calls = {stats.successes(), stats.losses()};
    for (int i = 0; i < kLossCategoryCount; ++i) {
        p.losses[static_cast<std::size_t>(i)] = stats.categoryCount(i);
    }
    return p;
}

CallGraphPoints callGraphPoints(const CallResult& call, int aaNominalLevelDbm) {
    CallGraphPoints g;
    const ResultCode o = call.outcome;
    const auto measured = [](double v) -> std::optional<double> {
        return isMeasured(v) ? std::optional<double>(v) : std::nullopt;
    };
    if (o == ResultCode::Success) {
        g.attenuation = measured(call.attenuation(aaNominalLevelDbm));
    }
    if (dialToneReached(o)) {
        g.dialToneLevel = measured(call.dialToneLevel);
    }
    if (ringbackReached(o)) {
        g.ringbackLevel = measured(call.ringbackLevel);
    }
    return g;
}

QString lineHeldCaption(int port) {
    return txt(str::ProgramName) + QStringLiteral(". ") + txt(str::CaptionWarning) +
           QLatin1Char(' ') + txt(str::ProtocolPort) + QStringLiteral(": ") +
           QString::number(port) + QLatin1Char(' ');
}

QString lineHeldText(const QString& outNumberText, const QString& inNumberText,
                     ResultCode outcome) {
    return txt(str::HeldOutgoing) + QLatin1Char(' ') + outNumberText + QLatin1Char('\n') +
           txt(str::HeldIncoming) + QLatin1Char(' ') + inNumberText + QLatin1Char('\n') +
           resultCodeText(outcome) + QLatin1Char('\n') + txt(str::HeldQuestion);
}

}  // namespace zev7
