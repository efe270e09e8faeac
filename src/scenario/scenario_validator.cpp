#include "scenario/scenario_validator.h"

#include "core/strings.h"
#include "core/text_codec.h"
#include "scenario/number_editor_rules.h"
#include "scenario/scenario_fields.h"
#include "scenario/scenario_ranges.h"
#include "scenario/tel_number.h"

#include <algorithm>
#include <cmath>

namespace zev7 {

namespace {

// Dates the windows can show: 01.01.0100 .. 31.12.9999 as OLE day numbers.
constexpr double kFirstOleDay = -657434.0;
constexpr double kLastOleDay = 2958466.0;

QString num(double v) {
    return QString::number(v, 'g', 10);
}

bool inRange(double v, double min, double max) {
    return std::isfinite(v) && v >= min && v <= max;  // NaN fails every comparison
}

template <std::size_t N>
QString checkTable(const void* record, const NumericField (&table)[N], const char* ownCheck) {
    for (const NumericField& f : table) {
        const double v = numericValue(record, f);
        const QString name = QLatin1String(f.name);
        if (name == QLatin1String(ownCheck)) {
            if (!std::isfinite(v)) {
                return txt(str::ScenarioDamagedValue).arg(name, num(v));
            }
            continue;
        }
        if (!inRange(v, f.min, f.max)) {
            return txt(str::FieldOutOfRange).arg(name, num(v), num(f.min), num(f.max));
        }
        if (name == QLatin1String("aaFrequency") && inFrequencyGap(v)) {
            return txt(str::FieldFrequencyGap).arg(name, num(v));
        }
    }
    return {};
}

QString checkDate(const char* name, double day) {
    return inRange(day, kFirstOleDay, kLastOleDay)
               ? QString()
               : txt(str::FieldBadDate).arg(QLatin1String(name), num(day));
}

// Symbols a field of a stored number may hold: those the editor lets the user type, and a
// lone "-" for an empty field.
QString checkFieldSymbols(int field, const QString& text) {
    if (cleanTypedField(text, field).wrongSymbols == 0) {
        return {};
    }
    return txt(str::NumberFieldBadSymbols).arg(numberFieldLabel(field), text);
}

QString checkEnumeration(const CycleRecord& c) {
    for (int k = 0; k < kNumberFieldCount; ++k) {
        const NumEnum& e = c.numEnum[k];
        if (e.on == 0) {
            continue;
        }
        const std::int32_t step = e.step;
        const std::int32_t end = e.endValue;
        if (e.on != 1 || step == 0 || step < -kEnumStepLimit || step > kEnumStepLimit || end < 0 ||
            end > kEnumEndMaximum) {
            return txt(str::NumberEnumBad).arg(numberFieldLabel(k)).arg(end).arg(step);
        }
        const QString saved = fieldText(e.savedText);
        if (!saved.isEmpty()) {
            if (QString error = checkFieldSymbols(k, saved); !error.isEmpty()) {
                return error;
            }
        }
    }
    return {};
}

}  // namespace

QString validateNumber(const TelNumber& number) {
    for (int k = 0; k < kNumberFieldCount; ++k) {
        if (QString error = checkFieldSymbols(k, numberField(number, k)); !error.isEmpty()) {
            return error;
        }
    }
    return {};
}

QString validateHeader(const ScenarHeader& h) {
    QString error = validateNumber(h.outNumber);
    if (error.isEmpty()) {
        // A sensitivity outside the modem's range is brought to its nearest value when the
        // station is set up.
        error = checkTable(&h, kHeaderFields, "toneLevel");
    }
    if (error.isEmpty()) {
        error = checkDate("baseTime", h.baseTime);
    }
    if (error.isEmpty() && (h.repeatInterval < 0 || h.repeatInterval > kMaxRepeatMinutes)) {
        error = txt(str::FieldBadInterval)
                    .arg(QStringLiteral("repeatInterval"), QString::number(h.repeatInterval));
    }
    if (error.isEmpty() && h.toneCheck > kMaxToneCheck) {
        error = txt(str::FieldOutOfRange)
                    .arg(QStringLiteral("toneCheck"), QString::number(h.toneCheck), num(0),
                         num(kMaxToneCheck));
    }
    return error;
}

QString validateCycle(const CycleRecord& c, double baseTime) {
    QString error = validateNumber(c.inNumber);
    if (error.isEmpty()) {
        error = checkEnumeration(c);
    }
    if (error.isEmpty()) {
        // A station frequency the modem's filters cannot hear cancels its cycle with its own
        // message when the port starts; the other cycles still run.
        error = checkTable(&c, kCycleFields, "aaFrequency");
    }
    for (int k = 0; k < kHoldEventCount && error.isEmpty(); ++k) {
        if (c.holdCount[k] < kMinHoldCount || c.holdCount[k] > kMaxHoldCount) {
            error =
                txt(str::FieldOutOfRange)
                    .arg(QStringLiteral("holdCount[%1]").arg(k), QString::number(c.holdCount[k]),
                         num(kMinHoldCount), num(kMaxHoldCount));
        }
    }
    if (error.isEmpty()) {
        error = checkDate("startFrom", baseTime + c.startFrom);
    }
    if (error.isEmpty()) {
        error = checkDate("startUntil", baseTime + c.startUntil);
    }
    if (error.isEmpty() && !inRange(c.estimatedDuration, 0, HUGE_VAL)) {
        error = txt(str::ScenarioDamagedValue)
                    .arg(QStringLiteral("estimatedDuration"), num(c.estimatedDuration));
    }
    if (error.isEmpty()) {
        error = checkCycleOrder(c, baseTime);
    }
    return error;
}

QString validateScenario(const ScenarHeader& header, std::span<const CycleRecord> cycles) {
    QString error = validateHeader(header);
    for (std::size_t i = 0; i < cycles.size() && error.isEmpty(); ++i) {
        const QString problem = validateCycle(cycles[i], header.baseTime);
        if (!problem.isEmpty()) {
            error = txt(str::ScenarioCycleProblem).arg(i + 1).arg(problem);
        }
    }
    return error;
}

void normalizeScenario(ScenarHeader& header, std::span<CycleRecord> cycles) {
    header.finishedCycles = std::clamp<std::int32_t>(header.finishedCycles, 0, header.cycleCount);
    rebuildNumberText(header.outNumber);
    for (CycleRecord& c : cycles) {
        rebuildNumberText(c.inNumber);
    }
}

}  // namespace zev7
