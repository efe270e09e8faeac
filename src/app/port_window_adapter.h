// What the main window needs from a port window: make one, forward the scenario commands of
// its toolbar and menu, read the state that enables them, and the few start-up and
// configuration jobs. The program implements it over the port window; tests over a stand-in.
#pragma once

#include "ui/port/tform_data.h"

#include <QString>
#include <functional>

class QWidget;

namespace zev7 {

enum class ScenarioCommand {
    New,
    Open,
    Save,
    AddCycle,
    InsertCycle,
    DeleteCycle,
    Start,
    Restart,
    Stop,
};

class PortWindowAdapter {
public:
    virtual ~PortWindowAdapter() = default;

    // A new port window for the port, its caption "Порт:N"; nullptr when it cannot be made.
    virtual QWidget* create(int port) = 0;
    // The port of a port window; 0 for any other window.
    virtual int portOf(const QWidget* window) const = 0;
    virtual void command(QWidget* window, ScenarioCommand command) = 0;
    // Which scenario commands the window allows (it applies the rules).
    virtual PortCommandState commands(const QWidget* window) const = 0;
    // `changed` runs whenever the window's scenario state may have changed.
    virtual void onStateChanged(QWidget* window, std::function<void()> changed) = 0;
    // The window became the active one (unconfirmed edits are dropped).
    virtual void activated(QWidget* window) = 0;
    // Loads a scenario file into the window, ready for Start; false with a message shown.
    virtual bool loadScenario(QWidget* window, const QString& path) = 0;
    // Shows the answering-station page and sets the modem to answer and monitor calls.
    virtual void startAnswering(QWidget* window) = 0;
    // Restore configuration: the window takes its default values and rebuilds its contents
    // without writing anything.
    virtual void applyDefaults(QWidget* window) = 0;
    // Load configuration: the window takes its place and values from the configuration file anew.
    virtual void reloadPlacement(QWidget* window) = 0;
};

}  // namespace zev7
