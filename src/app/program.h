// The desktop program's objects in their start-up order: the messages, the router that carries
// the threads' reports to the windows, the supervisor that owns the threads, the port list, the
// main window and its configuration; and the start: layout restored, then the command line.
#pragma once

#include "app/command_line.h"
#include "app/port_list.h"
#include "app/tpackage_work.h"
#include "core/comm_port.h"

#include <QStringList>
#include <functional>
#include <memory>

namespace zev7 {

class BatchMessages;
class Clock;
class ConfigurationSets;
class GraphWindows;
class DatabaseWindows;
class DesktopAlerts;
class GuiMessages;
class IniFile;
class PortRegistry;
class PortSupervisor;
class PortViewRouter;
class PortWindowAdapter;
class SchemeWindowLink;
class DbGraphWindows;
class StatWindows;
class TMainForm;
class UiGraphBitmaps;
class UiThreadMessages;
class UserMessages;

struct ProgramSetup {
    Clock& clock;
    PortRegistry& registry;
    // The serial port of a port number; by default the port's device.
    std::function<std::unique_ptr<CommPort>(int port)> makePort = {};
    PortList::Probe probe = probePort;
    // Messages of the UI thread; by default message boxes over the main window.
    UserMessages* messages = nullptr;
};

class Program {
public:
    explicit Program(ProgramSetup setup);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    TMainForm& mainWindow() { return *window_; }
    PortSupervisor& supervisor() { return *supervisor_; }
    ConfigurationSets& configuration() { return *config_; }
    GraphWindows& graphWindows() { return *graphs_; }
    // The statistics windows; the cycle list drives them.
    StatWindows& statWindows() { return *statWindows_; }
    DbGraphWindows& dbGraphWindows() { return *dbGraphs_; }
    DatabaseWindows& databaseWindows() { return *databaseWindows_; }

    // Restores the saved layout, then reads the command line once: the requested port windows
    // are opened, and a schedule is run in batch mode.
    void start(const CommandLine& line);
    const QString& batchList() const { return batchList_; }
    // The batch controller while batch mode runs, else nullptr.
    TPackageWork* batch() const { return batch_.get(); }
    // Ends batch mode if it still runs (the final line is written) and gives the program's exit
    // code for it (batchExitCode()).
    int finishBatch();

private:
    void startBatch(const QString& schedule);
    void endBatch();

    ProgramSetup setup_;
    std::unique_ptr<IniFile> ini_;
    std::unique_ptr<GuiMessages> gui_;
    // Every message of the program passes here: a box, or a batch log line.
    std::unique_ptr<BatchMessages> batchMessages_;
    UserMessages* messages_ = nullptr;
    std::unique_ptr<PortViewRouter> router_;
    std::unique_ptr<UiThreadMessages> threadMessages_;
    // Outlives the supervisor: the port threads tell it their alerts until they are joined.
    std::unique_ptr<DesktopAlerts> alerts_;
    // The values of "[Оповещение]" that were refused, told once the program has started.
    QStringList alertProblems_;
    std::unique_ptr<GraphWindows> graphs_;
    std::unique_ptr<UiGraphBitmaps> graphBitmaps_;
    std::unique_ptr<PortSupervisor> supervisor_;
    std::unique_ptr<PortList> ports_;
    std::unique_ptr<PortWindowAdapter> portWindows_;
    std::unique_ptr<TMainForm> window_;
    std::unique_ptr<ConfigurationSets> config_;
    std::unique_ptr<SchemeWindowLink> scheme_;
    std::unique_ptr<StatWindows> statWindows_;
    std::unique_ptr<DbGraphWindows> dbGraphs_;
    std::unique_ptr<DatabaseWindows> databaseWindows_;
    QString batchList_;
    std::unique_ptr<TPackageWork> batch_;
    int batchExit_ = kBatchExitNoResult;
};

}  // namespace zev7
