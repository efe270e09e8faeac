#include "app/main_window.h"

#include "app/about_box.h"
#include "app/closing_sequence.h"
#include "app/mdi_arrangement.h"
#include "app/port_list.h"
#include "core/strings.h"
#include "dbui/maintenance_dialog.h"
#include "dbui/tform_interface_bd.h"
#include "dbui/tform_view_bd1.h"
#include "engine/registry/port_registry.h"
#include "engine/serial/serial_port_names.h"
#include "scenario/user_messages.h"
#include "ui/chart/chart_zoom.h"
#include "ui/frame/help_window.h"
#include "ui/frame/mdi_child.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QShortcut>
#include <QStyle>
#include <QToolBar>
#include <algorithm>

namespace zev7 {

namespace {

// The tag of a child window in the "Окна" menu: a port window's tag is its port number.
constexpr char kTagProperty[] = "zev7Tag";
// The "Окна" menu's fixed items before the window items (the last one a separator).
constexpr int kFixedWindowItems = 8;

// The client size a new child window asks for: the size it gave itself for its content (the
// graph windows' 600 x 400), else what its layout needs.
QSize wantedSize(const QWidget& window) {
    return window.testAttribute(Qt::WA_Resized) ? window.size().expandedTo(window.sizeHint())
                                                : window.sizeHint();
}

// The port list drops down with a fresh probe.
class PortComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> aboutToPopup;

    void showPopup() override {
        if (aboutToPopup) {
            aboutToPopup();
        }
        QComboBox::showPopup();
    }
};

}  // namespace

TMainForm::TMainForm(const MainWindowServices& services, QWidget* parent)
    : QMainWindow(parent), services_(services) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(txt(str::ProgramName));
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    setHelpContext(this, kMainHelpContext);

    closing_ = new ClosingSequence(services_.stopAll, services_.runningCount, this);
    connect(closing_, &ClosingSequence::finished, this, &TMainForm::finishClose);
    // The user who asked to close answers the dialogs the ending ports show (the name of each
    // port's report) before the program goes; a close nobody asked for does not wait for them.
    closing_->setHold([this] {
        return !closeUnattended_ && !services_.messages.batchMode() &&
               QApplication::activeModalWidget() != nullptr;
    });

    makeActions();
    makeMenus();
    makeToolBars();

    connect(&services_.ports, &PortList::changed, this, &TMainForm::rebuildPortCombo);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (sub != nullptr && services_.portWindows.portOf(sub->widget()) != 0) {
            services_.portWindows.activated(sub->widget());
        }
        updateCommands();
    });
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    help->setContext(Qt::ApplicationShortcut);
    connect(help, &QShortcut::activated, this, &TMainForm::showHelpForFocus);

    rebuildPortCombo();
    updateCommands();
}

TMainForm::~TMainForm() {
    // The children go with the frame; nothing is left to update for them. Neither the frame
    // nor its helpers (the scheme, the settings dialog, the export item) hear of windows
    // activated while the frame is half destroyed: they would ask it for its windows.
    for (QMdiSubWindow* sub : mdi_->findChildren<QMdiSubWindow*>()) {
        sub->disconnect(this);
    }
    disconnect(mdi_, nullptr, nullptr, nullptr);
}

QAction* TMainForm::makeAction(QMenu* menu, const char* name, const char* text,
                               const QKeySequence& key) {
    auto* action = new QAction(txt(text), this);
    action->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) {
        action->setShortcut(key);
    }
    if (menu != nullptr) {
        menu->addAction(action);
    }
    actions_.insert(action->objectName(), action);
    return action;
}

