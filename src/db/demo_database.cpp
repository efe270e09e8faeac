#include "db/demo_database.h"

#include "core/text_codec.h"
#include "db/db_connection.h"
#include "db/db_save_data.h"
#include "scenario/cycle_end.h"
#include "scenario/ole_date.h"
#include "scenario/records.h"
#include "scenario/result_code.h"

#include <QSqlDatabase>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <random>

namespace zev7 {

namespace {

const QString kDemoConnection = QStringLiteral("ZEV7_demo");

// The answering station's nominal signal level, dBm.
constexpr int kNominalLevel = -10;
// Share of failed calls per thousand, and how they spread over the 13 loss categories.
constexpr int kLossPerMille = 30;
constexpr std::array<int, 13> kCategoryWeights = {8, 3, 2, 3, 1, 1, 6, 4, 2, 5, 1, 2, 1};
// Every this many cycles one is stopped by the user before its end.
constexpr int kInterruptedEvery = 97;

TelNumber makeNumber(const QStringList& parts) {
    TelNumber n;
    std::memset(&n, 0, sizeof n);
    for (int f = 0; f < kNumberFieldCount; ++f) {
        setFieldText(n.fields[f], parts.value(f, QStringLiteral("-")));
    }
    setFieldText(n.text, parts.join(QLatin1Char('/')));
    return n;
}

TelNumber outgoingNumber(int k) {
    return makeNumber({QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("(495)"),
                       QStringLiteral("-"), QString::number(120 + k),
                       QString::number(4500 + k * 11), QStringLiteral("-")});
}

TelNumber incomingNumber(int k) {
    static const char* const kCities[] = {"812", "343", "383", "846", "861"};
    return makeNumber({QStringLiteral("8"), QStringLiteral("W"),
                       QString::fromLatin1(kCities[k % 5]), QStringLiteral("-"),
                       QString::number(200 + k), QString::number(3000 + k * 7),
                       k % 4 == 0 ? QStringLiteral("T#1") : QStringLiteral("-")});
}

ScenarHeader makeHeader(int outgoing) {
    ScenarHeader h;
    std::memset(&h, 0, sizeof h);
    h.outNumber = outgoingNumber(outgoing);
    h.cycleCount = 1;
    h.runCount = 1;
    h.aaLevel = kNominalLevel;
    h.aaFrequency = 1020.0;
    h.aaRings = 1;
    return h;
}

CycleRecord makeCycle(int incoming, int minAttempts, int maxAttempts, double normAtMin) {
    CycleRecord c;
    std::memset(&c, 0, sizeof c);
    c.inNumber = incomingNumber(incoming);
    c.minAttempts = minAttempts;
    c.maxAttempts = maxAttempts;
    c.normAtMin = normAtMin;
    c.normAtMax = normAtMin + 1.0;
    c.dialToneThreshold = -30.0;
    c.ringbackCheck = 1;
    c.ringbackThreshold = -35.0;
    c.answerThreshold = -40.0;
    c.answerMinTime = 1.0;
    c.answerMaxTime = 6.0;
    c.attenuationCheck = 0;
    c.aaNominalLevel = kNominalLevel;
    c.aaFrequency = 1020.0;
    c.aaRings = 1;
    c.aaDelayOn = 1.0;
    c.aaDelayOff = 2.0;
    c.pause = 5.0;
    c.waitTime = 20.0;
    c.ringbackTime = 0.8;
    c.busyPeriodMin = 0.6;
    c.busyPeriodMax = 1.2;
    c.overloadPeriodMin = 0.3;
    c.overloadPeriodMax = 0.6;
    c.attenuationSignalTime = 2.0;
    return c;
}

}  // namespace

DemoDatabaseReport fillDemoDatabase(const DemoDatabaseSpec& spec, UserMessages& messages,
                                    const std::function<void(int)>& progress) {
    DemoDatabaseReport report;
    DbOptions options = DbConnection::options();
    options.syncEveryCommit = false;
    {
        QSqlDatabase db = DbConnection::open(kDemoConnection, options);
        if (!db.isOpen()) {
            report.failures = 1;
            return report;
        }
        std::mt19937 random(spec.seed);
        std::uniform_int_distribution<int> perMille(0, 999);
        std::discrete_distribution<int> category(kCategoryWeights.begin(), kCategoryWeights.end());
        std::normal_distribution<double> dialTone(-12.0, 2.0);
        std::normal_distribution<double> ringback(-17.0, 2.5);
        std::normal_distribution<double> attenuation(14.0, 4.0);
        std::uniform_int_distribution<int> callSeconds(18, 34);
        std::uniform_int_distribution<int> jitterSeconds(0, 600);

        const int outgoingCount = std::max(1, spec.outgoingNumbers);
        const int incomingCount = std::max(1, spec.incomingNumbers);
        const int n = std::max(1, spec.callsPerCycle);
        const qint64 cycleSeconds = static_cast<qint64>(n) * spec.secondsBetweenCalls + 900;

        std::vector<TDBSaveData> writers;
        writers.reserve(static_cast<std::size_t>(outgoingCount));
        std::vector<ScenarHeader> headers;
        for (int o = 0; o < outgoingCount; ++o) {
            writers.emplace_back(messages);
            writers.back().setConnectionName(kDemoConnection, options.station);
            headers.push_back(makeHeader(o));
            writers.back().SaveScenarioStart(headers.back());
        }

        for (int cycleIndex = 0; cycleIndex < spec.cycles; ++cycleIndex) {
            const int port = cycleIndex % outgoingCount;
            const int round = cycleIndex / outgoingCount;
            TDBSaveData& writer = writers[static_cast<std::size_t>(port)];

            std::vector<ResultCode> outcomes(static_cast<std::size_t>(n));
            int losses = 0;
            for (ResultCode& outcome : outcomes) {
                outcome = perMille(random) < kLossPerMille
                              ? kLossOutcomes[static_cast<std::size_t>(category(random))]
                              : ResultCode::Success;
                losses += outcome != ResultCode::Success ? 1 : 0;
            }
            // Cycles within their norm end at the minimum number of attempts; the others run
            // to the maximum; now and then the user stops one early.
            const double normAtMin = 3.0;
            const bool withinNorm = losses * 100.0 / n <= normAtMin;
            const bool interrupted = cycleIndex % kInterruptedEvery == kInterruptedEvery - 1;
            const int maxAttempts = withinNorm || interrupted ? 2 * n : n;
            const CycleRecord cycle = makeCycle((round + port * 7) % incomingCount,
                                                interrupted ? 2 * n : n, maxAttempts, normAtMin);

            const QDateTime start =
                spec.firstStart.addSecs(round * cycleSeconds + port * 60 + jitterSeconds(random));
            writer.SaveCycleStart(toOleDate(start), cycle, headers[static_cast<std::size_t>(port)]);

            int successes = 0;
            int pastDialTone = 0;
            int pastRingback = 0;
            std::array<int, kLossCategoryCount> counts{};
            for (int i = 0; i < n; ++i) {
                const ResultCode outcome = outcomes[static_cast<std::size_t>(i)];
                const QDateTime callStart =
                    start.addSecs(static_cast<qint64>(i) * spec.secondsBetweenCalls);
                const QDateTime callEnd = callStart.addSecs(callSeconds(random));
                DbCallRecord call;
                call.start = toOleDate(callStart);
                call.end = toOleDate(callEnd);
                call.duration = call.end - call.start;
                call.outcome = outcome;
                call.dialToneLevel = outcome == ResultCode::NoDialTone ? -999.0 : dialTone(random);
                call.ringbackLevel = ringbackReached(outcome) ? ringback(random) : -999.0;
                call.answerLevel = answerSignalReached(outcome)
                                       ? kNominalLevel - std::max(0.0, attenuation(random))
                                       : -999.0;
                if (outcome == ResultCode::Success) {
                    ++successes;
                } else {
                    ++counts[static_cast<std::size_t>(lossCategoryIndex(outcome))];
                }
                pastDialTone += dialToneReached(outcome) ? 1 : 0;
                pastRingback += ringbackReached(outcome) ? 1 : 0;
                DbCycleResults results = DbCycleResults::fromCounts(i + 1, successes, counts);
                results.endsAtMinimum = endsAtMinimum(cycle, i + 1, results.lossPercent());
                writer.SaveTestCall(cycle, results, call, i + 1, pastDialTone, pastRingback);
                ++report.calls;
            }
            ++report.cycles;
            if (progress) {
                progress(report.cycles);
            }
        }
        for (const TDBSaveData& w : writers) {
            report.failures += w.failureCount();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(kDemoConnection);
    return report;
}

}  // namespace zev7
