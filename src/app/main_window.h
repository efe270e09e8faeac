// TMainForm, the MDI frame "ВЕРСА-ТЛ": the port list, the toolbars and menus that act on the
// active port window, the registry of open windows with the "Окна" menu and the 33-window limit,
// the database guard and the end of the program.
#pragma once

#include "app/port_window_adapter.h"
#include "ui/frame/window_frame.h"

#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <functional>

class QAction;
class QComboBox;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace zev7 {

class ClosingSequence;
class PortList;
class PortRegistry;
class UserMessages;

// The most child windows open at once.
inline constexpr int kMaxChildWindows = 33;
// The main window's help topic.
inline constexpr int kMainHelpContext = 17;

struct MainWindowServices {
    UserMessages& messages;
    PortRegistry& registry;
    PortList& ports;
    PortWindowAdapter& portWindows;
    // The supervisor's stop requests to every port and answering station, and how many threads
    // still run.
    std::function<void()> stopAll;
    std::function<int()> runningCount;
};

class TMainForm : public QMainWindow, public WindowFrame {
    Q_OBJECT

public:
    explicit TMainForm(const MainWindowServices& services, QWidget* parent = nullptr);
    ~TMainForm() override;

    // OpenPortWindow: shows the port's window, or makes it when the window limit allows.
    QWidget* openPortWindow(int port);
    QWidget* portWindow(int port) const;
    QList<int> openPorts() const;
    // CheckWindowLimit: true while fewer than 33 child windows are open; else the warning.
    bool checkWindowLimit();
    int childWindowCount() const;
    QWidget* activeChild() const;
    // The database operations may run: no port measures and the database windows are closed.
    bool databaseGuard();

    // Ends the program as the close command does, without the question (demonstrations).
    void closeWithoutAsking();
    // The closing sequence reports here when the supervisor's last thread has ended.
    void allThreadsEnded();
    ClosingSequence& closingSequence() { return *closing_; }

    QMdiArea* mdiArea() const { return mdi_; }
    PortList& ports() { return services_.ports; }
    PortWindowAdapter& portWindows() { return services_.portWindows; }
    UserMessages& messages() { return services_.messages; }

    // Adds a window other than a port window to the frame: the window limit first, then the
    // window is shown, restores its layout and answers F1. nullptr when the limit refuses it
    // (the window is then deleted).
    QMdiSubWindow* addChildWindow(QWidget* window) override;
    // The open child window with this object name, or nullptr: windows that exist once.
    QWidget* childWindow(const QString& objectName) const override;
    // Enables a menu item that waits for its window (NShemaScen, N14, N13, N18, N16, N17) and
    // makes it call open.
    void provideWindow(const char* actionName, std::function<void()> open);

    // Closes every child window, the last opened first (each saves its own section).
    void closeAllChildren();
    // The "Окна" menu's window items (rebuilt whenever the menu opens).
    QList<QAction*> windowItems() const;
    // Applies the command rules for the active port window to the buttons and menu items.
    void updateCommands();

    // Hooks of the configuration sets (menu items N9, N10, N11) and of the layout saved at exit.
    std::function<void()> onLoadConfig;
    std::function<void()> onSaveConfig;
    std::function<void()> onRestoreConfig;
    std::function<void()> onSaveLayout;
    // A close nobody asked for begins: the messages and the ports' questions stop waiting for
    // a user.
    std::function<void()> onUnattended;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* makeAction(QMenu* menu, const char* name, const char* text,
                        const QKeySequence& key = {});
    void makeActions();
    void makeMenus();
    void makeToolBars();
    void rebuildPortCombo();
    void rebuildWindowsMenu();
    void forward(ScenarioCommand command);
    void showHelpForFocus();
    void showAbout();
    void finishClose();
    QMdiSubWindow* portSubWindow(int port) const;
    // Shows a new child at `wanted` client size (unless it has a stored place), lets it answer
    // F1 and restore its layout, and activates it.
    void showChild(QMdiSubWindow* sub, QSize wanted);

    MainWindowServices services_;
    QMdiArea* mdi_ = nullptr;
    QComboBox* portCombo_ = nullptr;
    QToolBar* toolBar1_ = nullptr;
    QToolBar* scaleToolBar_ = nullptr;
    QMenu* windowsMenu_ = nullptr;
    QMap<QString, QAction*> actions_;
    QList<QAction*> scaleActions_;
    QList<QAction*> windowItems_;
    QMap<int, QPointer<QMdiSubWindow>> portWindows_;
    ClosingSequence* closing_ = nullptr;
    bool closeConfirmed_ = false;
    bool closeUnattended_ = false;  // closed without the question: nobody answers dialogs
    bool closeAllowed_ = false;
};

}  // namespace zev7