void TMainForm::makeActions() {
    // The scenario commands act on the active port window.
    const std::pair<const char*, ScenarioCommand> commands[] = {
        {"NNewScen", ScenarioCommand::New},          {"NOpenScen", ScenarioCommand::Open},
        {"NSaveScen", ScenarioCommand::Save},        {"NAddCycle", ScenarioCommand::AddCycle},
        {"NInsCycle", ScenarioCommand::InsertCycle}, {"NDelCycle", ScenarioCommand::DeleteCycle},
        {"NStartScen", ScenarioCommand::Start},      {"NRestartScen", ScenarioCommand::Restart},
        {"NStopScen", ScenarioCommand::Stop},
    };
    const char* texts[] = {str::MenuNewScenario,   str::MenuOpenScenario,    str::MenuSaveScenario,
                           str::MenuAddCycle,      str::MenuInsertCycle,     str::MenuDeleteCycle,
                           str::MenuStartScenario, str::MenuRestartScenario, str::MenuStopScenario};
    for (std::size_t i = 0; i < std::size(commands); ++i) {
        QAction* action = makeAction(nullptr, commands[i].first, texts[i]);
        const ScenarioCommand command = commands[i].second;
        connect(action, &QAction::triggered, this, [this, command] { forward(command); });
    }
    // The windows of later parts of the program: their items are here, disabled until then.
    const char* later[][2] = {
        {"NShemaScen", str::MenuScheme}, {"N14", str::MenuDatabaseInterface},
        {"N13", str::MenuMonitor},       {"N18", str::MenuImport},
        {"N16", str::MenuCompact},       {"N17", str::MenuDeleteCycles},
        {"Word1", str::MenuExportWord},  {"NDbSettings", str::MenuDbSettings}};
    for (const auto& item : later) {
        makeAction(nullptr, item[0], item[1])->setEnabled(false);
    }
    actions_.value(QStringLiteral("NShemaScen"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));

    connect(makeAction(nullptr, "N9", str::MenuLoadConfig, QKeySequence(Qt::Key_F3)),
            &QAction::triggered, this, [this] {
                if (onLoadConfig) {
                    onLoadConfig();
                }
            });
    connect(makeAction(nullptr, "N10", str::MenuSaveConfig, QKeySequence(Qt::CTRL | Qt::Key_F3)),
            &QAction::triggered, this, [this] {
                if (onSaveConfig) {
                    onSaveConfig();
                }
            });
    connect(makeAction(nullptr, "N11", str::MenuRestoreConfig), &QAction::triggered, this, [this] {
        if (onRestoreConfig) {
            onRestoreConfig();
        }
    });
    connect(makeAction(nullptr, "N6", str::MenuExit, QKeySequence(Qt::Key_F10)),
            &QAction::triggered, this, &QWidget::close);

    connect(makeAction(nullptr, "NCascade", str::MenuCascade), &QAction::triggered, mdi_,
            &QMdiArea::cascadeSubWindows);
    connect(makeAction(nullptr, "N_TileVert", str::MenuTileVertical), &QAction::triggered, this,
            [this] { tileVertically(*mdi_); });
    connect(makeAction(nullptr, "N_TileHorz", str::MenuTileHorizontal), &QAction::triggered, this,
            [this] { tileHorizontally(*mdi_); });
    connect(makeAction(nullptr, "NArrange", str::MenuArrange), &QAction::triggered, this,
            [this] { arrangeIcons(*mdi_); });
    connect(makeAction(nullptr, "NRollDn", str::MenuMinimizeAll), &QAction::triggered, this,
            [this] {
                for (QMdiSubWindow* w : mdi_->subWindowList()) {
                    w->showMinimized();
                }
                arrangeIcons(*mdi_);
            });
    connect(makeAction(nullptr, "NRollUp", str::MenuRestoreAll), &QAction::triggered, this, [this] {
        for (QMdiSubWindow* w : mdi_->subWindowList()) {
            w->showNormal();
        }
    });
    connect(makeAction(nullptr, "NCloseAll", str::MenuCloseAll), &QAction::triggered, this,
            &TMainForm::closeAllChildren);
    connect(makeAction(nullptr, "N20_Help", str::MenuContents), &QAction::triggered, this,
            [] { showHelp(0); });
    connect(makeAction(nullptr, "NAbout", str::MenuAbout), &QAction::triggered, this,
            &TMainForm::showAbout);
}

