#include "app/ui_port_windows.h"

#include "core/program_dir.h"
#include "core/strings.h"
#include "engine/supervisor/port_supervisor.h"
#include "engine/view/port_view_router.h"
#include "scenario/user_messages.h"
#include "ui/tform_data.h"

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

int SupervisorPortControl::startPort(int port) {
    return supervisor_.startPort(port);
}
bool SupervisorPortControl::stopPort(int port) {
    return supervisor_.stopPort(port);
}
bool SupervisorPortControl::portRunning(int port) const {
    return supervisor_.portRunning(port);
}
int SupervisorPortControl::startAnswerStation(int port, AnswerMode mode) {
    return supervisor_.startAnswerStation(port, mode);
}
bool SupervisorPortControl::stopAnswerStation(int port) {
    return supervisor_.stopAnswerStation(port);
}
bool SupervisorPortControl::postAnswerCommand(int port, AnswerCommand command) {
    return supervisor_.postAnswerCommand(port, command);
}
bool SupervisorPortControl::answerStationRunning(int port) const {
    return supervisor_.answerStationRunning(port);
}

UiPortWindows::UiPortWindows(PortViewRouter& router, PortSupervisor& supervisor,
                             UserMessages& messages, IniFile& ini,
                             std::function<bool()> portsAvailable)
    : router_(router),
      supervisor_(supervisor),
      messages_(messages),
      ini_(ini),
      portsAvailable_(std::move(portsAvailable)),
      control_(supervisor),
      programStart_(QDateTime::currentDateTime()) {
    // The supervisor's reports go to the window of the port, if one is open.
    connect(&supervisor_, &PortSupervisor::portEnded, this, [this](int port) {
        if (TForm_Data* w = windowOf(port)) {
            w->portEnded();
        }
    });
    connect(&supervisor_, &PortSupervisor::answerStationEnded, this, [this](int port) {
        if (TForm_Data* w = windowOf(port)) {
            w->answerStationEnded();
        }
    });
    connect(&supervisor_, &PortSupervisor::answerStationStarted, this, [this](int port, int code) {
        if (TForm_Data* w = windowOf(port)) {
            w->answerStationStarted(code);
        }
    });
}

TForm_Data* UiPortWindows::windowOf(int port) const {
    return windows_.value(port).data();
}

QWidget* UiPortWindows::create(int port) {
    PortViewRouter* router = &router_;
    PortWindowContext context{
        control_,
        messages_,
        &ini_,
        [router](int p, PortView* view, QObject* guard) { router->setPortView(p, view, guard); },
        portsAvailable_,
        programStart_};
    TForm_Data* window = createPortWindow(port, context);
    windows_.insert(port, window);
    return window;
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
