// The pieces around the port engine that threads share: the registry's tables and named
// mutexes, the protocol list of a window, the view calls made on the UI thread, and TComThread
// running a whole scenario on a thread of its own under the supervisor (on the manual clock:
// no real waiting but for the event loop that serves its view calls).
#include "port_engine_support.h"

#include "engine/protocol/protocol_list.h"
#include "engine/supervisor/port_supervisor.h"
#include "engine/view/port_view_router.h"
#include "support/core_app.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>

namespace zev7 {
namespace {

using porttest::kCaller;
using porttest::PortBench;

QCoreApplication& app() {
    return test::coreApp();
}

// ---- Protocol list ---------------------------------------------------------------------------

TEST(ProtocolList, AFullListIsEmptiedBeforeTheNextLine) {
    ProtocolList list;
    for (int i = 0; i < 301; ++i) {
        list.append(QString::number(i));
    }
    EXPECT_EQ(list.size(), 301);
    list.append(QStringLiteral("next"));
    EXPECT_EQ(list.lines(), QStringList{QStringLiteral("next")});
}

// ---- Registry --------------------------------------------------------------------------------

TEST(PortRegistry, ActiveNumbersCompareTheDialledLine) {
    PortRegistry r;
    r.claimNumber(1, porttest::numberFromFields({"8W", "-", "(495)", "-", "123", "4567", "-"}));
    // Another pre-dial and a bracketed city code: the same line.
    const TelNumber same = porttest::numberFromFields({"-", "-", "495", "-", "123", "4567", "-"});
    EXPECT_TRUE(r.numberTakenByOther(2, same));
    EXPECT_FALSE(r.numberTakenByOther(1, same));  // a port's own slot does not count
    EXPECT_FALSE(r.numberTakenByOther(2, porttest::plainNumber("4567")));
    r.releaseNumber(1);
    EXPECT_FALSE(r.activeNumber(1).has_value());
    EXPECT_FALSE(r.numberTakenByOther(2, same));
    // Outside 1..64 nothing is kept.
    r.claimNumber(65, same);
    r.claimNumber(0, same);
    EXPECT_FALSE(r.numberTakenByOther(2, same));
}

struct StopRecorder : StoppablePort {
    void requestStop() override { ++stops; }
    int stops = 0;
};

TEST(PortRegistry, PortThreadSlots) {
    PortRegistry r;
    StopRecorder a;
    StopRecorder b;
    int ended = 0;
    QObject::connect(&r, &PortRegistry::portThreadEnded, &r, [&](int port) {
        EXPECT_EQ(port, 5);
        ++ended;
    });
    EXPECT_TRUE(r.setPortThread(5, &a));
    EXPECT_FALSE(r.setPortThread(5, &b));
    EXPECT_FALSE(r.setPortThread(65, &b));
    EXPECT_EQ(r.portThreadCount(), 1);
    EXPECT_TRUE(r.stopPortThread(5));
    EXPECT_FALSE(r.stopPortThread(6));
    EXPECT_EQ(a.stops, 1);
    r.clearPortThread(5, &b);  // not its slot
    EXPECT_TRUE(r.hasPortThread(5));
    r.clearPortThread(5, &a);
    EXPECT_FALSE(r.hasPortThread(5));
    EXPECT_EQ(ended, 1);
}

// A clock whose minute passes in a real millisecond.
class FastClock : public ManualClock {
public:
    double scale() const override { return 60000.0; }
};

TEST(NamedMutex, AWaitThatTimesOutGoesOnWithoutTheMutex) {
    PortRegistry r;
    FastClock clock;
    NamedMutexLocker first(r.cycleSelectionMutex(), clock);
    ASSERT_TRUE(first.owns());
    {
        // Held elsewhere: the wait ends and the work goes on; nothing is released after it.
        NamedMutexLocker second(r.cycleSelectionMutex(), clock);
        EXPECT_FALSE(second.owns());
    }
    first.unlock();
    NamedMutexLocker third(r.cycleSelectionMutex(), clock);
    EXPECT_TRUE(third.owns());
    EXPECT_EQ(r.cycleSelectionMutex().name(), QStringLiteral("hMutexNameStr1_ZEV7"));
    EXPECT_EQ(r.resultFilesMutex().name(), QStringLiteral("hMutexNameStr_ZEV7"));
    EXPECT_EQ(r.spareMutex().name(), QStringLiteral("hMutexName2_ZEV7"));
}

// ---- View calls on the UI thread -------------------------------------------------------------

class ThreadNotingView : public RecordingPortView {
public:
    void protocolLine(int port, const QString& line) override {
        threads.append(QThread::currentThread());
        RecordingPortView::protocolLine(port, line);
    }
    bool askLineHeld(int port, const QString& caption, const QString& text) override {
        threads.append(QThread::currentThread());
        return RecordingPortView::askLineHeld(port, caption, text);
    }
    QList<QThread*> threads;
};

// ---- The router to the UI thread ---------------------------------------------------------------

TEST(PortViewRouter, NotificationsArePostedInOrderAndOnlyQuestionsWait) {
    QCoreApplication& a = app();
    ThreadNotingView window;
    window.queueLineHeldAnswer(true);
    PortViewRouter router;
    router.setPortView(1, &window);
    bool answer = false;
    int linesSeenByWorker = -1;
    std::promise<void> posted;
    QEventLoop loop;
    std::thread worker([&] {
        router.protocolLine(1, QStringLiteral("first"));
        router.protocolLine(1, QStringLiteral("second"));
        linesSeenByWorker = static_cast<int>(window.protocolLines().size());
        posted.set_value();
        answer = router.askLineHeld(1, QStringLiteral("c"), QStringLiteral("t"));
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // The UI thread serves no event until the worker has posted: the worker went on.
    posted.get_future().wait();
    loop.exec();
    worker.join();
    EXPECT_EQ(linesSeenByWorker, 0);
    EXPECT_TRUE(answer);
    EXPECT_EQ(window.protocolLines(),
              (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    EXPECT_EQ(window.threads, (QList<QThread*>{a.thread(), a.thread(), a.thread()}));
}

TEST(PortViewRouter, AClosedWindowIsGoneFromTheRouteAndAClosedRouterAnswersNo) {
    app();
    RecordingPortView console;
    PortViewRouter router;
    router.setDefaultView(&console);
    auto window = std::make_unique<RecordingPortView>();
    auto guard = std::make_unique<QObject>();
    router.setPortView(3, window.get(), guard.get());
    router.protocolLine(3, QStringLiteral("to the window"));
    EXPECT_EQ(window->protocolLines().size(), 1);
    guard.reset();  // the window closes
    window.reset();
    router.protocolLine(3, QStringLiteral("to the console"));
    EXPECT_EQ(console.protocolLines(), QStringList{QStringLiteral("to the console")});

    console.queueLineHeldAnswer(true);
    router.close();
    bool answer = true;
    std::thread worker([&] { answer = router.askLineHeld(3, QString(), QString()); });
    worker.join();  // a closed router never waits for the UI thread
    EXPECT_FALSE(answer);
}

// ---- Port threads under the supervisor --------------------------------------------------------

class PortThread : public PortBench {
protected:
    PortThread() { app(); }

    PortServices threadServices(PortView& view) {
        const PortServices base = services();
        return PortServices{clock_, messages_, view, registry_, base.makePort, base.makeResults};
    }
    // Serves the event loop until the supervisor has joined every thread.
    static void waitForAll(PortSupervisor& supervisor) {
        QEventLoop loop;
        QObject::connect(&supervisor, &PortSupervisor::allEnded, &loop, &QEventLoop::quit);
        if (supervisor.runningCount() > 0) {
            loop.exec();
        }
    }
};

TEST_F(PortThread, RunsTheScenarioAndIsJoinedByTheSupervisor) {
    writeScenario(kCaller, header(), {cycle()});
    PortSupervisor supervisor(threadServices(view_));
    QList<QPair<int, RunOutcome>> ended;
    QObject::connect(&supervisor, &PortSupervisor::portEnded, &supervisor,
                     [&](int port, RunOutcome outcome) {
                         ended.append({port, outcome});
                     });
    ASSERT_EQ(supervisor.startPort(kCaller), 0);
    EXPECT_TRUE(supervisor.portRunning(kCaller));
    EXPECT_FALSE(supervisor.startPort(kCaller) == 0);  // one thread per port
    waitForAll(supervisor);
    EXPECT_EQ(ended, (QList<QPair<int, RunOutcome>>{{kCaller, RunOutcome::Completed}}));
    EXPECT_FALSE(supervisor.portRunning(kCaller));
    EXPECT_FALSE(registry_.hasPortThread(kCaller));
    EXPECT_EQ(registry_.runState(kCaller), PortRunState::Free);
    EXPECT_EQ(view_.calls().size(), 5);
    EXPECT_EQ(messagesOf(protocolFile(kCaller)).last(), QStringLiteral("Сценарий завершен!"));
}

TEST_F(PortThread, MissingScenarioStillGivesThePortBack) {
    PortSupervisor supervisor(threadServices(view_));
    EXPECT_EQ(supervisor.startPort(kCaller), -22);
    waitForAll(supervisor);
    EXPECT_EQ(view_.finishedRuns(), QList<int>{kCaller});
    EXPECT_EQ(registry_.runOutcome(kCaller), RunOutcome::Failed);
    EXPECT_EQ(registry_.runState(kCaller), PortRunState::Free);
}

// The window's Stop after the first call.
class StoppingView : public RecordingPortView {
public:
    void callAccounted(int port, const CallRefresh& refresh) override {
        RecordingPortView::callAccounted(port, refresh);
        supervisor->stopPort(port);
    }
    PortSupervisor* supervisor = nullptr;
};

TEST_F(PortThread, StopFromTheWindowInterruptsTheScenario) {
    writeScenario(kCaller, header(), {cycle()});
    StoppingView window;
    PortSupervisor supervisor(threadServices(window));
    window.supervisor = &supervisor;
    ASSERT_EQ(supervisor.startPort(kCaller), 0);
    waitForAll(supervisor);
    EXPECT_EQ(window.calls().size(), 1);
    EXPECT_EQ(registry_.runOutcome(kCaller), RunOutcome::Interrupted);
    EXPECT_EQ(messagesOf(protocolFile(kCaller)).last(), QStringLiteral("Сценарий прерван!"));
}

// A fault inside the program: the thread's barrier ends the run, the port is given back and the
// program goes on.
class ThrowingView : public RecordingPortView {
public:
    void cycleStarted(int port, const CycleStartInfo& info) override {
        RecordingPortView::cycleStarted(port, info);
        throw std::runtime_error("view failed");
    }
};

TEST_F(PortThread, AnExceptionEndsTheRunWithAProtocolLine) {
    writeScenario(kCaller, header(), {cycle()});
    ThrowingView window;
    PortSupervisor supervisor(threadServices(window));
    RunOutcome outcome = RunOutcome::None;
    QObject::connect(&supervisor, &PortSupervisor::portEnded, &supervisor,
                     [&](int, RunOutcome o) { outcome = o; });
    ASSERT_EQ(supervisor.startPort(kCaller), 0);
    waitForAll(supervisor);
    EXPECT_EQ(outcome, RunOutcome::Failed);
    EXPECT_EQ(registry_.runState(kCaller), PortRunState::Free);
    EXPECT_FALSE(registry_.hasPortThread(kCaller));
    EXPECT_EQ(messagesOf(protocolFile(kCaller)).last(),
              QStringLiteral("Работа прервана внутренней ошибкой программы: view failed"));
    EXPECT_EQ(window.finishedRuns(), QList<int>{kCaller});
}

TEST_F(PortThread, StopAllEndsEveryPortAndSaysSoOnce) {
    writeScenario(kCaller, header(), {cycle()});
    PortSupervisor supervisor(threadServices(view_));
    int allEnded = 0;
    QObject::connect(&supervisor, &PortSupervisor::allEnded, &supervisor, [&] { ++allEnded; });
    ASSERT_EQ(supervisor.startPort(kCaller), 0);
    supervisor.stopAll();
    waitForAll(supervisor);
    EXPECT_EQ(allEnded, 1);
    EXPECT_EQ(supervisor.runningCount(), 0);
    EXPECT_NE(registry_.runOutcome(kCaller), RunOutcome::Completed);
}

}  // namespace
}  // namespace zev7