void TMainForm::makeMenus() {
    auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (name == nullptr) {
                menu->addSeparator();
            } else {
                menu->addAction(actions_.value(QString::fromLatin1(name)));
            }
        }
    };
    QMenu* file = menuBar()->addMenu(txt(str::MenuFile));
    add(file, {"N9", "N10", "N11", nullptr, "N6"});
    QMenu* scenario = menuBar()->addMenu(txt(str::MenuScenario));
    add(scenario,
        {"NNewScen", "NOpenScen", "NSaveScen", nullptr, "NAddCycle", "NInsCycle", "NDelCycle",
         nullptr, "NShemaScen", nullptr, "NStartScen", "NRestartScen", "NStopScen"});
    QMenu* database = menuBar()->addMenu(txt(str::MenuDatabase));
    add(database, {"N14", "N13", "Word1", nullptr, "N18", "N16", "N17", nullptr, "NDbSettings"});
    windowsMenu_ = menuBar()->addMenu(txt(str::MenuWindows));
    add(windowsMenu_, {"NCascade", "N_TileVert", "N_TileHorz", "NArrange", "NRollDn", "NRollUp",
                       "NCloseAll", nullptr});
    connect(windowsMenu_, &QMenu::aboutToShow, this, &TMainForm::rebuildWindowsMenu);
    QMenu* help = menuBar()->addMenu(txt(str::MenuHelp));
    add(help, {"N20_Help", nullptr, "NAbout"});
}

void TMainForm::makeToolBars() {
    toolBar1_ = addToolBar(QStringLiteral("ToolBar1"));
    toolBar1_->setObjectName(QStringLiteral("ToolBar1"));
    auto* combo = new PortComboBox(toolBar1_);
    combo->setObjectName(QStringLiteral("Port"));
    combo->setToolTip(txt(str::PortComboHint));
    combo->setMinimumContentsLength(8);
    combo->aboutToPopup = [this] { services_.ports.refresh(); };
    connect(combo, &QComboBox::activated, this, [this, combo](int index) {
        const int port = PortList::portOfItem(combo->itemText(index));
        if (port != 0) {
            openPortWindow(port);
        }
    });
    portCombo_ = combo;
    toolBar1_->addWidget(combo);

    QStyle* s = style();
    const std::pair<const char*, QStyle::StandardPixmap> buttons[] = {
        {"NNewScen", QStyle::SP_FileIcon},
        {"NOpenScen", QStyle::SP_DialogOpenButton},
        {"NSaveScen", QStyle::SP_DialogSaveButton},
        {nullptr, {}},
        {"NAddCycle", QStyle::SP_FileDialogNewFolder},
        {"NInsCycle", QStyle::SP_ArrowRight},
        {"NDelCycle", QStyle::SP_TrashIcon},
        {nullptr, {}},
        {"NShemaScen", QStyle::SP_FileDialogDetailedView},
        {nullptr, {}},
        {"NStartScen", QStyle::SP_MediaPlay},
        {"NRestartScen", QStyle::SP_BrowserReload},
        {"NStopScen", QStyle::SP_MediaStop},
        {nullptr, {}},
        {"N14", QStyle::SP_DriveHDIcon},
        {"N20_Help", QStyle::SP_DialogHelpButton},
        {"N6", QStyle::SP_DialogCloseButton},
    };
    for (const auto& [name, icon] : buttons) {
        if (name == nullptr) {
            toolBar1_->addSeparator();
            continue;
        }
        QAction* action = actions_.value(QString::fromLatin1(name));
        action->setIcon(s->standardIcon(icon));
        toolBar1_->addAction(action);
    }
    // The database button's own caption differs from its menu item's.
    toolBar1_->widgetForAction(actions_.value(QStringLiteral("N14")))
        ->setToolTip(txt(str::ButtonDatabase));
    toolBar1_->widgetForAction(actions_.value(QStringLiteral("N20_Help")))
        ->setToolTip(txt(str::ButtonHelpMain));

    scaleToolBar_ = addToolBar(txt(str::ScaleToolbar));
    scaleToolBar_->setObjectName(QStringLiteral("Scale_ToolBar2"));
    const std::pair<const char*, const char*> zoom[] = {
        {"Restore_ToolButton", str::ZoomRestore}, {"Zoom_ToolButton", str::ZoomIn},
        {"UndoZoom_ToolButton", str::ZoomOut},    {"ZoomY_ToolButton", str::ZoomY},
        {"UndoY_ToolButton", str::UnzoomY},       {"ZoomX_ToolButton", str::ZoomX},
        {"UndoX_ToolButton", str::UnzoomX},       {"StepUp_ToolButton", str::StepUp},
        {"StepDown_ToolButton", str::StepDown},   {"StepLeft_ToolButton", str::StepLeft},
        {"StepRight_ToolButton", str::StepRight},
    };
    const QStyle::StandardPixmap zoomIcons[] = {
        QStyle::SP_BrowserReload,     QStyle::SP_ArrowUp,           QStyle::SP_ArrowDown,
        QStyle::SP_TitleBarMaxButton, QStyle::SP_TitleBarMinButton, QStyle::SP_TitleBarMaxButton,
        QStyle::SP_TitleBarMinButton, QStyle::SP_ArrowUp,           QStyle::SP_ArrowDown,
        QStyle::SP_ArrowLeft,         QStyle::SP_ArrowRight};
    for (std::size_t i = 0; i < std::size(zoom); ++i) {
        auto* action = new QAction(s->standardIcon(zoomIcons[i]), txt(zoom[i].second), this);
        action->setObjectName(QString::fromLatin1(zoom[i].first));
        scaleToolBar_->addAction(action);
        scaleActions_.append(action);
        // The toolbar's order is the order of the zoom commands.
        const auto command = static_cast<ChartZoom>(i);
        connect(action, &QAction::triggered, this, [this, command] {
            if (auto* target = dynamic_cast<ChartZoomTarget*>(activeChild())) {
                target->zoomChart(command);
            }
        });
    }
}

