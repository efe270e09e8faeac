#include "engine/cycle/cycle_scheduler.h"

#include "engine/registry/port_registry.h"
#include "scenario/ole_date.h"
#include "scenario/port_event.h"

#include <algorithm>
#include <limits>

namespace zev7 {

namespace {

constexpr std::int32_t state(CycleState s) {
    return static_cast<std::int32_t>(s);
}

// A cycle that may still run in this pass: waiting, postponed or taken up earlier.
bool runnable(const CycleRecord& c) {
    return c.state < state(CycleState::Cancelled) && c.state != state(CycleState::Excluded);
}

}  // namespace

CycleScheduler::CycleScheduler(int port, ScenarHeader& header, std::vector<CycleRecord>& cycles,
                               PortRegistry& registry, const Clock& clock)
    : port_(port), header_(header), cycles_(cycles), registry_(registry), clock_(clock) {}

int CycleScheduler::cyclesToRun() const {
    return static_cast<int>(std::count_if(cycles_.begin(), cycles_.end(), [](const CycleRecord& c) {
        return c.state != state(CycleState::Excluded);
    }));
}

CycleScheduler::Selection CycleScheduler::selectCycle(double nowOle) {
    Selection s;
    NamedMutexLocker lock(registry_.cycleSelectionMutex(), clock_);
    for (std::size_t i = 0; i < cycles_.size(); ++i) {
        CycleRecord& c = cycles_[i];
        if (!runnable(c)) {
            continue;
        }
        const int index = static_cast<int>(i);
        const double start = header_.baseTime + c.startFrom;
        const double end = header_.baseTime + c.startUntil;
        if (end < nowOle) {
            c.state = state(CycleState::Cancelled);
            ++header_.finishedCycles;
            s.changed = true;
            s.events.push_back({PortEvent::CycleCancelledLate, index});
        } else if (start <= nowOle) {
            if (registry_.numberTakenByOther(port_, c.inNumber)) {
                if (c.state != state(CycleState::Postponed)) {
                    c.state = state(CycleState::Postponed);
                    s.events.push_back({PortEvent::CyclePostponed, index});
                }
                continue;
            }
            registry_.claimNumber(port_, c.inNumber);
            c.state = state(CycleState::TakenUp);
            s.cycleIndex = index;
            break;
        }
    }
    return s;
}

CycleScheduler::Repetition CycleScheduler::repeatScenario(double nowOle) {
    if (header_.finishedCycles < cyclesToRun()) {
        return Repetition::NotDue;
    }
    ++executionNumber_;
    if (executionNumber_ > header_.runCount) {
        return Repetition::Complete;
    }
    header_.finishedCycles = 0;
    double earliest = std::numeric_limits<double>::max();
    for (CycleRecord& c : cycles_) {
        if (c.state != state(CycleState::Excluded)) {
            c.state = state(CycleState::Waiting);
        }
        earliest = std::min(earliest, static_cast<double>(c.startFrom));
    }
    const double interval = header_.repeatInterval / kMinutesPerDay;
    if (header_.repeatMode == 1 && !cycles_.empty()) {
        // After completion: the earliest window of the next pass opens one interval from now.
        header_.baseTime = (nowOle - earliest) + interval;
    } else {
        // Relative to the base time: every window moves on by the interval.
        header_.baseTime += interval;
    }
    return Repetition::NextPass;
}

bool CycleScheduler::claimNumber(const TelNumber& number) {
    NamedMutexLocker lock(registry_.cycleSelectionMutex(), clock_);
    if (registry_.numberTakenByOther(port_, number)) {
        return false;
    }
    registry_.claimNumber(port_, number);
    return true;
}

void CycleScheduler::releaseNumber() {
    registry_.releaseNumber(port_);
}

}  // namespace zev7
