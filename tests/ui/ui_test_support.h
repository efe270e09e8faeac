// Widget tests need one QApplication for the whole program; it is made on first use (offscreen:
// ctest sets QT_QPA_PLATFORM).
#pragma once

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

}  // namespace zev7::test
