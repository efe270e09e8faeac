// The main window's port windows are TForm_Data: made with the program's supervisor, router,
// messages and configuration file, given the supervisor's reports on their port's threads, and
// driven by the toolbar and menu through the PortWindowAdapter.
#pragma once

#include "app/port_window_adapter.h"
#include "ui/port_control.h"

#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <functional>

namespace zev7 {

class IniFile;
class PortSupervisor;
class PortViewRouter;
class TForm_Data;
class UserMessages;

// The port window's handle on the threads: the supervisor.
class SupervisorPortControl : public PortControl {
public:
    explicit SupervisorPortControl(PortSupervisor& supervisor) : supervisor_(supervisor) {}
    int startPort(int port) override;
    bool stopPort(int port) override;
    bool portRunning(int port) const override;
    int startAnswerStation(int port, AnswerMode mode) override;
    bool stopAnswerStation(int port) override;
    bool postAnswerCommand(int port, AnswerCommand command) override;
    bool answerStationRunning(int port) const override;

private:
    PortSupervisor& supervisor_;
};

class UiPortWindows : public QObject, public PortWindowAdapter {
    Q_OBJECT

public:
    UiPortWindows(PortViewRouter& router, PortSupervisor& supervisor, UserMessages& messages,
                  IniFile& ini, std::function<bool()> portsAvailable);

    QWidget* create(int port) override;
    int portOf(const QWidget* window) const override;
    void command(QWidget* window, ScenarioCommand command) override;
    PortCommandState commands(const QWidget* window) const override;
    void onStateChanged(QWidget* window, std::function<void()> changed) override;
    void activated(QWidget* window) override;
    bool loadScenario(QWidget* window, const QString& path) override;
    void startAnswering(QWidget* window) override;
    void applyDefaults(QWidget* window) override;
    void reloadPlacement(QWidget* window) override;

private:
    TForm_Data* windowOf(int port) const;
    void openScenarioAsked(TForm_Data* window);
    void saveScenarioAsked(TForm_Data* window);

    PortViewRouter& router_;
    PortSupervisor& supervisor_;
    UserMessages& messages_;
    IniFile& ini_;
    std::function<bool()> portsAvailable_;
    SupervisorPortControl control_;
    QDateTime programStart_;
    QMap<int, QPointer<TForm_Data>> windows_;
};

}  // namespace zev7
