// The main window's port windows are TForm_Data, made with the program's supervisor, router,
// messages and configuration file, and driven by the toolbar and menu through the
// PortWindowAdapter.
#pragma once

#include "app/port_window_adapter.h"

#include <QDateTime>
#include <QObject>
#include <functional>

namespace zev7 {

class GraphWindows;
class IniFile;
class PortSupervisor;
class PortViewRouter;
class TForm_Data;
class UserMessages;

class UiPortWindows : public QObject, public PortWindowAdapter {
    Q_OBJECT

public:
    UiPortWindows(PortViewRouter& router, PortSupervisor& supervisor, UserMessages& messages,
                  IniFile& ini, std::function<bool()> portsAvailable,
                  GraphWindows* graphs = nullptr);

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
    void openScenarioAsked(TForm_Data* window);
    void saveScenarioAsked(TForm_Data* window);

    PortViewRouter& router_;
    PortSupervisor& supervisor_;
    UserMessages& messages_;
    IniFile& ini_;
    std::function<bool()> portsAvailable_;
    QDateTime programStart_;
    GraphWindows* graphs_;
};

}  // namespace zev7
