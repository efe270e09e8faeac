// What one test call leaves behind: its outcome, its times and the three levels measured on
// the way (dial tone, ringback, answer signal).
#pragma once

#include "scenario/result_code.h"
#include "teliq/level_decoder.h"

namespace zev7 {

// A level holds kNoLevel (-999) until it is measured; anything at or below -998 is shown as
// not measured.
inline constexpr double kNotMeasuredLimit = -998.0;

inline bool isMeasured(double level) {
    return level > kNotMeasuredLimit;
}

struct CallResult {
    double answerLevel = kNoLevel;  // dBm
    ResultCode outcome = ResultCode::None;
    bool complete = false;            // final and not yet accounted
    double startTime = 0.0;           // OLE date-time of going off-hook
    double endTime = 0.0;             // OLE date-time the call was closed
    double duration = 0.0;            // days
    double dialToneLevel = kNoLevel;  // dBm
    double ringbackLevel = kNoLevel;  // dBm

    // Before every test call: nothing measured, no outcome.
    void reset();
    // The call is closed at this moment.
    void close(double endOleTime);
    // The line's attenuation, dB: the answering station's nominal level minus the level that
    // arrived; kNoLevel while the answer signal was not measured.
    double attenuation(int aaNominalLevelDbm) const;
};

}  // namespace zev7
