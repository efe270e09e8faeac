#include "ui/model/port_scenario_document.h"

#include "core/port_run_marker.h"
#include "core/strings.h"
#include "scenario/ole_date.h"
#include "scenario/scenar_class.h"
#include "scenario/scenario_file.h"
#include "scenario/user_messages.h"

#include <QDir>
#include <QFile>

namespace zev7 {

PortScenarioDocument::PortScenarioDocument(int port, UserMessages& messages,
                                           const QDateTime& programStart, QObject* parent)
    : QObject(parent),
      port_(port),
      messages_(messages),
      scenario_(std::make_unique<TScenarClass>(messages, programStart)) {}

PortScenarioDocument::~PortScenarioDocument() = default;

bool PortScenarioDocument::running() const {
    return scenario_->running();
}

QString PortScenarioDocument::workingCopyPath() const {
    return zev7::workingCopyPath(port_);
}

void PortScenarioDocument::edited(Changes what) {
    emit changed(what);
}

void PortScenarioDocument::setRunning(bool running) {
    if (scenario_->running() == running) {
        return;
    }
    scenario_->setRunning(running);
    emit changed(Running);
}

void PortScenarioDocument::setCurrentIndex(int index) {
    if (index == scenario_->currentIndex()) {
        return;
    }
    scenario_->setCurrentIndex(index);
    emit changed(CurrentCycle);
}

bool PortScenarioDocument::loadWorkingCopy() {
    const QString path = workingCopyPath();
    if (!QFile::exists(path)) {
        return false;
    }
    const int selected = scenario_->currentIndex();
    scenario_->LoadFromFile(path);
    if (scenario_->cycleCount() > 0) {
        scenario_->setCurrentIndex(qBound(0, selected, scenario_->cycleCount() - 1));
    }
    keepBaseTimeInWholeMinutes();
    emit changed(Everything);
    return true;
}

bool PortScenarioDocument::load(const QString& path) {
    if (scenario_->running() || !scenario_->LoadFromFile(path)) {
        return false;
    }
    keepBaseTimeInWholeMinutes();
    writeWorkingCopy();
    emit changed(Everything);
    return true;
}

void PortScenarioDocument::clear() {
    if (scenario_->running()) {
        return;
    }
    scenario_->Clear();
    keepBaseTimeInWholeMinutes();
    emit changed(Everything);
}

bool PortScenarioDocument::storeHeader(const ScenarHeader& header) {
    const bool moved = header.baseTime != scenario_->header().baseTime;
    scenario_->header() = header;
    const bool written = writeWorkingCopy();
    // The cycles' start windows count from the base time: the settings window shows them as
    // they now stand, never an old window that its own "Установить" would write back.
    emit changed(moved ? Changes(Header | Times) : Changes(Header));
    return written;
}

bool PortScenarioDocument::storeAnswerSettings() {
    const bool written = writeWorkingCopy();
    emit changed(AnswerStation);
    return written;
}

bool PortScenarioDocument::storeCurrentCycle(int row, const CycleRecord& cycle) {
    CycleRecord* current = scenario_->editableCurrentCycle();
    if (current == nullptr || scenario_->running() || scenario_->currentIndex() != row) {
        return false;
    }
    *current = cycle;
    const bool written = writeWorkingCopy();
    emit changed(Cycles | Times);
    return written;
}

bool PortScenarioDocument::moveCycleStart(int cycleIndex, double startFrom, double startUntil) {
    if (scenario_->running() || cycleIndex < 0 || cycleIndex >= scenario_->cycleCount()) {
        return false;
    }
    CycleRecord& cycle = scenario_->cycle(cycleIndex);
    cycle.startFrom = startFrom;
    cycle.startUntil = startUntil;
    const bool written = writeWorkingCopy();
    emit changed(Times);
    return written;
}

void PortScenarioDocument::keepBaseTimeInWholeMinutes() {
    // The base time is kept in whole minutes, as the port window shows it.
    ScenarHeader& h = scenario_->header();
    h.baseTime = toWholeMinutes(h.baseTime);
}

bool PortScenarioDocument::writeWorkingCopy() {
    // A port that another program runs has its working copy written by that program's thread
    // (the states of its finished cycles): an edit here must not overwrite them.
    const bool ownRun = runMarker_ && runMarker_->held();
    if (!ownRun && !takeRunMarker()) {
        return false;
    }
    const bool written = scenario_->SaveToFile(workingCopyPath());
    if (!ownRun) {
        runMarker_.reset();
    }
    return written;
}

bool PortScenarioDocument::takeRunMarker() {
    if (runMarker_ && runMarker_->held()) {
        return true;
    }
    auto marker = std::make_unique<PortRunMarker>(port_);
    if (!marker->acquire()) {
        messages_.error(txt(str::RunPortBusy)
                            .arg(port_)
                            .arg(QDir::toNativeSeparators(PortRunMarker::path(port_))));
        return false;
    }
    runMarker_ = std::move(marker);
    return true;
}

void PortScenarioDocument::releaseRunMarker() {
    runMarker_.reset();
}

}  // namespace zev7
