#include "scenario/number_editor_rules.h"

#include "core/strings.h"
#include "scenario/tel_number.h"
#include "scenario/user_messages.h"

#include <algorithm>
#include <limits>

namespace zev7 {

namespace {

constexpr const char* kFieldLabels[kNumberFieldCount] = {
    str::FieldHierAtx, str::FieldBefCall,  str::FieldCodeCity, str::FieldAddCode,
    str::FieldNumAtx,  str::FieldNumOnAtx, str::FieldAddCall,
};

std::int32_t toInt32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

EnumControls controlsFor(const NumEnum& entry, const QString& fieldText) {
    EnumControls c;
    c.enabled = enumStartValue(fieldText) >= 1;
    c.checked = c.enabled && entry.on != 0;
    c.valuesEnabled = c.checked;
    c.endMaximum = enumEndMaximum(fieldText);
    c.endShown = c.checked ? entry.endValue : 0;
    c.stepShown = c.checked ? entry.step : 1;
    return c;
}

}  // namespace

QString numberFieldLabel(int field) {
    return txt(kFieldLabels[field]);
}

NumberFields numberFields(const TelNumber& number) {
    NumberFields fields;
    for (int i = 0; i < kNumberFieldCount; ++i) {
        fields[i] = numberField(number, i);
    }
    return fields;
}

bool isAcceptedSymbol(QChar c, int field, bool tone) {
    const char16_t u = c.unicode();
    if ((u >= u'0' && u <= u'9') || u == u'P' || u == u'p' || u == u'T' || u == u't' || u == u'W' ||
        u == u'w' || u == u',' || u == u'!' || u == u'-') {
        return true;
    }
    if (u == u'#' || u == u'*' || (u >= u'A' && u <= u'D') || (u >= u'a' && u <= u'd')) {
        return tone;
    }
    if (u == u'(' || u == u')') {
        return field == CODE_CITY;
    }
    return false;
}

TypedField cleanTypedField(const QString& text, int field) {
    TypedField out{text, 0};
    bool restart = true;
    while (restart) {
        restart = false;
        bool tone = false;
        for (qsizetype i = 0; i < out.text.size(); ++i) {
            const QChar c = out.text[i];
            if (!isAcceptedSymbol(c, field, tone)) {
                out.text.remove(i, 1);
                ++out.wrongSymbols;
                restart = true;
                break;
            }
            if (c == QLatin1Char('P') || c == QLatin1Char('p')) {
                tone = false;
            } else if (c == QLatin1Char('T') || c == QLatin1Char('t')) {
                tone = true;
            }
        }
    }
    return out;
}

QString typingCheck(const QString& text, int field, UserMessages& messages) {
    const TypedField typed = cleanTypedField(text, field);
    for (int i = 0; i < typed.wrongSymbols; ++i) {
        messages.error(txt(str::WrongSymbol));
    }
    return typed.text;
}

QString normalizeField(const QString& text) {
    QString t = text;
    if (t.size() > 1) {
        t.remove(QLatin1Char('-'));
    }
    if (!t.isEmpty() && t != QLatin1String(kEmptyField)) {
        const QChar first = t.front();
        if (!QStringLiteral("tTpP(").contains(first)) {
            t.prepend(QLatin1Char('P'));
        }
    }
    if (t.isEmpty()) {
        t = QString::fromLatin1(kEmptyField);
    }
    const qsizetype open = t.indexOf(QLatin1Char('('));
    if (open >= 0) {
        t.remove(0, open);
    }
    const qsizetype close = t.indexOf(QLatin1Char(')'));
    if (close >= 0) {
        t.truncate(close + 1);
    }
    return t;
}

bool acceptNumberEdit(NumberFields& fields, ScenarHeader& header, std::span<CycleRecord> cycles,
                      int cycleIndex, UserMessages& messages) {
    TelNumber edited{};
    for (int i = 0; i < kNumberFieldCount; ++i) {
        fields[i] = normalizeField(fields[i]);
        // The edit holds 19 symbols, but the "P" put in front may make a 20th, which the
        // record has no room for: a digit would silently be lost.
        if (fields[i].size() > kNumberFieldMaxLength) {
            messages.error(txt(str::NumberFieldTooLong).arg(numberFieldLabel(i), fields[i]));
            return false;
        }
        setNumberField(edited, i, fields[i]);
    }
    if (!CheckNumber(edited, NumberRole::Incoming, messages)) {
        return false;
    }
    rebuildNumberText(edited);

    const bool cycleMode = cycleIndex >= 0 && cycleIndex < static_cast<int>(cycles.size());
    if (cycleMode) {
        cycles[cycleIndex].inNumber = edited;
        updateAnyEnum(cycles[cycleIndex]);
    } else {
        header.outNumber = edited;
    }
    for (const CycleRecord& cycle : cycles) {
        if (SameNumber(header.outNumber, cycle.inNumber)) {
            messages.error(txt(str::OutgoingEqualsCycle));
            return false;
        }
    }
    return true;
}

void updateAnyEnum(CycleRecord& cycle) {
    cycle.anyEnum = std::any_of(std::begin(cycle.numEnum), std::end(cycle.numEnum),
                                [](const NumEnum& e) { return e.on == 1; })
                        ? 1
                        : 0;
}

int enumEndMaximum(const QString& fieldText) {
    const std::optional<DigitRun> run = firstDigitRun(fieldText);
    if (!run) {
        return 0;
    }
    std::int64_t maximum = 1;
    for (qsizetype i = 0; i < run->length && maximum <= kEnumEndMaximum; ++i) {
        maximum *= 10;
    }
    return static_cast<int>(std::min<std::int64_t>(maximum - 1, kEnumEndMaximum));
}

std::int32_t clampEnumEnd(std::int64_t value, std::int64_t start, std::int32_t step) {
    if ((step > 0 && value < start) || (step < 0 && value > start)) {
        return toInt32(start);
    }
    return toInt32(value);
}

EnumControls enumOnOpen(NumEnum& entry, const QString& fieldText) {
    if (enumStartValue(fieldText) < 1) {
        entry.on = 0;
    }
    return controlsFor(entry, fieldText);
}

EnumControls enumOnTextChange(NumEnum& entry, const QString& fieldText) {
    const std::int64_t start = enumStartValue(fieldText);
    if (start < 1) {
        entry.on = 0;
    } else {
        entry.endValue = clampEnumEnd(entry.endValue, start, entry.step);
    }
    return controlsFor(entry, fieldText);
}

EnumControls enumOnCheck(NumEnum& entry, const QString& fieldText, bool checked) {
    entry.on = checked && enumStartValue(fieldText) >= 1 ? 1 : 0;
    return controlsFor(entry, fieldText);
}

EnumControls enumOnEndChange(NumEnum& entry, const QString& fieldText, std::int64_t value) {
    if (entry.on != 0) {
        entry.endValue = clampEnumEnd(value, enumStartValue(fieldText), entry.step);
    }
    return controlsFor(entry, fieldText);
}

EnumControls enumOnStepChange(NumEnum& entry, const QString& fieldText, std::int64_t value) {
    if (entry.on != 0) {
        const std::int64_t limited =
            std::clamp<std::int64_t>(value, -kEnumStepLimit, kEnumStepLimit);
        entry.step = limited == 0 ? 1 : static_cast<std::int32_t>(limited);
        entry.endValue = clampEnumEnd(entry.endValue, enumStartValue(fieldText), entry.step);
    }
    return controlsFor(entry, fieldText);
}

}  // namespace zev7
