#include "core/named_mutex.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace zev7 {

bool NamedMutex::lock(const Clock& clock) {
    const double scale = clock.scale() > 0.0 ? clock.scale() : 1.0;
    const double realMs = std::ceil(static_cast<double>(kNamedMutexWaitMs) / scale);
    return mutex_.tryLock(static_cast<int>(std::clamp(realMs, 1.0, static_cast<double>(INT_MAX))));
}

}  // namespace zev7
