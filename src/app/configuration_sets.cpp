#include "app/configuration_sets.h"

#include "app/cycle_settings_windows.h"
#include "app/main_window.h"
#include "app/port_list.h"
#include "core/file_writes.h"
#include "core/ini_file.h"
#include "core/program_dir.h"
#include "core/strings.h"
#include "db/db_location.h"
#include "engine/serial/serial_port_names.h"
#include "scenario/user_messages.h"
#include "ui/port/tform_data.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QToolBar>

namespace zev7 {

namespace {

// The share of the screen the main window takes at the first start.
constexpr double kFirstStartShare = 0.9;

QString mainSection() {
    return txt(str::ProgramName);
}

QString portKey(int port) {
    return QStringLiteral("FormPort%1").arg(port);
}

// The single windows whose being open the layout keeps: the key, the window's object name and
// the menu item that opens it (the settings window opens on the active port window's cycle).
struct SingleWindow {
    const char* key;
    const char* objectName;
    const char* action;
};
constexpr SingleWindow kSingleWindows[] = {
    {"FTestScenar", "TFTestScenar", "NShemaScen"},
    {"Form_InterfaceBD", "TForm_InterfaceBD", "N14"},
    {"FormSet", "TFormSet", nullptr},
};

QString configFilter() {
    return txt(str::ConfigFilter) + QStringLiteral(" ( *.cfg)");
}

}  // namespace

ConfigurationSets::ConfigurationSets(TMainForm& window, IniFile& ini)
    : window_(window), ini_(ini) {}

QString ConfigurationSets::configFile() {
    return programPath(QString::fromLatin1(kConfigFileName));
}

void ConfigurationSets::saveLayout() {
    IniFile& ini = ini_;
    const QString section = mainSection();
    const QList<int> open = window_.openPorts();
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        ini.writeInt(section, portKey(port), open.contains(port) ? 1 : 0);
    }
    for (const SingleWindow& w : kSingleWindows) {
        const bool open = window_.childWindow(QString::fromLatin1(w.objectName)) != nullptr;
        ini.writeInt(section, QString::fromLatin1(w.key), open ? 1 : 0);
    }
    ini.writeInt(section, QStringLiteral("FormVersion"), kLayoutVersion);
    const QRect place = window_.normalGeometry();
    ini.writeInt(section, QStringLiteral("Left"), place.x());
    ini.writeInt(section, QStringLiteral("Top"), place.y());
    ini.writeInt(section, QStringLiteral("Width"), place.width());
    ini.writeInt(section, QStringLiteral("Height"), place.height());
    ini.writeInt(section, QStringLiteral("Maximized"), window_.isMaximized() ? 1 : 0);
    for (const char* name : {"ToolBar1", "Scale_ToolBar2"}) {
        if (auto* bar = window_.findChild<QToolBar*>(QString::fromLatin1(name))) {
            ini.writeInt(section, QString::fromLatin1(name) + QStringLiteral(".Left"), bar->x());
            ini.writeInt(section, QString::fromLatin1(name) + QStringLiteral(".Top"), bar->y());
        }
    }
    ini.save();
    window_.closeAllChildren();
}

void ConfigurationSets::restoreLayout() {
    const IniFile& ini = ini_;
    const QString section = mainSection();
    const int width = ini.readInt(section, QStringLiteral("Width"), 0);
    const int height = ini.readInt(section, QStringLiteral("Height"), 0);
    if (width > 0 && height > 0) {
        window_.setGeometry(ini.readInt(section, QStringLiteral("Left"), 0),
                            ini.readInt(section, QStringLiteral("Top"), 0), width, height);
    } else if (!placed_ && window_.screen() != nullptr) {
        // The first start: most of the screen, centred. Qt's own guess for an empty frame is
        // narrower than the cycle list, which would open cut off at the frame's edge.
        const QRect screen = window_.screen()->availableGeometry();
        QRect place(QPoint(), screen.size() * kFirstStartShare);
        place.moveCenter(screen.center());
        window_.setGeometry(place);
    }
    placed_ = true;
    if (ini.readInt(section, QStringLiteral("Maximized"), 0) == 1) {
        window_.setWindowState(window_.windowState() | Qt::WindowMaximized);
    }
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        if (ini.readInt(section, portKey(port), 0) == 1) {
            // A port that has gone from this computer is passed over without a word.
            if (window_.ports().contains(port)) {
                window_.openPortWindow(port);
            }
        } else if (QWidget* open = window_.portWindow(port)) {
            open->parentWidget()->close();
        }
    }
    for (const SingleWindow& w : kSingleWindows) {
        restoreSingleWindow(w.key, w.objectName, w.action);
    }
    window_.updateCommands();
}