void TMainForm::rebuildPortCombo() {
    const QString current = portCombo_->currentText();
    portCombo_->clear();
    for (int port : services_.ports.ports()) {
        portCombo_->addItem(PortList::itemText(port));
    }
    portCombo_->setCurrentIndex(portCombo_->findText(current));
    updateCommands();
}

bool TMainForm::checkWindowLimit() {
    if (childWindowCount() < kMaxChildWindows) {
        return true;
    }
    if (services_.messages.batchMode()) {
        // The batch log has its own form of this warning: "Внимание! - ...".
        services_.messages.show(MessageIcon::Warning,
                                txt(str::CaptionWarning) + QStringLiteral(" -"),
                                txt(str::TooManyWindows));
    } else {
        services_.messages.warning(txt(str::TooManyWindows));
    }
    return false;
}

int TMainForm::childWindowCount() const {
    return static_cast<int>(mdi_->subWindowList().size());
}

QWidget* TMainForm::activeChild() const {
    QMdiSubWindow* sub = mdi_->activeSubWindow();
    return sub != nullptr ? sub->widget() : nullptr;
}

QMdiSubWindow* TMainForm::portSubWindow(int port) const {
    // A closed window leaves the area at once and is deleted a moment later.
    QMdiSubWindow* sub = portWindows_.value(port);
    return sub != nullptr && mdi_->subWindowList().contains(sub) ? sub : nullptr;
}

QWidget* TMainForm::portWindow(int port) const {
    QMdiSubWindow* sub = portSubWindow(port);
    return sub != nullptr ? sub->widget() : nullptr;
}

QList<int> TMainForm::openPorts() const {
    QList<int> ports;
    for (auto it = portWindows_.cbegin(); it != portWindows_.cend(); ++it) {
        if (portSubWindow(it.key()) != nullptr) {
            ports.append(it.key());
        }
    }
    return ports;
}

