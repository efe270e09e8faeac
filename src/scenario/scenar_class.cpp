#include "scenario/scenar_class.h"

#include "core/strings.h"
#include "scenario/cycle_duration.h"
#include "scenario/number_editor_rules.h"
#include "scenario/ole_date.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_templates.h"
#include "scenario/user_messages.h"

#include <algorithm>
#include <new>

namespace zev7 {

TScenarClass::TScenarClass(UserMessages& messages, const QDateTime& programStart)
    : messages_(messages), programStart_(toOleDate(programStart)) {
    Clear();
}

const CycleRecord& TScenarClass::currentCycle() const {
    return current_ < 0 ? templateCycle() : cycles_[static_cast<std::size_t>(current_)];
}

CycleRecord* TScenarClass::editableCurrentCycle() {
    return current_ < 0 ? nullptr : &cycles_[static_cast<std::size_t>(current_)];
}

void TScenarClass::setCurrentIndex(int index) {
    current_ = cycles_.empty() ? -1 : std::clamp(index, 0, cycleCount() - 1);
}

bool TScenarClass::insertCopyOfCurrent(std::size_t position) {
    CycleRecord copy = currentCycle();
    copy.state = static_cast<std::int32_t>(CycleState::Waiting);
    for (NumEnum& entry : copy.numEnum) {
        entry.on = 0;
    }
    updateAnyEnum(copy);
    try {
        cycles_.insert(cycles_.begin() + static_cast<std::ptrdiff_t>(position), copy);
    } catch (const std::bad_alloc&) {
        messages_.error(txt(str::ScenarioNoMemory));
        return false;
    }
    header_.cycleCount = static_cast<std::int32_t>(cycles_.size());
    header_.finishedCycles = 0;
    current_ = static_cast<int>(position);
    return true;
}

bool TScenarClass::AddCycle() {
    return insertCopyOfCurrent(cycles_.size());
}

bool TScenarClass::InsertCycle(int index) {
    return insertCopyOfCurrent(static_cast<std::size_t>(std::clamp(index, 0, cycleCount())));
}

bool TScenarClass::DeleteCycle(int index) {
    if (index < 0 || index >= cycleCount()) {
        return false;
    }
    const auto position = static_cast<std::size_t>(index);
    if (cycles_[position].state > static_cast<std::int32_t>(CycleState::Postponed)) {
        header_.finishedCycles = std::max(0, header_.finishedCycles - 1);
    }
    cycles_.erase(cycles_.begin() + static_cast<std::ptrdiff_t>(position));
    header_.cycleCount = static_cast<std::int32_t>(cycles_.size());
    if (cycles_.empty()) {
        Clear();
    } else {
        current_ = std::min(index, cycleCount() - 1);
    }
    return true;
}

void TScenarClass::Clear() {
    cycles_.clear();  // keeps its block for the next cycles
    header_ = templateHeader(programStart_);
    current_ = -1;
}

bool TScenarClass::SaveToFile(const QString& path) {
    return writeScenarioFile(path, header_, cycles_, messages_);
}

bool TScenarClass::LoadFromFile(const QString& path) {
    ScenarioFileContent content = readScenarioFile(path);
    if (content.status != ScenarioFileStatus::Ok) {
        reportScenarioReadFailure(content, path, messages_);
        return false;
    }
    header_ = content.header;
    cycles_ = std::move(content.cycles);
    current_ = cycleCount() - 1;
    updateEstimates();
    return true;
}

void TScenarClass::prepareStart() {
    header_.finishedCycles = 0;
    for (CycleRecord& c : cycles_) {
        if (c.state != static_cast<std::int32_t>(CycleState::Excluded)) {
            c.state = static_cast<std::int32_t>(CycleState::Waiting);
        }
    }
}

int TScenarClass::excludedCycles() const {
    return static_cast<int>(std::count_if(cycles_.begin(), cycles_.end(), [](const CycleRecord& c) {
        return c.state == static_cast<std::int32_t>(CycleState::Excluded);
    }));
}

bool TScenarClass::canRestart() const {
    return header_.finishedCycles >= 1 && header_.finishedCycles < cycleCount() - excludedCycles();
}

void TScenarClass::updateEstimates() {
    for (CycleRecord& c : cycles_) {
        updateEstimatedDuration(c);
    }
}

}  // namespace zev7
