#include "scn_commands.h"

#include "scenario_printer.h"

#include "core/strings.h"
#include "scenario/cycle_duration.h"
#include "scenario/number_editor_rules.h"
#include "scenario/scenar_class.h"
#include "scenario/scenario_fields.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_validator.h"
#include "scenario/user_messages.h"

#include <QDateTime>
#include <cstdio>
#include <optional>

namespace zev7 {

namespace {

// A new scenario's base time: now, to the minute, as the windows show and edit it.
QDateTime startOfThisMinute() {
    const QDateTime now = QDateTime::currentDateTime();
    return QDateTime(now.date(), QTime(now.time().hour(), now.time().minute()));
}

void printDetail(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

int usage() {
    printDetail(txt(str::ScnUsage));
    return kExitUsage;
}

// NUMBER as typed into the editor's seven fields: typing-checked, at most 19 characters each.
std::optional<NumberFields> parseNumber(const QString& text, UserMessages& messages) {
    const QStringList parts = text.split(QLatin1Char('/'));
    if (parts.size() != kNumberFieldCount) {
        messages.error(txt(str::ScnBadNumber).arg(text));
        return std::nullopt;
    }
    NumberFields fields;
    for (int i = 0; i < kNumberFieldCount; ++i) {
        if (parts[i].size() > kNumberFieldMaxLength) {
            messages.error(txt(str::NumberFieldTooLong).arg(numberFieldLabel(i), parts[i]));
            return std::nullopt;
        }
        const TypedField typed = cleanTypedField(parts[i], i);
        if (typed.wrongSymbols > 0) {
            messages.error(txt(str::WrongSymbol));
            printDetail(txt(str::ScnWrongSymbolField).arg(numberFieldLabel(i), parts[i]));
            return std::nullopt;
        }
        fields[i] = typed.text;
    }
    return fields;
}

int cmdNew(const QString& path, UserMessages& messages) {
    TScenarClass scenario(messages, startOfThisMinute());
    return scenario.SaveToFile(path) ? kExitOk : kExitRefused;
}

// add-cycle and set-out: the number editor's OK on a cycle added as the Add command does it,
// or on the outgoing number.
int cmdNumber(const QString& path, const QString& number, bool outgoing, UserMessages& messages) {
    TScenarClass scenario(messages, startOfThisMinute());
    if (!scenario.LoadFromFile(path)) {
        return kExitRefused;
    }
    std::optional<NumberFields> fields = parseNumber(number, messages);
    if (!fields) {
        return kExitRefused;
    }
    if (!outgoing && !scenario.AddCycle()) {
        return kExitRefused;
    }
    const int index = outgoing ? -1 : scenario.currentIndex();
    if (!acceptNumberEdit(*fields, scenario.header(), scenario.cycles(), index, messages)) {
        return kExitRefused;
    }
    scenario.updateEstimates();
    return scenario.SaveToFile(path) ? kExitOk : kExitRefused;
}

int cmdSet(const QString& path, const QStringList& args, UserMessages& messages) {
    int cycleNumber = 0;
    QStringList assignments;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--cycle")) {
            bool ok = false;
            cycleNumber = i + 1 < args.size() ? args[i + 1].toInt(&ok) : 0;
            if (!ok) {
                return usage();
            }
            ++i;
        } else {
            assignments << args[i];
        }
    }
    if (assignments.isEmpty()) {
        messages.error(txt(str::ScnNothingToSet));
        return kExitUsage;
    }

    TScenarClass scenario(messages, startOfThisMinute());
    if (!scenario.LoadFromFile(path)) {
        return kExitRefused;
    }
    const bool cycleMode = cycleNumber != 0;
    if (cycleMode && (cycleNumber < 1 || cycleNumber > scenario.cycleCount())) {
        messages.error(txt(str::ScnNoCycle).arg(cycleNumber).arg(scenario.cycleCount()));
        return kExitRefused;
    }

    // Every value is checked on a copy; the scenario changes only when all of them pass.
    ScenarHeader header = scenario.header();
    CycleRecord cycle = cycleMode ? scenario.cycle(cycleNumber - 1) : CycleRecord{};
    for (const QString& assignment : assignments) {
        const qsizetype eq = assignment.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            messages.error(txt(str::ScnBadAssignment).arg(assignment));
            return kExitUsage;
        }
        const QString name = assignment.left(eq).trimmed();
        const QString value = assignment.mid(eq + 1);
        const QString error = cycleMode ? setCycleField(cycle, header.baseTime, name, value)
                                        : setHeaderField(header, name, value);
        if (!error.isEmpty()) {
            messages.error(error);
            return kExitRefused;
        }
    }
    // The same check as every reader of the file: what is written here is read back.
    const QString error =
        cycleMode ? validateCycle(cycle, header.baseTime) : validateHeader(header);
    if (!error.isEmpty()) {
        messages.error(error);
        return kExitRefused;
    }
    if (cycleMode) {
        finishCycleSettings(cycle);
        scenario.cycle(cycleNumber - 1) = cycle;
    } else {
        scenario.header() = header;
    }
    return scenario.SaveToFile(path) ? kExitOk : kExitRefused;
}

int cmdShow(const QString& path, UserMessages& messages) {
    const ScenarioFileContent content = readScenarioFile(path);
    if (content.status != ScenarioFileStatus::Ok) {
        reportScenarioReadFailure(content, path, messages);
        return kExitRefused;
    }
    const QString text = describeScenario(path, content.version, content.header, content.cycles);
    std::fputs(text.toUtf8().constData(), stdout);
    return kExitOk;
}

}  // namespace

int runScnCommand(const QStringList& args, UserMessages& messages) {
    if (args.size() < 2) {
        return usage();
    }
    const QString command = args[0];
    const QString path = args[1];
    const QStringList rest = args.mid(2);
    if (command == QLatin1String("new") && rest.isEmpty()) {
        return cmdNew(path, messages);
    }
    if (command == QLatin1String("add-cycle") && rest.size() == 1) {
        return cmdNumber(path, rest[0], false, messages);
    }
    if (command == QLatin1String("set-out") && rest.size() == 1) {
        return cmdNumber(path, rest[0], true, messages);
    }
    if (command == QLatin1String("set")) {
        return cmdSet(path, rest, messages);
    }
    if (command == QLatin1String("show") && rest.isEmpty()) {
        return cmdShow(path, messages);
    }
    return usage();
}

}  // namespace zev7
