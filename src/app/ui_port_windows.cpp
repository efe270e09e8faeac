#include "app/ui_port_windows.h"

#include "core/program_dir.h"
#include "core/strings.h"
#include "scenario/user_messages.h"
#include "ui/port/supervisor_port_control.h"
#include "ui/port/tform_data.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QTabWidget>

namespace zev7 {

namespace {

QString scenarioFilter() {
    return txt(str::ScenarioFilesFilter) + QStringLiteral(" (*.scn);;") + txt(str::AllFilesFilter) +
           QStringLiteral(" (*)");
}

TForm_Data* form(QWidget* window) {
    return qobject_cast<TForm_Data*>(window);
}

}  // namespace

UiPortWindows::UiPortWindows(PortViewRouter& router, PortSupervisor& supervisor,
                             UserMessages& messages, IniFile& ini,
                             std::function<bool()> portsAvailable, GraphWindows* graphs)
    : router_(router),
      supervisor_(supervisor),
      messages_(messages),
      ini_(ini),
      portsAvailable_(std::move(portsAvailable)),
      programStart_(QDateTime::currentDateTime()),
      graphs_(graphs) {}

QWidget* UiPortWindows::create(int port) {
    return createPortWindow(port, supervisor_, router_, messages_, &ini_, portsAvailable_,
                            programStart_, graphs_);
}

int UiPortWindows::portOf(const QWidget* window) const {
    const auto* w = qobject_cast<const TForm_Data*>(window);
    return w != nullptr ? w->port() : 0;
}

void UiPortWindows::command(QWidget* window, ScenarioCommand command) {
    TForm_Data* w = form(window);
    if (w == nullptr) {
        return;
    }
    switch (command) {
        case ScenarioCommand::New:
            w->newScenario();
            break;
        case ScenarioCommand::Open:
            openScenarioAsked(w);
            break;
        case ScenarioCommand::Save:
            saveScenarioAsked(w);
            break;
        case ScenarioCommand::AddCycle:
            w->addCycle();
            break;
        case ScenarioCommand::InsertCycle:
            w->insertCycle();
            break;
        case ScenarioCommand::DeleteCycle:
            w->deleteCycle();
            break;
        case ScenarioCommand::Start:
            w->start();
            break;
        case ScenarioCommand::Restart:
            w->restart();
            break;
        case ScenarioCommand::Stop:
            w->stop();
            break;
    }
}

PortCommandState UiPortWindows::commands(const QWidget* window) const {
    const auto* w = qobject_cast<const TForm_Data*>(window);
    return w != nullptr ? w->commandState() : PortCommandState{};
}

void UiPortWindows::onStateChanged(QWidget* window, std::function<void()> changed) {
    if (TForm_Data* w = form(window)) {
        connect(w, &TForm_Data::commandStateChanged, this, std::move(changed));
    }
}

void UiPortWindows::activated(QWidget* window) {
    if (TForm_Data* w = form(window)) {
        w->activate();
    }
}

bool UiPortWindows::loadScenario(QWidget* window, const QString& path) {
    TForm_Data* w = form(window);
    return w != nullptr && w->openScenario(path);
}

void UiPortWindows::startAnswering(QWidget* window) {
    if (TForm_Data* w = form(window)) {
        w->pages()->setCurrentIndex(TForm_Data::AnswerModemPage);
        w->setAndMonitor();
    }
}

void UiPortWindows::applyDefaults(QWidget* window) {
    if (TForm_Data* w = form(window)) {
        w->restoreLayout();
    }
}

void UiPortWindows::reloadPlacement(QWidget* window) {
    applyDefaults(window);
}

void UiPortWindows::openScenarioAsked(TForm_Data* w) {
    const QString file = QFileDialog::getOpenFileName(
        w, txt(str::ScenarioOpenTitle), programPath(QStringLiteral("Scenar")), scenarioFilter());
    if (!file.isEmpty()) {
        w->openScenario(file);
    }
}

void UiPortWindows::saveScenarioAsked(TForm_Data* w) {
    QString start = programPath(QStringLiteral("Scenar"));
    for (;;) {
        QString file =
            QFileDialog::getSaveFileName(w, txt(str::ScenarioSaveTitle), start, scenarioFilter(),
                                         nullptr, QFileDialog::DontConfirmOverwrite);
        if (file.isEmpty()) {
            return;
        }
        if (QFileInfo(file).suffix().isEmpty()) {
            file += QStringLiteral(".scn");
        }
        if (QFileInfo::exists(file) &&
            !messages_.askYesNo(txt(str::ScenarioExistsName) + QStringLiteral(" '") +
                                QFileInfo(file).fileName() + QStringLiteral("' ") +
                                txt(str::ScenarioExistsOverwrite))) {
            start = file;
            continue;
        }
        w->saveScenarioAs(file);
        return;
    }
}

}  // namespace zev7
