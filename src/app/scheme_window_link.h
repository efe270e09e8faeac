// The main window's one scheme window: the menu item NShemaScen (Ctrl+F4) opens it or brings it
// forward; it is rebuilt when it comes to the front, when another window opens or closes, and
// when a port thread starts or ends (the threads' refreshScheme, which reaches the program's
// default view).
#pragma once

#include "engine/view/port_view.h"

#include <QObject>

namespace zev7 {

class IniFile;
class PortRegistry;
class TFTestScenar;
class TMainForm;

class SchemeWindowLink : public QObject, public PortView {
    Q_OBJECT

public:
    SchemeWindowLink(TMainForm& main, IniFile& ini, PortRegistry& registry, double programStart,
                     QObject* parent = nullptr);

    // Opens the window, or brings the open one forward.
    TFTestScenar* open();
    // The open scheme window, or nullptr.
    TFTestScenar* window() const;

    void refreshScheme() override;

private:
    TMainForm& main_;
    IniFile& ini_;
    PortRegistry& registry_;
    double programStart_;
};

}  // namespace zev7
