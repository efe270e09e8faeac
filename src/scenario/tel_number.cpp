#include "scenario/tel_number.h"

#include "core/strings.h"
#include "core/text_codec.h"
#include "scenario/batch_failure.h"
#include "scenario/user_messages.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace zev7 {

QString numberField(const TelNumber& number, int field) {
    return fieldText(number.fields[field]);
}

void setNumberField(TelNumber& number, int field, const QString& text) {
    setFieldText(number.fields[field], text);
}

QString numberText(const TelNumber& number) {
    return fieldText(number.text);
}

QString JoinNumber(const TelNumber& number, const QString& separator) {
    QStringList parts;
    for (int i = 0; i < kNumberFieldCount; ++i) {
        parts << numberField(number, i);
    }
    return parts.join(separator);
}

void rebuildNumberText(TelNumber& number) {
    setFieldText(number.text, JoinNumber(number, QString::fromLatin1(kNumberSeparator)));
}

void clearNumber(TelNumber& number) {
    for (int i = 0; i < kNumberFieldCount; ++i) {
        setNumberField(number, i, QString::fromLatin1(kEmptyField));
    }
    rebuildNumberText(number);
}

QString DialChars(const QString& field) {
    QString out;
    if (field == QLatin1String(kEmptyField)) {
        return out;
    }
    for (QChar c : field) {
        if (isDialDigit(c) || isToneOnlySymbol(c)) {
            out += c.toUpper();
        }
    }
    return out;
}

QString DialledKey(const TelNumber& n) {
    return DialChars(numberField(n, CODE_CITY)) + DialChars(numberField(n, ADD_CODE)) +
           DialChars(numberField(n, NUM_ATX)) + DialChars(numberField(n, NUM_ON_ATX));
}

bool SameNumber(const TelNumber& a, const TelNumber& b) {
    return DialledKey(a) == DialledKey(b);
}

QString numberProblem(const TelNumber& number, NumberRole role) {
    const bool out = role == NumberRole::Outgoing;
    if (DialChars(numberField(number, NUM_ON_ATX)).isEmpty()) {
        return txt(out ? str::NoNumberOnAtxOut : str::NoNumberOnAtx);
    }
    const bool exchange = !DialChars(numberField(number, NUM_ATX)).isEmpty();
    const bool city = !DialChars(numberField(number, CODE_CITY)).isEmpty();
    if (exchange && !city) {
        return txt(out ? str::NoCityCodeOut : str::NoCityCode);
    }
    if (city && !exchange) {
        return txt(out ? str::NoAtxNumberOut : str::NoAtxNumber);
    }
    return {};
}

bool CheckNumber(const TelNumber& number, NumberRole role, UserMessages& messages) {
    const QString problem = numberProblem(number, role);
    if (problem.isEmpty()) {
        return true;
    }
    messages.error(problem);
    endBatchOnError(messages);
    return false;
}

std::optional<DigitRun> firstDigitRun(const QString& text) {
    const qsizetype begin =
        std::find_if(text.cbegin(), text.cend(), [](QChar c) { return isDialDigit(c); }) -
        text.cbegin();
    if (begin == text.size()) {
        return std::nullopt;
    }
    DigitRun run;
    run.position = begin;
    qsizetype i = begin;
    for (; i < text.size() && isDialDigit(text[i]); ++i) {
        const int d = text[i].unicode() - u'0';
        run.value =
            run.value > (kMaxDigitRunValue - d) / 10 ? kMaxDigitRunValue : run.value * 10 + d;
    }
    run.length = i - begin;
    return run;
}

std::int64_t enumStartValue(const QString& text) {
    const std::optional<DigitRun> run = firstDigitRun(text);
    return run ? run->value : 0;
}

int EnumCount(const NumEnum& entry, const QString& fieldText) {
    if (entry.on == 0) {
        return 1;
    }
    const std::int64_t start = enumStartValue(fieldText);
    const std::int64_t step = entry.step == 0 ? 1 : entry.step;
    // A series whose end lies against its step yields its first number only: that is what
    // NextNumber walks through.
    if ((step > 0 && entry.endValue < start) || (step < 0 && entry.endValue > start)) {
        return 1;
    }
    const std::int64_t count = std::llabs((entry.endValue - start) / step) + 1;
    return static_cast<int>(std::min<std::int64_t>(count, std::numeric_limits<int>::max()));
}

bool NextNumber(CycleRecord& cycle) {
    bool advanced = false;
    for (int field = kNumberFieldCount - 1; field >= 0 && !advanced; --field) {
        NumEnum& entry = cycle.numEnum[field];
        const QString text = numberField(cycle.inNumber, field);
        const std::optional<DigitRun> run = firstDigitRun(text);
        if (entry.on == 0 || !run) {
            continue;
        }
        if (fieldText(entry.savedText).isEmpty()) {
            setFieldText(entry.savedText, text);
        }
        const std::int64_t step = entry.step == 0 ? 1 : entry.step;
        const std::int64_t next = run->value + step;
        QString digits = QString::number(next);
        if (digits.size() < run->length) {
            digits = digits.rightJustified(run->length, QLatin1Char('0'));
        }
        // A count below zero would put a minus sign into the number: the series ends there.
        advanced = next >= 0 && (step < 0 ? next >= entry.endValue : next <= entry.endValue);
        if (advanced) {
            QString changed = text;
            changed.replace(run->position, run->length, digits);
            setNumberField(cycle.inNumber, field, changed);
        } else {
            setNumberField(cycle.inNumber, field, fieldText(entry.savedText));
            setFieldText(entry.savedText, QString());
        }
    }
    rebuildNumberText(cycle.inNumber);
    return advanced;
}

QStringList dialCommands(const TelNumber& number) {
    // A city code in brackets marks a local number: it is shown but not dialled.
    TelNumber dialled = number;
    const QString city = numberField(number, CODE_CITY);
    const qsizetype bracket = city.indexOf(QLatin1Char('('));
    if (bracket >= 0) {
        setNumberField(dialled, CODE_CITY, city.left(bracket));
    }
    QString command = QStringLiteral("ATD") +
                      JoinNumber(dialled, QString::fromLatin1(kNumberSeparator)) + QLatin1Char(';');
    command = command.toUpper();

    QStringList stages;
    qsizetype w = command.indexOf(QLatin1Char('W'));
    while (w >= 0) {
        stages << command.left(w) + QLatin1Char(';');
        command = QStringLiteral("ATD") + command.mid(w + 1);
        w = command.indexOf(QLatin1Char('W'));
    }
    stages << command;
    for (QString& stage : stages) {
        stage.remove(QLatin1Char('/'));
        stage.remove(QLatin1Char('-'));
    }
    return stages;
}

}  // namespace zev7
