#include "ui/port/supervisor_port_control.h"

#include "engine/supervisor/port_supervisor.h"
#include "engine/view/port_view_router.h"

namespace zev7 {

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

bool SupervisorPortControl::answerCommandPending(int port) const {
    return supervisor_.answerCommandPending(port);
}

bool SupervisorPortControl::answerStationRunning(int port) const {
    return supervisor_.answerStationRunning(port);
}

TForm_Data* createPortWindow(int port, PortSupervisor& supervisor, PortViewRouter& router,
                             UserMessages& messages, IniFile* ini,
                             std::function<bool()> portsAvailable, const QDateTime& programStart,
                             GraphWindows* graphs, QWidget* parent) {
    auto control = std::make_shared<SupervisorPortControl>(supervisor);
    PortWindowContext context{*control, messages, ini};
    context.route = [&router](int p, PortView* view, QObject* guard) {
        router.setPortView(p, view, guard);
    };
    if (portsAvailable) {
        context.portsAvailable = std::move(portsAvailable);
    }
    context.programStart = programStart;
    context.graphs = graphs;
    TForm_Data* window = createPortWindow(port, context, parent);
    if (window == nullptr) {
        return nullptr;
    }
    window->keepControl(control);
    QObject::connect(&supervisor, &PortSupervisor::portEnded, window,
                     [window, port](int p, RunOutcome) {
                         if (p == port) {
                             window->portEnded();
                         }
                     });
    QObject::connect(&supervisor, &PortSupervisor::answerStationEnded, window,
                     [window, port](int p, int) {
                         if (p == port) {
                             window->answerStationEnded();
                         }
                     });
    QObject::connect(&supervisor, &PortSupervisor::answerStationStarted, window,
                     [window, port](int p, int code) {
                         if (p == port) {
                             window->answerStationStarted(code);
                         }
                     });
    return window;
}

}  // namespace zev7
