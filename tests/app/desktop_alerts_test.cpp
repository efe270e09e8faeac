// The desktop's notice of the ports' alerts where no tray is (offscreen, a bare window manager):
// one window that is not modal collects the alerts a port thread posts, and each alert is a
// line of the batch log.
#include "app/desktop_alerts.h"

#include "engine/view/ui_thread_caller.h"
#include "ui/ui_test_support.h"

#include <gtest/gtest.h>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <thread>

namespace zev7 {
namespace {

PortAlert alert(int port, AlertKind kind, const char* text) {
    PortAlert a;
    a.port = port;
    a.kind = kind;
    a.text = QString::fromUtf8(text);
    a.time = QDateTime(QDate(2026, 12, 10), QTime(5, 12, 40));
    return a;
}

TEST(DesktopAlerts, WithoutATrayOneWindowCollectsTheAlertsAndHoldsNobody) {
    test::uiApp();
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        GTEST_SKIP() << "this desktop has a tray: the alerts become its messages";
    }
    UiThreadCaller caller;
    QWidget main;
    QStringList log;
    DesktopAlerts alerts(caller, [&log](const QString& line) { log << line; });
    alerts.setWindow(&main);

    alerts.alertRaised(alert(1, AlertKind::LossStreak, "Оповещение: потерь вызовов подряд: 3"));
    // A port thread's alert arrives by a post, as the next turn of the event loop.
    std::thread port([&] {
        alerts.alertRaised(
            alert(3, AlertKind::CallsRecovered, "Оповещение снято: вызов состоялся"));
    });
    port.join();
    QCoreApplication::processEvents();

    QMessageBox* box = alerts.noticeWindow();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("10.12.26 05:12:40 Порт 1: Оповещение: потерь вызовов "
                                          "подряд: 3\n10.12.26 05:12:40 Порт 3: Оповещение "
                                          "снято: вызов состоялся"));
    EXPECT_EQ(log, (QStringList{QStringLiteral("Порт 1: Оповещение: потерь вызовов подряд: 3"),
                                QStringLiteral("Порт 3: Оповещение снято: вызов состоялся")}));
    // Read and closed, it starts empty at the next alert.
    box->close();
    QCoreApplication::processEvents();
    alerts.show(alert(2, AlertKind::ThreadError, "Оповещение: работа порта завершена с ошибкой"));
    ASSERT_NE(alerts.noticeWindow(), nullptr);
    EXPECT_EQ(alerts.noticeWindow()->text().count(u'\n'), 0);
}

}  // namespace
}  // namespace zev7
