// Widget tests need one QApplication for the whole program; it is made on first use (offscreen:
// ctest sets QT_QPA_PLATFORM).
#pragma once

#include "ui/port/port_control.h"

#include <QApplication>
#include <QTemporaryDir>

namespace zev7::test {

inline QApplication& uiApp() {
    static int argc = 1;
    static char name[] = "zev7-ui-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        return new QApplication(argc, argv);
    }();
    return *app;
}

// A port whose threads never start: for windows tested without a run.
class IdlePortControl : public PortControl {
public:
    int startPort(int) override { return 0; }
    bool stopPort(int) override { return false; }
    bool portRunning(int) const override { return false; }
    int startAnswerStation(int, AnswerMode) override { return 0; }
    bool stopAnswerStation(int) override { return false; }
    bool postAnswerCommand(int, AnswerCommand) override { return false; }
    bool answerCommandPending(int) const override { return false; }
    bool answerStationRunning(int) const override { return false; }
};

}  // namespace zev7::test
