#include "scenario/scenario_fields.h"

#include "core/strings.h"
#include "scenario/cycle_duration.h"
#include "scenario/number_editor_rules.h"
#include "scenario/ole_date.h"
#include "scenario/scenario_ranges.h"
#include "scenario/tel_number.h"

#include <QRegularExpression>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <optional>

namespace zev7 {

namespace {

constexpr const char* kDerivedCycleFields[] = {"overloadPeriodMax", "anyEnum", "estimatedDuration"};

QString num(double v) {
    return QString::number(v, 'g', 10);
}

QString outOfRange(const QString& name, const QString& value, double min, double max) {
    return txt(str::FieldOutOfRange).arg(name, value, num(min), num(max));
}

// Parses an integer in base 10 (or 16 with "0x", for bit masks).
bool parseInteger(const QString& text, qint64& out) {
    bool ok = false;
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        out = t.mid(2).toLongLong(&ok, 16);
    } else {
        out = t.toLongLong(&ok, 10);
    }
    return ok;
}

QString parseInRange(const QString& name, const QString& value, FieldKind kind, double min,
                     double max, double& out) {
    if (kind == FieldKind::Real) {
        bool ok = false;
        out = value.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(out)) {
            return txt(str::FieldNotNumber).arg(name, value);
        }
    } else {
        qint64 v = 0;
        if (!parseInteger(value, v)) {
            return txt(str::FieldNotInteger).arg(name, value);
        }
        out = static_cast<double>(v);
    }
    if (out < min || out > max) {
        return outOfRange(name, value, min, max);
    }
    return {};
}

// Sets a numeric field from the table; nullopt when the name is not in it.
template <std::size_t N>
std::optional<QString> setNumeric(const NumericField (&table)[N], void* record, const QString& name,
                                  const QString& value) {
    const QByteArray key = name.toLatin1();
    const NumericField* field = findNumericField(table, std::string_view(key.data(), key.size()));
    if (field == nullptr) {
        return std::nullopt;
    }
    double v = 0;
    QString error = parseInRange(name, value, field->kind, field->min, field->max, v);
    if (error.isEmpty() && name == QLatin1String("aaFrequency") && inFrequencyGap(v)) {
        error = txt(str::FieldFrequencyGap).arg(name, value);
    }
    if (error.isEmpty()) {
        setNumericValue(record, *field, v);
    }
    return error;
}

QString parseAbsoluteTime(const QString& name, const QString& value, QDateTime& out) {
    out = parseDateTimeMinutes(value);
    return out.isValid() ? QString() : txt(str::FieldBadDateTime).arg(name, value);
}

QDateTime toMinutes(const QDateTime& t) {
    return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute()));
}

QString setRepeatInterval(ScenarHeader& h, const QString& name, const QString& value) {
    static const QRegularExpression hoursMinutes(QStringLiteral("^\\s*(\\d{1,3}):(\\d{2})\\s*$"));
    const QRegularExpressionMatch m = hoursMinutes.match(value);
    qint64 minutes = -1;
    if (m.hasMatch()) {
        const int mm = m.captured(2).toInt();
        minutes = mm < 60 ? m.captured(1).toInt() * 60 + mm : -1;
    } else if (!parseInteger(value, minutes)) {
        minutes = -1;
    }
    if (minutes < 0 || minutes > kMaxRepeatMinutes) {
        return txt(str::FieldBadInterval).arg(name, value);
    }
    h.repeatInterval = static_cast<std::int32_t>(minutes);
    return {};
}

QString setEnumeration(CycleRecord& c, int field, const QString& name, const QString& value) {
    NumEnum& entry = c.numEnum[field];
    if (value.trimmed().compare(QLatin1String("off"), Qt::CaseInsensitive) == 0) {
        entry.on = 0;
        return {};
    }
    const QStringList parts = value.split(QLatin1Char(':'));
    qint64 end = 0;
    qint64 step = 0;
    if (parts.size() != 2 || !parseInteger(parts[0], end) || !parseInteger(parts[1], step)) {
        return txt(str::FieldBadEnum).arg(name, value);
    }
    const QString text = numberField(c.inNumber, field);
    const std::int64_t start = enumStartValue(text);
    if (start < 1) {
        return txt(str::FieldEnumNoStart).arg(numberFieldLabel(field), text);
    }
    const int endMaximum = enumEndMaximum(text);
    if (end < 0 || end > endMaximum) {
        return outOfRange(name, parts[0], 0, endMaximum);
    }
    if (step < -kEnumStepLimit || step > kEnumStepLimit) {
        return outOfRange(name, parts[1], -kEnumStepLimit, kEnumStepLimit);
    }
    const auto step32 = static_cast<std::int32_t>(step == 0 ? 1 : step);
    if (clampEnumEnd(end, start, step32) != end) {
        return txt(str::FieldEnumEnd).arg(end).arg(start).arg(step32);
    }
    entry.on = 1;
    entry.endValue = static_cast<std::int32_t>(end);
    entry.step = step32;
    return {};
}

// "holdCount[3]" -> 3; -1 when the name is not of that form.
int indexedName(const QString& name, const char* base) {
    static const QRegularExpression indexed(QStringLiteral("^([A-Za-z]+)\\[(\\d{1,2})\\]$"));
    const QRegularExpressionMatch m = indexed.match(name);
    if (!m.hasMatch() || m.captured(1) != QLatin1String(base)) {
        return -1;
    }
    return m.captured(2).toInt();
}

QString checkOrder(const QString& lowName, double low, const QString& highName, double high,
                   const QString& lowText, const QString& highText) {
    return low > high ? txt(str::FieldOrder).arg(lowName, lowText, highName, highText) : QString();
}

