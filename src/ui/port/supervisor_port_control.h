// The port window's PortControl over the program's PortSupervisor, and the window made with it:
// routed by the program's router, told by the supervisor when its threads end.
#pragma once

#include "ui/port/port_control.h"
#include "ui/port/tform_data.h"

namespace zev7 {

class GraphWindows;
class PortSupervisor;
class PortViewRouter;

class SupervisorPortControl : public PortControl {
public:
    explicit SupervisorPortControl(PortSupervisor& supervisor) : supervisor_(supervisor) {}

    int startPort(int port) override;
    bool stopPort(int port) override;
    bool portRunning(int port) const override;
    int startAnswerStation(int port, AnswerMode mode) override;
    bool stopAnswerStation(int port) override;
    bool postAnswerCommand(int port, AnswerCommand command) override;
    bool answerCommandPending(int port) const override;
    bool answerStationRunning(int port) const override;

private:
    PortSupervisor& supervisor_;
};

// The main window's factory. `portsAvailable`: the main window's port list is not empty.
TForm_Data* createPortWindow(int port, PortSupervisor& supervisor, PortViewRouter& router,
                             UserMessages& messages, IniFile* ini,
                             std::function<bool()> portsAvailable, const QDateTime& programStart,
                             GraphWindows* graphs = nullptr, QWidget* parent = nullptr);

}  // namespace zev7
