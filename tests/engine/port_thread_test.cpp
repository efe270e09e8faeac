// The pieces around the port engine that threads share: the registry's tables and named
// mutexes, the protocol list of a window, the view calls made on the UI thread, and TComThread
// running a whole scenario on a thread of its own (on the manual clock: no real waiting but
// for the event loop that serves its view calls).
#include "port_engine_support.h"

#include "engine/port/tcom_thread.h"
#include "engine/protocol/protocol_list.h"
#include "engine/view/blocking_port_view.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <thread>

namespace zev7 {
namespace {

using porttest::kCaller;
using porttest::PortBench;

QCoreApplication& app() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "port_thread_test";
        static char* argv[] = {name, nullptr};
        static QCoreApplication instance(argc, argv);
    }
    return *QCoreApplication::instance();
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

TEST(BlockingPortView, CallsRunOnTheUiThreadAndTheCallerWaits) {
    QCoreApplication& a = app();
    ThreadNotingView target;
    target.queueLineHeldAnswer(true);
    BlockingPortView view(target, &a);
    QEventLoop loop;
    bool answer = false;
    std::thread worker([&] {
        view.protocolLine(1, QStringLiteral("line"));
        answer = view.askLineHeld(1, QStringLiteral("c"), QStringLiteral("t"));
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    EXPECT_TRUE(answer);
    EXPECT_EQ(target.threads, (QList<QThread*>{a.thread(), a.thread()}));
    // On the UI thread itself the call is direct.
    view.protocolLine(1, QStringLiteral("direct"));
    EXPECT_EQ(target.protocolLines().last(), QStringLiteral("direct"));
}

// ---- TComThread --------------------------------------------------------------------------------

class PortThread : public PortBench {
protected:
    PortThread() { app(); }

    // Runs the event loop until every port thread has ended.
    void waitForPorts() {
        QEventLoop loop;
        QObject::connect(&registry_, &PortRegistry::portThreadEnded, &loop, [&] {
            if (registry_.portThreadCount() == 0) {
                loop.quit();
            }
        });
        if (registry_.portThreadCount() > 0) {
            loop.exec();
        }
    }
    void waitForThread(QPointer<TComThread>& thread) {
        if (!thread.isNull()) {
            thread->wait();
        }
        // The queued deleteLater, then the deletion itself.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(PortThread, RunsTheScenarioAndFreesItself) {
    writeScenario(kCaller, header(), {cycle()});
    BlockingPortView blocking(view_, &app());
    const PortServices base = services();
    const PortServices s{clock_, messages_, blocking, registry_, base.makePort, base.makeResults};
    TComThread* started = nullptr;
    ASSERT_EQ(startPortThread(kCaller, s, &started), 0);
    QPointer<TComThread> thread(started);
    ASSERT_FALSE(thread.isNull());
    EXPECT_FALSE(startPortThread(kCaller, s) == 0);  // one thread per port
    waitForPorts();
    waitForThread(thread);
    EXPECT_TRUE(thread.isNull());
    EXPECT_FALSE(registry_.hasPortThread(kCaller));
    EXPECT_EQ(registry_.runOutcome(kCaller), RunOutcome::Completed);
    EXPECT_EQ(registry_.runState(kCaller), PortRunState::Free);
    EXPECT_EQ(view_.calls().size(), 5);
    EXPECT_EQ(messagesOf(protocolFile(kCaller)).last(), QStringLiteral("Сценарий завершен!"));
}

TEST_F(PortThread, MissingScenarioStillGivesThePortBack) {
    BlockingPortView blocking(view_, &app());
    const PortServices base = services();
    const PortServices s{clock_, messages_, blocking, registry_, base.makePort, base.makeResults};
    TComThread* started = nullptr;
    EXPECT_EQ(startPortThread(kCaller, s, &started), -22);
    QPointer<TComThread> thread(started);
    waitForPorts();
    waitForThread(thread);
    EXPECT_EQ(view_.finishedRuns(), QList<int>{kCaller});
    EXPECT_EQ(registry_.runOutcome(kCaller), RunOutcome::Failed);
    EXPECT_EQ(registry_.runState(kCaller), PortRunState::Free);
}

// The window's Stop after the first call.
class StoppingView : public RecordingPortView {
public:
    explicit StoppingView(PortRegistry& registry) : registry_(registry) {}
    void callAccounted(int port, const CallRefresh& refresh) override {
        RecordingPortView::callAccounted(port, refresh);
        stopPortThread(registry_, port);
    }

private:
    PortRegistry& registry_;
};

TEST_F(PortThread, StopFromTheWindowInterruptsTheScenario) {
    writeScenario(kCaller, header(), {cycle()});
    StoppingView window(registry_);
    BlockingPortView blocking(window, &app());
    const PortServices base = services();
    const PortServices s{clock_, messages_, blocking, registry_, base.makePort, base.makeResults};
    TComThread* started = nullptr;
    ASSERT_EQ(startPortThread(kCaller, s, &started), 0);
    QPointer<TComThread> thread(started);
    waitForPorts();
    waitForThread(thread);
    EXPECT_EQ(window.calls().size(), 1);
    EXPECT_EQ(registry_.runOutcome(kCaller), RunOutcome::Interrupted);
    EXPECT_EQ(messagesOf(protocolFile(kCaller)).last(), QStringLiteral("Сценарий прерван!"));
}

}  // namespace
}  // namespace zev7
