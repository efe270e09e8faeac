#include "engine/detect/call_result.h"

namespace zev7 {

void CallResult::reset() {
    *this = CallResult{};
}

void CallResult::close(double endOleTime) {
    endTime = endOleTime;
    duration = endTime - startTime;
}

double CallResult::attenuation(int aaNominalLevelDbm) const {
    if (!isMeasured(answerLevel)) {
        return kNoLevel;
    }
    return aaNominalLevelDbm - answerLevel;
}

}  // namespace zev7
