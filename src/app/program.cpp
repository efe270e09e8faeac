#include "app/program.h"

#include "app/batch_messages.h"
#include "app/closing_sequence.h"
#include "app/configuration_sets.h"
#include "app/cycle_settings_windows.h"
#include "app/database_windows.h"
#include "app/desktop_alerts.h"
#include "app/gui_messages.h"
#include "app/main_window.h"
#include "app/scheme_window_link.h"
#include "app/tpackage_work.h"
#include "app/transfer_windows.h"
#include "app/ui_port_windows.h"
#include "app/word_export_command.h"
#include "core/clock.h"
#include "core/ini_file.h"
#include "core/program_dir.h"
#include "core/strings.h"
#include "dbui/db_graph_windows.h"
#include "dbui/stat_windows.h"
#include "engine/alerts/alert_settings.h"
#include "engine/registry/port_registry.h"
#include "engine/report/result_report_db.h"
#include "engine/serial/serial_comm_port.h"
#include "engine/supervisor/port_supervisor.h"
#include "engine/view/port_view_router.h"
#include "engine/view/ui_graph_bitmaps.h"
#include "engine/view/ui_thread_messages.h"
#include "scenario/ole_date.h"
#include "ui/chart/graph_windows.h"

#include <QDir>

namespace zev7 {

Program::Program(ProgramSetup setup) : setup_(std::move(setup)) {
    // A missing or damaged file reads as defaults: no window is reopened.
    ini_ = std::make_unique<IniFile>(ConfigurationSets::configFile());
    ini_->load();
    UserMessages* shown = setup_.messages;
    if (shown == nullptr) {
        gui_ = std::make_unique<GuiMessages>();
        shown = gui_.get();
    }
    batchMessages_ = std::make_unique<BatchMessages>(*shown);
    messages_ = batchMessages_.get();
    // A layout that cannot be written (a full disk) keeps the previous file; the user is told.
    ini_->saveFailed = [this](const QString& path, const QString& error) {
        messages_->error(txt(str::LayoutCannotWrite).arg(QDir::toNativeSeparators(path), error));
    };
    if (!setup_.makePort) {
        Clock& clock = setup_.clock;
        setup_.makePort = [&clock](int port) -> std::unique_ptr<CommPort> {
            return SerialCommPort::forPortNumber(port, clock);
        };
    }
    router_ = std::make_unique<PortViewRouter>();
    threadMessages_ = std::make_unique<UiThreadMessages>(*messages_, router_->caller());
    // The reports take the pictures of the port's open graph windows on the UI thread.
    graphs_ = std::make_unique<GraphWindows>();
    graphBitmaps_ = std::make_unique<UiGraphBitmaps>(*graphs_, router_->caller());
    GraphBitmapSource* graphBitmaps = graphBitmaps_.get();
    PortRegistry& registry = setup_.registry;
    Clock& clock = setup_.clock;
    UserMessages& threadMessages = *threadMessages_;
    PortServices services{clock, threadMessages, *router_, registry, setup_.makePort, {}};
    // A batch run keeps the alerts in its log as well.
    alerts_ = std::make_unique<DesktopAlerts>(router_->caller(), [this](const QString& line) {
        if (batch_) {
            batch_->Log(line);
        }
    });
    services.alerts = AlertServices{readAlertSettings(*ini_, alertProblems_), alerts_.get()};
    // Made on the UI thread when the port starts: in batch mode the schedule's report name is
    // taken then, for the end of the run on the port's thread; otherwise the port's window asks
    // the user for the final report's name, the port's thread waiting for the answer.
    PortViewRouter* router = router_.get();
    services.makeResults = [this, &threadMessages, &registry, &clock, graphBitmaps,
                            router](int port) {
        ReportFinishing finishing;
        if (batch_) {
            finishing.batchReportName = [name = batch_->ReportName(port)](int) { return name; };
        } else {
            finishing.askPath = [router, port](const ReportSaveDialog& dialog) {
                return router->askReportPath(port, dialog);
            };
        }
        return makeDatabaseReportSink(port, threadMessages, registry.resultFilesMutex(), clock,
                                      graphBitmaps, std::move(finishing));
    };
    supervisor_ = std::make_unique<PortSupervisor>(services, router_.get());
    ports_ = std::make_unique<PortList>(registry, setup_.probe);
    ports_->build();
    PortList* ports = ports_.get();
    portWindows_ = std::make_unique<UiPortWindows>(
        *router_, *supervisor_, *messages_, *ini_, [ports] { return !ports->ports().isEmpty(); },
        graphs_.get());

    PortSupervisor* supervisor = supervisor_.get();
    window_ = std::make_unique<TMainForm>(MainWindowServices{
        *messages_, registry, *ports_, *portWindows_, [supervisor] { supervisor->stopAll(); },
        [supervisor] { return supervisor->runningCount(); }});
    if (gui_) {
        gui_->setParent(window_.get());
    }
    alerts_->setWindow(window_.get());
    graphs_->setFrame(window_.get());
    QObject::connect(supervisor, &PortSupervisor::allEnded, window_.get(),
                     [this] { window_->allThreadsEnded(); });
    // A port whose thread has ended may be offered again, one that stopped answering not.
    QObject::connect(supervisor, &PortSupervisor::portEnded, window_.get(),
                     [this] { window_->updateCommands(); });

    // The cycle settings window lives as long as the main window.
    new CycleSettingsWindows(*window_, *messages_, *ini_);

    config_ = std::make_unique<ConfigurationSets>(*window_, *ini_);
    ConfigurationSets* config = config_.get();
    GraphWindows* graphs = graphs_.get();
    window_->onSaveLayout = [config, graphs] {
        config->saveLayout();
        // The windows now close one by one; the port windows record the graphs as they were.
        graphs->freeze();
    };
    window_->onUnattended = [this] {
        batchMessages_->setUnattended();
        router_->answerNobody();
    };
    window_->onSaveConfig = [config] { config->saveConfigurationAsked(); };
    window_->onLoadConfig = [config] { config->loadConfigurationAsked(); };
    window_->onRestoreConfig = [config] { config->restoreConfiguration(); };

    scheme_ = std::make_unique<SchemeWindowLink>(*window_, *ini_, registry,
                                                 toOleDate(QDateTime::currentDateTime()));
    // The threads' scheme refreshes belong to no port: they reach the default view.
    router_->setDefaultView(scheme_.get(), scheme_.get());

    statWindows_ = std::make_unique<StatWindows>(ini_.get(), messages_, *window_);
    provideTransferWindows(*window_, ini_.get());
    new WordExportCommand(*window_, *messages_, statWindows_.get());
    Clock* today = &setup_.clock;
    databaseWindows_ = std::make_unique<DatabaseWindows>(*window_, *ini_, *messages_,
                                                         [today] { return today->now().date(); });
    databaseWindows_->setStatWindows(statWindows_.get());
    dbGraphs_ = std::make_unique<DbGraphWindows>(ini_.get(), messages_, *window_);
    databaseWindows_->setGraphWindows(dbGraphs_.get());
    databaseWindows_->provideMenuItems();
}

Program::~Program() {
    endBatch();
    // Questions still on their way get their default answers; windows go before the threads.
    router_->close();
    databaseWindows_.reset();
    window_.reset();
    supervisor_.reset();
}

void Program::start(const CommandLine& line) {
    config_->restoreLayout();
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
    if (!batchList_.isEmpty()) {
        startBatch(batchList_);
    }
    // After the batch has started: in batch mode a refused value is a line of its log.
    for (const QString& problem : alertProblems_) {
        messages_->warning(problem);
    }
}

void Program::startBatch(const QString& schedule) {
    BatchHost host;
    host.portListed = [this](int port) { return ports_->contains(port); };
    host.openPortWindow = [this](int port) { return window_->openPortWindow(port); };
    host.loadScenario = [this](QWidget* w, const QString& path) {
        return portWindows_->loadScenario(w, path);
    };
    host.startScenario = [this](QWidget* w) {
        portWindows_->command(w, ScenarioCommand::Start);
        window_->updateCommands();
    };
    host.portRunning = [this](int port) { return supervisor_->portRunning(port); };
    // Posted: the close runs from the event loop, after the step that asked for it.
    host.close = [this] {
        QMetaObject::invokeMethod(window_.get(), &TMainForm::closeWithoutAsking,
                                  Qt::QueuedConnection);
    };
    batch_ = std::make_unique<TPackageWork>(schedule, std::move(host));
    batchMessages_->attach(batch_.get());
    TPackageWork* batch = batch_.get();
    QObject::connect(supervisor_.get(), &PortSupervisor::portEnded, batch,
                     [batch] { batch->portThreadEnded(); });
    // The threads have ended or the wait is over, the windows are closed: the final line.
    QObject::connect(&window_->closingSequence(), &ClosingSequence::finished, window_.get(),
                     [this] { endBatch(); });
    batch_->Start();
}

void Program::endBatch() {
    if (batchMessages_) {
        batchMessages_->attach(nullptr);
    }
    if (batch_) {
        batch_->writeFinalLine();
        batchExit_ = batchExitCode(batch_->resultCode(), batch_->logWritten());
    }
    batch_.reset();
}

int Program::finishBatch() {
    endBatch();
    return batchExit_;
}

}  // namespace zev7
