// Header and cycle fields set by their record names ("runCount", "minAttempts", ...), each
// value checked against the range its settings window allows. zev7-scn prepares scenarios for
// batch runs with it.
#pragma once

#include "scenario/records.h"

#include <QString>
#include <QStringList>

namespace zev7 {

// Each returns an error text for the user, empty when the field was set.
//
// Header: runCount, repeatMode, repeatInterval (minutes or "hhh:mm"), baseTime
// ("dd.mm.yy hh:mm"), finishedCycles, aaBetweenCycles, aaLevel, aaFrequency, aaRings,
// aaSignalTime, aaDelayOn, aaDelayOff, toneCheck (0 off; any other value ticks the check,
// which listens in the band of aaFrequency), toneLevel.
QString setHeaderField(ScenarHeader& header, const QString& name, const QString& value);

// Cycle: startFrom, startUntil ("dd.mm.yy hh:mm", absolute, stored relative to the base
// time), the attempts, norms, thresholds, timings and answering-station fields by their
// names, holdMask, holdCount[k] (k = 0..11), numEnum[k] (k = 0..6 in field order: "off" or
// "END:STEP"), state. overloadPeriodMax, anyEnum and estimatedDuration follow by themselves.
QString setCycleField(CycleRecord& cycle, double baseTime, const QString& name,
                      const QString& value);

// What the settings windows keep in order between fields: the start window, the attempts,
// the answer-signal duration and the cadence periods. Empty when the cycle is consistent.
QString checkCycleOrder(const CycleRecord& cycle, double baseTime);

// After a cycle's settings were stored: overloadPeriodMax := busyPeriodMin, anyEnum and the
// estimated duration recomputed.
void finishCycleSettings(CycleRecord& cycle);

QStringList headerFieldNames();
QStringList cycleFieldNames();

}  // namespace zev7