void ConfigurationSets::restoreSingleWindow(const char* key, const char* objectName,
                                            const char* action) {
    const bool wanted = ini_.readInt(mainSection(), QString::fromLatin1(key), 0) == 1;
    QWidget* open = window_.childWindow(QString::fromLatin1(objectName));
    if (!wanted) {
        if (open != nullptr) {
            open->parentWidget()->close();
        }
        return;
    }
    if (action != nullptr) {
        // The menu item is disabled while its window cannot be had (no database, say).
        QAction* item = window_.findChild<QAction*>(QString::fromLatin1(action));
        if (open == nullptr && item != nullptr && item->isEnabled()) {
            item->trigger();
        }
        return;
    }
    // The settings window shows the selected cycle of the port window the user works in.
    auto* settings = window_.findChild<CycleSettingsWindows*>();
    auto* port = qobject_cast<TForm_Data*>(window_.activeChild());
    if (port == nullptr) {
        const QList<int> ports = window_.openPorts();
        port =
            ports.isEmpty() ? nullptr : qobject_cast<TForm_Data*>(window_.portWindow(ports.last()));
    }
    if (settings != nullptr && port != nullptr) {
        settings->onWanted(port, true);
    }
}

bool ConfigurationSets::saveConfiguration(const QString& file) {
    saveLayout();
    // The set is the configuration file as it stands now, written whole or not at all.
    const QString error = replaceFileContent(file, ini_.toText());
    if (!error.isEmpty()) {
        window_.messages().error(
            txt(str::ConfigCannotWrite).arg(QDir::toNativeSeparators(file), error));
        return false;
    }
    return true;
}

bool ConfigurationSets::loadConfiguration(const QString& file) {
    QFile set(file);
    QByteArray bytes;
    if (set.open(QIODevice::ReadOnly) && set.size() <= IniFile::kMaxFileBytes) {
        bytes = set.readAll();
    }
    if (!set.isOpen() || set.error() != QFileDevice::NoError || bytes.size() != set.size()) {
        window_.messages().error(txt(str::ConfigCannotRead).arg(QDir::toNativeSeparators(file)));
        return false;
    }
    // The database belongs to this station, not to the set (which may come from another one).
    const IniFile before = ini_;
    // The configuration file is replaced only once the whole set is on the disk: a full disk
    // leaves the layout the user had.
    const QString error = replaceFileContent(configFile(), bytes);
    if (!error.isEmpty()) {
        window_.messages().error(
            txt(str::ConfigCannotWrite).arg(QDir::toNativeSeparators(configFile()), error));
        return false;
    }
    // Every window reads its place from the file in memory, and the program writes that back at
    // exit: it must now hold the loaded set, not what was read at start.
    ini_.load();
    if (DbLocation::keepIniSection(before, ini_)) {
        ini_.save();
    }
    // Windows that stay open take their places from the loaded file.
    for (int port : window_.openPorts()) {
        window_.portWindows().reloadPlacement(window_.portWindow(port));
    }
    restoreLayout();
    return true;
}

void ConfigurationSets::restoreConfiguration() {
    // With the file switched off every window reads its defaults and nothing is written.
    const QString path = ini_.path();
    ini_.setPath({});
    window_.mdiArea()->cascadeSubWindows();
    for (int port : window_.openPorts()) {
        window_.portWindows().applyDefaults(window_.portWindow(port));
    }
    ini_.setPath(path);
}

void ConfigurationSets::saveConfigurationAsked() {
    const QString folder = programPath(QString::fromLatin1(kConfigFolder));
    QString start = folder;
    for (;;) {
        QString file =
            QFileDialog::getSaveFileName(&window_, txt(str::MenuSaveConfig), start, configFilter(),
                                         nullptr, QFileDialog::DontConfirmOverwrite);
        if (file.isEmpty()) {
            return;
        }
        if (!QFileInfo(file).fileName().contains(QLatin1Char('.'))) {
            file += QStringLiteral(".cfg");
        }
        if (QFileInfo::exists(file) &&
            !window_.messages().askYesNo(txt(str::ScenarioExistsName) + QStringLiteral(" '") +
                                         QFileInfo(file).fileName() + QStringLiteral("' ") +
                                         txt(str::ScenarioExistsOverwrite))) {
            start = file;
            continue;
        }
        saveConfiguration(file);
        return;
    }
}

void ConfigurationSets::loadConfigurationAsked() {
    const QString file = QFileDialog::getOpenFileName(
        &window_, txt(str::ConfigOpenTitle), programPath(QString::fromLatin1(kConfigFolder)),
        configFilter());
    if (!file.isEmpty()) {
        loadConfiguration(file);
    }
}

}  // namespace zev7