QWidget* TMainForm::openPortWindow(int port) {
    if (port < kFirstPort || port > kLastPort) {
        return nullptr;
    }
    portCombo_->setCurrentIndex(portCombo_->findText(PortList::itemText(port)));
    if (QMdiSubWindow* sub = portSubWindow(port)) {
        raiseMdiChild(sub);
        return sub->widget();
    }
    if (!checkWindowLimit()) {
        return nullptr;
    }
    QWidget* window = services_.portWindows.create(port);
    if (window == nullptr) {
        return nullptr;
    }
    const QSize wanted = wantedSize(*window);
    QMdiSubWindow* sub = mdi_->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setProperty(kTagProperty, port);
    portWindows_.insert(port, sub);
    connect(sub, &QObject::destroyed, this, [this, port] {
        if (portWindows_.value(port).isNull()) {
            portWindows_.remove(port);
        }
        updateCommands();
    });
    services_.portWindows.onStateChanged(window, [this] { updateCommands(); });
    showChild(sub, wanted);
    return window;
}

void TMainForm::showChild(QMdiSubWindow* sub, QSize wanted) {
    sub->show();
    auto* child = qobject_cast<MdiChild*>(sub->widget());
    if (child == nullptr || !child->hasStoredPlacement()) {
        // A window without a stored place opens at the size it made for its content, frame
        // added, as far as the area allows.
        const QMargins frame = sub->contentsMargins();
        const QSize area = mdi_->viewport()->size();
        sub->resize(wanted.grownBy(frame).boundedTo(area).expandedTo(sub->minimumSizeHint()));
        // Where the area places it, moved up or left as far as it takes to show it whole.
        const QRect place = sub->geometry();
        sub->move(std::clamp(place.left(), 0, std::max(0, area.width() - place.width())),
                  std::clamp(place.top(), 0, std::max(0, area.height() - place.height())));
    }
    if (child != nullptr) {
        child->restoreLayout();
    }
    mdi_->setActiveSubWindow(sub);
    updateCommands();
}

QMdiSubWindow* TMainForm::addChildWindow(QWidget* window) {
    if (!checkWindowLimit()) {
        delete window;
        return nullptr;
    }
    const QSize wanted = wantedSize(*window);
    QMdiSubWindow* sub = mdi_->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    connect(sub, &QObject::destroyed, this, [this] { updateCommands(); });
    showChild(sub, wanted);
    return sub;
}

QWidget* TMainForm::childWindow(const QString& objectName) const {
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        if (sub->widget() != nullptr && sub->widget()->objectName() == objectName) {
            return sub->widget();
        }
    }
    return nullptr;
}

void TMainForm::provideWindow(const char* actionName, std::function<void()> open) {
    QAction* action = actions_.value(QString::fromLatin1(actionName));
    if (action == nullptr) {
        return;
    }
    action->setEnabled(true);
    connect(action, &QAction::triggered, this, [open = std::move(open)] { open(); });
}

void TMainForm::closeAllChildren() {
    // A window's close may take others with it (a port window its graphs) and let their
    // deletion run before the next one is reached: each is guarded.
    QList<QPointer<QMdiSubWindow>> windows;
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        windows.append(sub);
    }
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (!it->isNull()) {
            (*it)->close();
        }
    }
}

QList<QAction*> TMainForm::windowItems() const {
    return windowItems_;
}

void TMainForm::rebuildWindowsMenu() {
    for (QAction* item : windowItems_) {
        windowsMenu_->removeAction(item);
        item->deleteLater();
    }
    windowItems_.clear();
    Q_ASSERT(windowsMenu_->actions().size() == kFixedWindowItems);
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        auto* item = windowsMenu_->addAction(sub->windowTitle());
        item->setData(sub->property(kTagProperty));
        QPointer<QMdiSubWindow> target(sub);
        connect(item, &QAction::triggered, this, [this, target] {
            if (target.isNull()) {
                return;
            }
            raiseMdiChild(target);
        });
        windowItems_.append(item);
    }
}

