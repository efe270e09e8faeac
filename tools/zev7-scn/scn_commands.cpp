#include "scn_commands.h"

#include "scenario_printer.h"

#include "core/strings.h"
#include "scenario/cycle_duration.h"
#include "scenario/number_editor_rules.h"
#include "scenario/scenar_class.h"
#include "scenario/scenario_fields.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_validator.h"
#include "scenario/tel_number.h"
#include "scenario/user_messages.h"

#include <QDateTime>
#include <algorithm>
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

// Which number the editor's OK goes to.
enum class NumberTarget { NewLastCycle, NewCycleBefore, CycleIn, Outgoing };

// Cycle K (1-based) must exist; an empty scenario still shows one (empty) row to insert at.
bool cycleExists(const TScenarClass& scenario, int number, bool emptyRowCounts,
                 UserMessages& messages) {
    const int rows = emptyRowCounts ? std::max(1, scenario.cycleCount()) : scenario.cycleCount();
    if (number < 1 || number > rows) {
        messages.error(txt(str::ScnNoCycle).arg(number).arg(scenario.cycleCount()));
        return false;
    }
    return true;
}

// The editor changes a field's text: an enumeration that has lost its start value is switched
// off, and one in progress starts again from the new text rather than coming back to the old
// number when it runs out.
void followNumberChange(CycleRecord& cycle, const NumberFields& typed) {
    for (int i = 0; i < kNumberFieldCount; ++i) {
        NumEnum& entry = cycle.numEnum[i];
        enumOnTextChange(entry, typed[i]);
        if (normalizeField(typed[i]) != numberField(cycle.inNumber, i)) {
            std::fill(std::begin(entry.savedText), std::end(entry.savedText), '\0');
        }
    }
}

// The number editor's OK: on a cycle added as Add does it, on one inserted before cycle K as
// Insert does it (a copy of cycle K, the selected row), on cycle K's incoming number, or on
// the outgoing number. A refused number leaves the file as it was, as the editor's Cancel
// takes an added cycle away again.
int cmdNumber(const QString& path, NumberTarget target, int cycleNumber, const QString& number,
              UserMessages& messages) {
    TScenarClass scenario(messages, startOfThisMinute());
    if (!scenario.LoadFromFile(path)) {
        return kExitRefused;
    }
    const bool insert = target == NumberTarget::NewCycleBefore;
    if ((insert || target == NumberTarget::CycleIn) &&
        !cycleExists(scenario, cycleNumber, insert, messages)) {
        return kExitRefused;
    }
    std::optional<NumberFields> fields = parseNumber(number, messages);
    if (!fields) {
        return kExitRefused;
    }
    int index = -1;
    switch (target) {
        case NumberTarget::NewLastCycle:
            if (!scenario.AddCycle()) {
                return kExitRefused;
            }
            index = scenario.currentIndex();
            break;
        case NumberTarget::NewCycleBefore:
            scenario.setCurrentIndex(cycleNumber - 1);
            if (!scenario.InsertCycle(cycleNumber - 1)) {
                return kExitRefused;
            }
            index = scenario.currentIndex();
            break;
        case NumberTarget::CycleIn:
            index = cycleNumber - 1;
            followNumberChange(scenario.cycle(index), *fields);
            break;
        case NumberTarget::Outgoing:
            break;
    }
    if (!acceptNumberEdit(*fields, scenario.header(), scenario.cycles(), index, messages)) {
        return kExitRefused;
    }
    scenario.updateEstimates();
    return scenario.SaveToFile(path) ? kExitOk : kExitRefused;
}

// Delete cycle on one selected row; the last cycle going leaves a new, empty scenario.
int cmdDeleteCycle(const QString& path, int cycleNumber, UserMessages& messages) {
    TScenarClass scenario(messages, startOfThisMinute());
    if (!scenario.LoadFromFile(path) || !cycleExists(scenario, cycleNumber, false, messages)) {
        return kExitRefused;
    }
    scenario.DeleteCycle(cycleNumber - 1);
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
    if (!args.isEmpty() && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        std::fprintf(stdout, "%s\n", txt(str::ScnUsage).toUtf8().constData());
        return kExitOk;
    }
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
        return cmdNumber(path, NumberTarget::NewLastCycle, 0, rest[0], messages);
    }
    if (command == QLatin1String("set-out") && rest.size() == 1) {
        return cmdNumber(path, NumberTarget::Outgoing, 0, rest[0], messages);
    }
    bool k = false;  // the first argument is a cycle number
    const int cycleNumber = rest.isEmpty() ? 0 : rest[0].toInt(&k);
    if (command == QLatin1String("insert-cycle") && rest.size() == 2 && k) {
        return cmdNumber(path, NumberTarget::NewCycleBefore, cycleNumber, rest[1], messages);
    }
    if (command == QLatin1String("set-in") && rest.size() == 2 && k) {
        return cmdNumber(path, NumberTarget::CycleIn, cycleNumber, rest[1], messages);
    }
    if (command == QLatin1String("delete-cycle") && rest.size() == 1 && k) {
        return cmdDeleteCycle(path, cycleNumber, messages);
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
