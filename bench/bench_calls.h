// The numbers, the cycle and the test calls the writer benchmarks store: a cycle that never
// reaches its end, and calls 40 s apart with the levels of a good line.
#pragma once

#include "core/text_codec.h"
#include "db/db_records.h"
#include "scenario/ole_date.h"
#include "scenario/records.h"

#include <QString>
#include <cstring>

namespace zev7::bench {

inline TelNumber benchNumber(const QString& cityCode, const QString& numOnAtx) {
    TelNumber n;
    std::memset(&n, 0, sizeof n);
    for (int f = 0; f < kNumberFieldCount; ++f) {
        setFieldText(n.fields[f], QStringLiteral("-"));
    }
    setFieldText(n.fields[CODE_CITY], cityCode);
    setFieldText(n.fields[NUM_ON_ATX], numOnAtx);
    setFieldText(n.text, QStringLiteral("-/-/") + cityCode + QStringLiteral("/-/-/") + numOnAtx +
                             QStringLiteral("/-"));
    return n;
}

inline CycleRecord endlessCycle(const TelNumber& inNumber) {
    CycleRecord cycle;
    std::memset(&cycle, 0, sizeof cycle);
    cycle.inNumber = inNumber;
    cycle.minAttempts = 1 << 30;
    cycle.maxAttempts = 1 << 30;
    cycle.aaNominalLevel = -10;
    return cycle;
}

// The n-th call of a cycle that started at cycleStart (an OLE date-time).
inline DbCallRecord benchCall(double cycleStart, int n, ResultCode outcome) {
    DbCallRecord call;
    call.start = cycleStart + n * 40.0 / kSecondsPerDay;
    call.end = call.start + 25.0 / kSecondsPerDay;
    call.duration = call.end - call.start;
    call.outcome = outcome;
    call.answerLevel = -24.0;
    call.dialToneLevel = -12.0;
    call.ringbackLevel = -17.0;
    return call;
}

}  // namespace zev7::bench
