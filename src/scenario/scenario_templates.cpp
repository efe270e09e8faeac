#include "scenario/scenario_templates.h"

#include "scenario/tel_number.h"

#include <algorithm>

namespace zev7 {

namespace {

constexpr double kOneHourDays = 1.0 / 24.0;

CycleRecord makeTemplateCycle() {
    CycleRecord c{};
    clearNumber(c.inNumber);
    for (NumEnum& e : c.numEnum) {
        e.on = 0;
        e.endValue = 0;
        e.step = 1;
    }
    c.anyEnum = 0;
    c.startFrom = 0.0;
    c.startUntil = kOneHourDays;
    c.minAttempts = 100;
    c.maxAttempts = 1000;
    c.normAtMin = 3.0;
    c.normAtMax = 2.0;
    c.dialToneThreshold = -17.0;
    c.ringbackCheck = 1;
    c.ringbackThreshold = -17.0;
    c.answerThreshold = -27.0;
    c.answerMinTime = 2.2;
    c.answerMaxTime = 4.0;
    c.attenuationCheck = 0;
    c.aaNominalLevel = -10;
    c.aaFrequency = 1020.0;
    c.aaRings = 2;
    c.aaDelayOn = 2.5;
    c.aaDelayOff = 4.0;
    c.holdMask = 0;
    std::fill(std::begin(c.holdCount), std::end(c.holdCount), std::uint8_t{1});
    c.pause = 4.0;
    c.waitTime = 15.0;
    c.ringbackTime = 0.6;
    c.attenuationSignalTime = 1.0;
    c.busyPeriodMin = 0.5;
    c.busyPeriodMax = 1.2;
    c.overloadPeriodMin = 0.25;
    c.overloadPeriodMax = 0.5;
    c.state = static_cast<std::int32_t>(CycleState::TakenUp);
    c.estimatedDuration = 0.0;
    return c;
}

}  // namespace

ScenarHeader templateHeader(double baseTime) {
    ScenarHeader h{};
    clearNumber(h.outNumber);
    h.cycleCount = 0;
    h.runCount = 1;
    h.repeatMode = 0;
    h.baseTime = baseTime;
    h.finishedCycles = 0;
    h.repeatInterval = 0;
    h.aaBetweenCycles = 0;
    h.aaLevel = -10;
    h.aaFrequency = 1020.0;
    h.aaRings = 2;
    h.aaSignalTime = 3.0;
    h.aaDelayOn = 2.5;
    h.aaDelayOff = 4.0;
    h.toneCheck = 0;
    h.toneLevel = -27;
    return h;
}

const CycleRecord& templateCycle() {
    static const CycleRecord cycle = makeTemplateCycle();
    return cycle;
}

}  // namespace zev7
