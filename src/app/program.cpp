#include "app/program.h"

#include "app/configuration_sets.h"
#include "app/cycle_settings_windows.h"
#include "app/gui_messages.h"
#include "app/main_window.h"
#include "app/scheme_window_link.h"
#include "app/ui_port_windows.h"
#include "core/program_dir.h"
#include "engine/registry/port_registry.h"
#include "engine/report/result_report_db.h"
#include "engine/serial/serial_comm_port.h"
#include "engine/supervisor/port_supervisor.h"
#include "engine/view/port_view_router.h"
#include "engine/view/ui_thread_messages.h"
#include "scenario/ole_date.h"
#include "ui/ini_file.h"

#include <QDir>

namespace zev7 {

Program::Program(ProgramSetup setup) : setup_(std::move(setup)) {
    // A missing or damaged file reads as defaults: no window is reopened.
    ini_ = std::make_unique<IniFile>(ConfigurationSets::configFile());
    ini_->load();
    if (setup_.messages == nullptr) {
        gui_ = std::make_unique<GuiMessages>();
        messages_ = gui_.get();
    } else {
        messages_ = setup_.messages;
    }
    if (!setup_.makePort) {
        Clock& clock = setup_.clock;
        setup_.makePort = [&clock](int port) -> std::unique_ptr<CommPort> {
            return SerialCommPort::forPortNumber(port, clock);
        };
    }
    router_ = std::make_unique<PortViewRouter>();
    threadMessages_ = std::make_unique<UiThreadMessages>(*messages_, router_->caller());
    PortRegistry& registry = setup_.registry;
    Clock& clock = setup_.clock;
    UserMessages& threadMessages = *threadMessages_;
    PortServices services{clock, threadMessages, *router_, registry, setup_.makePort, {}};
    services.makeResults = [&threadMessages, &registry, &clock](int port) {
        return makeDatabaseReportSink(port, threadMessages, registry.resultFilesMutex(), clock,
                                      nullptr, {});
    };
    supervisor_ = std::make_unique<PortSupervisor>(services, router_.get());
    ports_ = std::make_unique<PortList>(registry, setup_.probe);
    ports_->build();
    PortList* ports = ports_.get();
    portWindows_ = std::make_unique<UiPortWindows>(*router_, *supervisor_, *messages_, *ini_,
                                                   [ports] { return !ports->ports().isEmpty(); });

    PortSupervisor* supervisor = supervisor_.get();
    window_ = std::make_unique<TMainForm>(MainWindowServices{
        *messages_, registry, *ports_, *portWindows_, [supervisor] { supervisor->stopAll(); },
        [supervisor] { return supervisor->runningCount(); }});
    if (gui_) {
        gui_->setParent(window_.get());
    }
    QObject::connect(supervisor, &PortSupervisor::allEnded, window_.get(),
                     [this] { window_->allThreadsEnded(); });
    // A port whose thread has ended may be offered again, one that stopped answering not.
    QObject::connect(supervisor, &PortSupervisor::portEnded, window_.get(),
                     [this] { window_->updateCommands(); });

    // The cycle settings window lives as long as the main window.
    new CycleSettingsWindows(*window_, *messages_, *ini_);

    config_ = std::make_unique<ConfigurationSets>(*window_, *ini_);
    ConfigurationSets* config = config_.get();
    window_->onSaveLayout = [config] { config->saveLayout(); };
    window_->onSaveConfig = [config] { config->saveConfigurationAsked(); };
    window_->onLoadConfig = [config] { config->loadConfigurationAsked(); };
    window_->onRestoreConfig = [config] { config->restoreConfiguration(); };

    scheme_ = std::make_unique<SchemeWindowLink>(*window_, *ini_, registry,
                                                 toOleDate(QDateTime::currentDateTime()));
    // The threads' scheme refreshes belong to no port: they reach the default view.
    router_->setDefaultView(scheme_.get(), scheme_.get());
}

Program::~Program() {
    // Questions still on their way get their default answers; windows go before the threads.
    router_->close();
    window_.reset();
    supervisor_.reset();
}

void Program::start(const CommandLine& line) {
    config_->restoreLayout();
    // Batch mode comes with its own window work; the schedule is kept for it.
    batchList_ = line.batchList;
    for (const PortWindowRequest& request : line.windows) {
        QWidget* w = window_->openPortWindow(request.port);
        if (w == nullptr) {
            continue;
        }
        if (!request.scenario.isEmpty()) {
            const QString path = QDir::isAbsolutePath(request.scenario)
                                     ? request.scenario
                                     : programPath(QStringLiteral("Scenar/") + request.scenario);
            portWindows_->loadScenario(w, path);
        }
        if (request.answer) {
            portWindows_->startAnswering(w);
        }
    }
    // The first requested window is the one the toolbar acts on.
    if (!line.windows.empty()) {
        window_->openPortWindow(line.windows.front().port);
    }
    window_->updateCommands();
}

}  // namespace zev7
