// Tests that run port threads need one QCoreApplication for the whole program. It is made on
// first use and never destroyed: destroyed with the other statics at exit, it could go after
// Qt's own globals it still needs and take the test program down after every test passed.
#pragma once

#include <QCoreApplication>

namespace zev7::test {

inline QCoreApplication& coreApp() {
    static int argc = 1;
    static char name[] = "zev7-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = [] {
        QCoreApplication* existing = QCoreApplication::instance();
        return existing != nullptr ? existing : new QCoreApplication(argc, argv);
    }();
    return *app;
}

}  // namespace zev7::test
