#include "app_test_support.h"

#include "app/closing_sequence.h"
#include "app/scheme_window_link.h"
#include "core/port_run_marker.h"
#include "core/strings.h"
#include "ui/chart/tform_graphic.h"
#include "ui/model/port_graph_data.h"
#include "ui/scheme/scheme_chart.h"
#include "ui/scheme/tftest_scenar.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>

namespace zev7::apptest {
namespace {

using MainWindow = MainWindowFixture;

TEST_F(MainWindow, ThirtyThreeWindowsOpenTheThirtyFourthIsRefused) {
    for (int port = 1; port <= kMaxChildWindows; ++port) {
        ASSERT_NE(form->openPortWindow(port), nullptr) << port;
    }
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(form->openPortWindow(kMaxChildWindows + 1), nullptr);
    EXPECT_EQ(messages.texts(), QStringList{txt(str::TooManyWindows)});
    EXPECT_EQ(form->childWindowCount(), kMaxChildWindows);
    // An open port's window is only shown again, even at the limit.
    EXPECT_NE(form->openPortWindow(5), nullptr);
    EXPECT_EQ(windows.created, kMaxChildWindows);
}

TEST_F(MainWindow, WindowsMenuListsEachWindowWithItsTag) {
    form->openPortWindow(3);
    form->openPortWindow(12);
    for (QMenu* m : form->findChildren<QMenu*>()) {
        if (m->title() == txt(str::MenuWindows)) {
            emit m->aboutToShow();
        }
    }
    QList<QAction*> items = form->windowItems();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Порт:3"));
    EXPECT_EQ(items[0]->data().toInt(), 3);
    EXPECT_EQ(items[1]->data().toInt(), 12);
}

TEST_F(MainWindow, ScenarioCommandsFollowTheActivePortWindow) {
    auto enabled = [this](const char* name) {
        return form->findChild<QAction*>(QString::fromLatin1(name))->isEnabled();
    };
    windows.allowed = {true, true, true, true, false, false};
    EXPECT_FALSE(enabled("NStartScen"));  // no port window yet
    EXPECT_FALSE(enabled("NSaveScen"));
    form->openPortWindow(1);
    EXPECT_TRUE(enabled("NStartScen"));
    EXPECT_TRUE(enabled("NInsCycle"));
    EXPECT_FALSE(enabled("NStopScen"));
    form->findChild<QAction*>(QStringLiteral("NStartScen"))->trigger();
    EXPECT_EQ(windows.forwarded, std::vector<ScenarioCommand>{ScenarioCommand::Start});
    // Windows of later parts are present and disabled, never a dummy window.
    EXPECT_FALSE(enabled("NShemaScen"));
    EXPECT_FALSE(enabled("N16"));
}

TEST_F(MainWindow, ChartToolbarActsOnTheActiveBarGraphOnly) {
    PortGraphData data;
    auto* pie = new TForm_Graphic(1, CallsPie, graphTitle(CallsPie), data, messages, nullptr);
    ASSERT_NE(form->addChildWindow(pie), nullptr);
    QAction* up = form->findChild<QAction*>(QStringLiteral("StepUp_ToolButton"));
    EXPECT_FALSE(up->isEnabled());
    auto* level =
        new TForm_Graphic(1, DialToneBars, graphTitle(DialToneBars), data, messages, nullptr);
    ASSERT_NE(form->addChildWindow(level), nullptr);
    EXPECT_TRUE(up->isEnabled());
    up->trigger();
    // -40..0 moves up by a tenth and becomes the undo range.
    EXPECT_EQ(level->leftWindow(), (AxisWindow{-36, 4}));
    EXPECT_EQ(level->axisSettings().upl, 4.0);
}

TEST_F(MainWindow, ClosingWithRunningPortsAsksOnceStopsAndWaitsAtMostTheGuard) {
    form->show();
    form->openPortWindow(1);
    running = 2;
    messages.queueAnswer(false);
    EXPECT_FALSE(form->close());
    EXPECT_EQ(stopRequests, 0);
    messages.queueAnswer(true);
    EXPECT_FALSE(form->close());
    EXPECT_EQ(stopRequests, 1);
    EXPECT_TRUE(form->closingSequence().waiting());
    EXPECT_EQ(form->closingSequence().guard().interval(), kCloseWaitMs);
    // Another close while waiting neither asks nor stops again.
    EXPECT_FALSE(form->close());
    EXPECT_EQ(messages.count(), 2);
    EXPECT_EQ(stopRequests, 1);
    // A port waits for the user to name its report: the user who asked to close answers it.
    {
        QDialog reportDialog(form.get());
        reportDialog.setModal(true);
        reportDialog.show();
        form->closingSequence().waitExpired();
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(form->closingSequence().waiting());
    }
    // The threads never end: the guard's 10 s close the program anyway.
    form->closingSequence().waitExpired();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->childWindowCount(), 0);
}

// A window whose close takes another window with it, as a port window takes its graphs.
class TakingAlong : public QWidget {
public:
    QPointer<QMdiSubWindow> other;

protected:
    void closeEvent(QCloseEvent* event) override {
        delete other.data();
        QWidget::closeEvent(event);
    }
};

TEST_F(MainWindow, ClosingEveryWindowSurvivesAWindowThatTakesAnotherAlong) {
    form->show();
    QMdiSubWindow* graph = form->addChildWindow(new QLabel(QStringLiteral("graph")));
    auto* port = new TakingAlong;
    port->other = graph;
    ASSERT_NE(form->addChildWindow(port), nullptr);
    running = 0;
    messages.queueAnswer(true);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(form->childWindowCount(), 0);
}

TEST_F(MainWindow, ClosingEndsAsSoonAsTheLastThreadHasEnded) {
    form->show();
    running = 1;
    messages.queueAnswer(true);
    form->close();
    EXPECT_TRUE(form->isVisible());
    running = 0;
    form->allThreadsEnded();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindow, ClosingWithNothingRunningClosesAtOnce) {
    form->show();
    form->openPortWindow(1);
    messages.queueAnswer(true);
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(stopRequests, 1);
}

TEST_F(MainWindow, DatabaseOperationsWaitForThePorts) {
    EXPECT_TRUE(form->databaseGuard());
    registry.setRunState(7, PortRunState::InUse);
    EXPECT_FALSE(form->databaseGuard());
    EXPECT_EQ(messages.texts(), QStringList{txt(str::PortsBusyForDatabase)});
    // A port that zev7-run runs on the same folder counts as much as one of the windows'.
    registry.setRunState(7, PortRunState::Free);
    messages.clear();
    {
        PortRunMarker elsewhere(12);
        ASSERT_TRUE(elsewhere.acquire());
        EXPECT_FALSE(form->databaseGuard());
        EXPECT_EQ(messages.texts(), QStringList{txt(str::PortsBusyForDatabase)});
    }
    EXPECT_TRUE(form->databaseGuard());
}

TEST_F(MainWindow, TheSchemeWindowExistsOnce) {
    SchemeWindowLink link(*form, ini, registry, 46000.0);
    QAction* item = form->findChild<QAction*>(QStringLiteral("NShemaScen"));
    ASSERT_TRUE(item->isEnabled());
    item->trigger();
    item->trigger();
    EXPECT_EQ(form->childWindowCount(), 1);
    ASSERT_NE(link.window(), nullptr);
    // No port window: an empty chart of one page.
    EXPECT_TRUE(link.window()->scheme().rows().empty());
    EXPECT_EQ(link.window()->pageLabel()->text(), QString::fromUtf8("Стр. 1 из 1"));

    // The chart toolbar acts on the scheme: "Увеличение по X" shows a tenth less at each end.
    QAction* zoomX = form->findChild<QAction*>(QStringLiteral("ZoomX_ToolButton"));
    ASSERT_TRUE(zoomX->isEnabled());
    const double before = link.window()->chart()->visible().length();
    zoomX->trigger();
    EXPECT_NEAR(link.window()->chart()->visible().length(), before * 0.8, before * 1e-9);
}

TEST_F(MainWindow, NewWindowsOpenAtTheSizeOfTheirContent) {
    form->resize(1280, 860);
    form->show();
    PortGraphData data;
    auto* level =
        new TForm_Graphic(1, DialToneBars, graphTitle(DialToneBars), data, messages, &ini);
    const QSize wanted = level->size();
    ASSERT_NE(form->addChildWindow(level), nullptr);
    EXPECT_GE(level->width(), wanted.width());
    EXPECT_GE(level->height(), wanted.height());
    EXPECT_GE(level->width(), 600);
    // A stored size wins over the default one.
    level->parentWidget()->resize(300, 250);
    level->parentWidget()->close();
    auto* again =
        new TForm_Graphic(1, DialToneBars, graphTitle(DialToneBars), data, messages, &ini);
    ASSERT_NE(form->addChildWindow(again), nullptr);
    EXPECT_EQ(again->parentWidget()->size(), QSize(300, 250));
}

TEST_F(MainWindow, TilingVerticallyAndHorizontallyDiffer) {
    form->resize(900, 700);
    form->show();
    form->openPortWindow(1);
    form->openPortWindow(2);
    const auto place = [this](int port) {
        return form->portWindow(port)->parentWidget()->geometry();
    };
    form->findChild<QAction*>(QStringLiteral("N_TileVert"))->trigger();
    EXPECT_EQ(place(1).height(), place(2).height());
    EXPECT_EQ(place(1).y(), place(2).y());
    EXPECT_LT(place(1).right(), place(2).left());  // side by side
    form->findChild<QAction*>(QStringLiteral("N_TileHorz"))->trigger();
    EXPECT_EQ(place(1).width(), place(2).width());
    EXPECT_EQ(place(1).x(), place(2).x());
    EXPECT_LT(place(1).bottom(), place(2).top());  // one above the other
}

}  // namespace
}  // namespace zev7::apptest