QString checkOrder(const char* lowName, double low, const char* highName, double high) {
    return checkOrder(QLatin1String(lowName), low, QLatin1String(highName), high, num(low),
                      num(high));
}

}  // namespace

QString setHeaderField(ScenarHeader& h, const QString& name, const QString& value) {
    if (const std::optional<QString> done = setNumeric(kHeaderFields, &h, name, value)) {
        // A ticked tone check follows the band of the station's frequency.
        if (done->isEmpty() && name == QLatin1String("aaFrequency") && h.toneCheck != 0) {
            h.toneCheck = static_cast<std::uint8_t>(toneBandFor(h.aaFrequency));
        }
        return *done;
    }
    if (name == QLatin1String("repeatInterval")) {
        return setRepeatInterval(h, name, value);
    }
    if (name == QLatin1String("baseTime")) {
        QDateTime t;
        QString error = parseAbsoluteTime(name, value, t);
        if (error.isEmpty()) {
            h.baseTime = toOleDate(t);
        }
        return error;
    }
    double v = 0;
    if (name == QLatin1String("finishedCycles")) {
        QString error = parseInRange(name, value, FieldKind::Int32, 0, h.cycleCount, v);
        if (error.isEmpty()) {
            h.finishedCycles = static_cast<std::int32_t>(v);
        }
        return error;
    }
    if (name == QLatin1String("toneCheck")) {
        QString error = parseInRange(name, value, FieldKind::UInt8, 0, 3, v);
        if (error.isEmpty()) {
            h.toneCheck = static_cast<std::uint8_t>(v == 0 ? 0 : toneBandFor(h.aaFrequency));
        }
        return error;
    }
    if (name == QLatin1String("cycleCount")) {
        return txt(str::FieldDerived).arg(name);
    }
    return txt(str::FieldUnknown).arg(name);
}

QString setCycleField(CycleRecord& c, double baseTime, const QString& name, const QString& value) {
    if (const std::optional<QString> done = setNumeric(kCycleFields, &c, name, value)) {
        return *done;
    }
    if (name == QLatin1String("startFrom") || name == QLatin1String("startUntil")) {
        QDateTime t;
        QString error = parseAbsoluteTime(name, value, t);
        if (!error.isEmpty()) {
            return error;
        }
        const QDateTime base = toMinutes(fromOleDate(baseTime));
        if (name == QLatin1String("startFrom")) {
            if (t < base) {
                return txt(str::FieldStartBeforeBase)
                    .arg(formatDateTimeMinutes(t), formatDateTimeMinutes(base));
            }
            c.startFrom = toOleDate(t) - baseTime;
        } else {
            c.startUntil = toOleDate(t) - baseTime;
        }
        return {};
    }
    if (const int k = indexedName(name, "holdCount"); k >= 0) {
        if (k >= kHoldEventCount) {
            return txt(str::FieldBadIndex).arg(name);
        }
        double v = 0;
        QString error = parseInRange(name, value, FieldKind::UInt8, 1, kMaxHoldCount, v);
        if (error.isEmpty()) {
            c.holdCount[k] = static_cast<std::uint8_t>(v);
        }
        return error;
    }
    if (const int k = indexedName(name, "numEnum"); k >= 0) {
        if (k >= kNumberFieldCount) {
            return txt(str::FieldBadIndex).arg(name);
        }
        return setEnumeration(c, k, name, value);
    }
    for (const char* derived : kDerivedCycleFields) {
        if (name == QLatin1String(derived)) {
            return txt(str::FieldDerived).arg(name);
        }
    }
    return txt(str::FieldUnknown).arg(name);
}

QString checkCycleOrder(const CycleRecord& c, double baseTime) {
    QString error =
        checkOrder(QStringLiteral("startFrom"), c.startFrom, QStringLiteral("startUntil"),
                   c.startUntil, formatDateTimeMinutes(fromOleDate(baseTime + c.startFrom)),
                   formatDateTimeMinutes(fromOleDate(baseTime + c.startUntil)));
    if (error.isEmpty()) {
        error = checkOrder("minAttempts", c.minAttempts, "maxAttempts", c.maxAttempts);
    }
    if (error.isEmpty()) {
        error = checkOrder("answerMinTime", c.answerMinTime, "answerMaxTime", c.answerMaxTime);
    }
    if (error.isEmpty()) {
        error = checkOrder("busyPeriodMin", c.busyPeriodMin, "busyPeriodMax", c.busyPeriodMax);
    }
    if (error.isEmpty()) {
        error =
            checkOrder("overloadPeriodMin", c.overloadPeriodMin, "busyPeriodMin", c.busyPeriodMin);
    }
    return error;
}

void finishCycleSettings(CycleRecord& cycle) {
    // The overload cadence ends where the busy cadence begins.
    cycle.overloadPeriodMax = cycle.busyPeriodMin;
    updateAnyEnum(cycle);
    updateEstimatedDuration(cycle);
}

QStringList headerFieldNames() {
    QStringList names;
    for (const NumericField& f : kHeaderFields) {
        names << QLatin1String(f.name);
    }
    names << QStringLiteral("repeatInterval") << QStringLiteral("baseTime")
          << QStringLiteral("finishedCycles") << QStringLiteral("toneCheck");
    return names;
}

QStringList cycleFieldNames() {
    QStringList names;
    for (const NumericField& f : kCycleFields) {
        names << QLatin1String(f.name);
    }
    names << QStringLiteral("startFrom") << QStringLiteral("startUntil")
          << QStringLiteral("holdCount[k]") << QStringLiteral("numEnum[k]");
    return names;
}

}  // namespace zev7