void TMainForm::forward(ScenarioCommand command) {
    QWidget* window = activeChild();
    if (window == nullptr || services_.portWindows.portOf(window) == 0) {
        return;
    }
    services_.portWindows.command(window, command);
    updateCommands();
}

void TMainForm::updateCommands() {
    QWidget* window = activeChild();
    const bool portActive = window != nullptr && services_.portWindows.portOf(window) != 0;
    // Without an active port window every scenario command is off, Save too.
    PortCommandState c{false, false, false, false, false, false};
    if (portActive) {
        c = services_.portWindows.commands(window);
    }
    const auto set = [this](const char* name, bool on) {
        actions_.value(QString::fromLatin1(name))->setEnabled(on);
    };
    for (const char* name : {"NNewScen", "NOpenScen", "NAddCycle", "NInsCycle"}) {
        set(name, c.newOpenAdd);
    }
    set("NSaveScen", c.save);
    set("NDelCycle", c.deleteCycle);
    set("NStartScen", c.start);
    set("NRestartScen", c.restart);
    set("NStopScen", c.stop);

    const auto* target = dynamic_cast<ChartZoomTarget*>(window);
    const bool chart = target != nullptr && target->zoomApplies();
    for (QAction* action : scaleActions_) {
        action->setEnabled(chart);
    }
}

bool TMainForm::databaseGuard() {
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        if (services_.registry.runState(port) == PortRunState::InUse) {
            services_.messages.warning(txt(str::PortsBusyForDatabase));
            return false;
        }
    }
    // zev7-run or another copy of the program on the same folder.
    if (!portsIdleForMaintenance(services_.messages)) {
        return false;
    }
    // The selection and the list hold the working tables and open queries: they close first.
    QList<QWidget*> open;
    for (const QString& name : {TForm_InterfaceBD::windowName(), TForm_ViewBD1::windowName()}) {
        if (QWidget* w = childWindow(name)) {
            open << w;
        }
    }
    if (open.isEmpty()) {
        return true;
    }
    if (!services_.messages.askYesNo(txt(str::AskCloseDatabase))) {
        return false;
    }
    for (QWidget* w : open) {
        w->parentWidget()->close();
    }
    return true;
}

void TMainForm::showHelpForFocus() {
    int context = helpContextOf(QApplication::focusWidget());
    if (context == 0) {
        context = helpContextOf(activeChild());
    }
    showHelp(context != 0 ? context : kMainHelpContext);
}

void TMainForm::showAbout() {
    TAboutForm about(this);
    about.exec();
}

void TMainForm::closeWithoutAsking() {
    closeConfirmed_ = true;
    closeUnattended_ = true;
    if (onUnattended) {
        onUnattended();
    }
    // Boxes and dialogs already open wait for a user who is not there (a port's report name, a
    // question): they go as if cancelled, so that nothing holds the ports' ends or the close.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(w);
        if (dialog != nullptr && dialog->isVisible() && dialog->isModal()) {
            dialog->reject();
        }
    }
    close();
}

void TMainForm::allThreadsEnded() {
    closing_->allEnded();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (closeAllowed_) {
        event->accept();
        return;
    }
    event->ignore();
    if (closing_->waiting()) {
        return;
    }
    if (!closeConfirmed_) {
        if (!services_.messages.batchMode() && !services_.messages.askYesNo(txt(str::AskQuit))) {
            return;
        }
        closeConfirmed_ = true;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    closing_->begin();
    // With nothing running the sequence ends at once, inside this close: its own close() is
    // then a no-op of Qt's, and this event must be accepted for the window to go.
    if (closeAllowed_) {
        event->accept();
    }
}

void TMainForm::finishClose() {
    QApplication::restoreOverrideCursor();
    if (onSaveLayout) {
        onSaveLayout();
    }
    closeAllChildren();
    closeAllowed_ = true;
    close();
}

}  // namespace zev7
