// The saved layout and the configuration sets. "ZEV7.ini" holds the main section "ВЕРСА-ТЛ"
// (which port windows were open, the main window's place and its toolbars) and one section per
// window named by its caption, which the windows write themselves. A configuration set is a copy
// of that file in "CFG": saving one writes the layout and copies the file; loading one copies it
// back and applies it; restoring the configuration lays the open windows out with their
// defaults and leaves the file as it is.
#pragma once

#include "core/ini_file.h"

#include <QString>

namespace zev7 {

class TMainForm;

inline constexpr char kConfigFolder[] = "CFG";
inline constexpr int kLayoutVersion = 1;

class ConfigurationSets {
public:
    // `ini` is the program's configuration file, shared with every window.
    ConfigurationSets(TMainForm& window, IniFile& ini);

    // "ZEV7.ini" in the program directory.
    static QString configFile();

    // Writes the main section, then closes every child window (each writes its own section).
    void saveLayout();
    // Reopens the port windows the main section names, when the port still exists, and closes
    // the others; the same for the scheme, the database interface and the settings window;
    // places the main window.
    void restoreLayout();

    // N10: the layout, then a copy of the configuration file as `file`.
    bool saveConfiguration(const QString& file);
    // N9: `file` over the configuration file, then its layout.
    bool loadConfiguration(const QString& file);
    // N11: every open window with its default values, cascaded; "ZEV7.ini" untouched.
    void restoreConfiguration();

    // The dialogs of N10 and N9 around the two above; a cancelled dialog changes nothing.
    void saveConfigurationAsked();
    void loadConfigurationAsked();

private:
    // Opens or closes one of the single windows by its flag in the main section.
    void restoreSingleWindow(const char* key, const char* objectName, const char* action);

    TMainForm& window_;
    IniFile& ini_;
    bool placed_ = false;  // the main window has had its place once
};

}  // namespace zev7
