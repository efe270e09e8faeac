#include "scenario_printer.h"

#include "core/strings.h"
#include "core/text_codec.h"
#include "scenario/cycle_duration.h"
#include "scenario/number_editor_rules.h"
#include "scenario/ole_date.h"
#include "scenario/tel_number.h"

#include <QStringList>

namespace zev7 {

namespace {

// Outcome codes of the line-hold events, bit by bit.
constexpr int kHoldOutcomes[kHoldEventCount] = {-1,   -2,   -3,   -10,   -20,   -30,
                                                -100, -200, -300, -1000, -2000, -3000};

QString num(double v) {
    return QString::number(v, 'g', 10);
}

QString onOff(bool on) {
    return txt(on ? str::ShowOn : str::ShowOff);
}

QString stateName(std::int32_t state) {
    switch (static_cast<CycleState>(state)) {
        case CycleState::Excluded:
            return txt(str::StateExcluded);
        case CycleState::TakenUp:
            return txt(str::StateTakenUp);
        case CycleState::Waiting:
            return txt(str::StateWaiting);
        case CycleState::Postponed:
            return txt(str::StatePostponed);
        case CycleState::Cancelled:
            return txt(str::StateCancelled);
        case CycleState::Done:
            return txt(str::StateDone);
    }
    return QString::number(state);
}

QString repeatModeName(std::int32_t mode) {
    switch (mode) {
        case 0:
            return txt(str::RepeatOnce);
        case 1:
            return txt(str::RepeatAfterEnd);
        case 2:
            return txt(str::RepeatFromBaseTime);
        default:
            return QString::number(mode);
    }
}

QString absolute(double baseTime, double relative) {
    return formatDateTimeMinutes(fromOleDate(baseTime + relative));
}

void describeHeader(QStringList& out, const ScenarHeader& h) {
    out << txt(str::ShowOutNumber).arg(numberText(h.outNumber));
    out << txt(str::RunCountLabel) + QStringLiteral(": ") + QString::number(h.runCount);
    out << txt(str::ShowRepeatMode).arg(h.repeatMode).arg(repeatModeName(h.repeatMode));
    out << txt(str::RepeatIntervalLabel) + QStringLiteral(": ") +
               QString::asprintf("%02d:%02d", h.repeatInterval / 60, h.repeatInterval % 60);
    out << txt(str::ShowBaseTime).arg(formatDateTimeMinutes(fromOleDate(h.baseTime)));
    out << txt(str::ShowFinished).arg(h.finishedCycles);
    out << txt(str::ShowAaBetween).arg(onOff(h.aaBetweenCycles != 0));
    out << txt(str::ShowAaHeader);
    out << txt(str::ShowAaLine)
               .arg(h.aaLevel)
               .arg(num(h.aaFrequency))
               .arg(h.aaRings)
               .arg(num(h.aaSignalTime), num(h.aaDelayOn), num(h.aaDelayOff));
    const QString tone = h.toneCheck == 0
                             ? onOff(false)
                             : onOff(true) + QLatin1Char(' ') + QString::number(h.toneCheck);
    out << txt(str::ShowToneCheck).arg(tone).arg(h.toneLevel);
    out << txt(str::ShowCycleCount).arg(h.cycleCount);
}

void describeCycle(QStringList& out, int number, const CycleRecord& c, double baseTime) {
    out << QString();
    out << txt(str::ShowCycle).arg(number).arg(numberText(c.inNumber));
    out << txt(str::ShowState).arg(c.state).arg(stateName(c.state));
    out << txt(str::ShowWindow)
               .arg(absolute(baseTime, c.startFrom), absolute(baseTime, c.startUntil));
    out << txt(str::ShowAttempts).arg(c.minAttempts).arg(c.maxAttempts);
    out << txt(str::ShowNorms)
               .arg(QString::number(c.normAtMin, 'f', 2))
               .arg(c.minAttempts)
               .arg(QString::number(c.normAtMax, 'f', 2))
               .arg(c.maxAttempts);
    out << txt(str::ShowThresholds)
               .arg(num(c.dialToneThreshold), num(c.ringbackThreshold), onOff(c.ringbackCheck != 0),
                    num(c.answerThreshold));
    out << txt(str::ShowAnswerTime).arg(num(c.answerMinTime), num(c.answerMaxTime));
    out << txt(str::ShowCalledAa)
               .arg(c.aaNominalLevel)
               .arg(num(c.aaFrequency))
               .arg(c.aaRings)
               .arg(num(c.aaDelayOn), num(c.aaDelayOff));
    out << txt(str::ShowAttenuation)
               .arg(onOff(c.attenuationCheck != 0), num(c.attenuationSignalTime));
    out << txt(str::ShowTimings).arg(num(c.pause), num(c.waitTime), num(c.ringbackTime));
    out << txt(str::ShowPeriods)
               .arg(num(c.busyPeriodMin), num(c.busyPeriodMax), num(c.overloadPeriodMin),
                    num(c.overloadPeriodMax), num(c.overloadPeriodMin), num(c.busyPeriodMax));

    QStringList holds;
    for (int k = 0; k < kHoldEventCount; ++k) {
        if ((c.holdMask >> k) & 1U) {
            holds << QStringLiteral("%1 (%2)").arg(kHoldOutcomes[k]).arg(c.holdCount[k]);
        }
    }
    out << txt(str::ShowHold)
               .arg(holds.isEmpty() ? txt(str::ShowHoldNone) : holds.join(QStringLiteral(", ")));

    bool anyEnum = false;
    for (int i = 0; i < kNumberFieldCount; ++i) {
        const NumEnum& e = c.numEnum[i];
        if (e.on == 0) {
            continue;
        }
        anyEnum = true;
        const QString text = numberField(c.inNumber, i);
        const QString saved = fieldText(e.savedText);
        out << txt(str::ShowEnum)
                   .arg(numberFieldLabel(i), saved.isEmpty() ? text : saved)
                   .arg(e.endValue)
                   .arg(e.step)
                   .arg(EnumCount(e, saved.isEmpty() ? text : saved));
    }
    if (!anyEnum) {
        out << txt(str::ShowEnumNone);
    }
    out << txt(str::ShowDuration).arg(formatEstimatedDuration(estimateCycleDuration(c)));
}

}  // namespace

QString describeScenario(const QString& path, const QString& version, const ScenarHeader& header,
                         std::span<const CycleRecord> cycles) {
    QStringList out;
    out << txt(str::ShowFile).arg(path);
    out << txt(str::ShowVersion).arg(version);
    describeHeader(out, header);
    int number = 1;
    for (const CycleRecord& c : cycles) {
        describeCycle(out, number++, c, header.baseTime);
    }
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace zev7
