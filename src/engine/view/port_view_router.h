// The one PortView every port thread and answering-station thread of the program talks to. It
// lives on the UI thread, owned by the program, never by a window: each call is carried over
// to the UI thread (posted, or waited for when the worker needs the answer, see
// UiThreadCaller) and handed there to the view that shows the port now: its port window, or
// the default view (the main window, the console of zev7-run). A window that closes mid-call is
// simply gone from the route; what was meant for it goes to the default view, or nowhere.
#pragma once

#include "engine/view/port_view.h"
#include "engine/view/ui_thread_caller.h"

#include <QObject>
#include <QPointer>
#include <map>

namespace zev7 {

class PortViewRouter : public QObject, public PortView {
public:
    // Made on the UI thread.
    explicit PortViewRouter(QObject* parent = nullptr);
    ~PortViewRouter() override;

    // ---- On the UI thread ---------------------------------------------------------------
    // The port's calls go to `view` from now on. With a `guard` (normally the window itself)
    // the route ends by itself when the guard is destroyed; without one the caller clears it.
    void setPortView(int port, PortView* view, QObject* guard = nullptr);
    void clearPortView(int port);
    // Where the calls of a port without a view of its own go; nullptr: nowhere.
    void setDefaultView(PortView* view, QObject* guard = nullptr);
    // The view that gets the port's calls now (nullptr: none).
    PortView* viewFor(int port);

    // ---- From any thread ----------------------------------------------------------------
    // The mechanism, for the program's other bridges (messages, graph pictures).
    UiThreadCaller& caller() { return caller_; }
    // At program end, before the UI thread stops serving events: questions get their default
    // answers, notifications are dropped.
    void close() { caller_.close(); }
    // The program ends with nobody to answer: questions get their defaults, posts go on.
    void answerNobody() { caller_.answerNobody(); }

    // ---- PortView: posted ---------------------------------------------------------------
    void protocolLine(int port, const QString& line) override;
    void modePanel(int port, ModePanel mode) override;
    void callStatus(int port, int callNumber, CallStatus status) override;
    void cycleStarted(int port, const CycleStartInfo& info) override;
    void callAccounted(int port, const CallRefresh& refresh) override;
    void runFinished(int port, bool resumeMonitoring) override;
    void bringToFront(int port) override;
    void beep(int port) override;
    void refreshScheme() override;
    void showAnswerSettings(int port, const AnswerSettings& settings) override;
    void answerStationFinished(int port, ModePanel mode, bool monitoringEnded) override;
    void answerThreadEnded(int port) override;

    // ---- PortView: the worker waits for the answer ---------------------------------------
    bool askLineHeld(int port, const QString& caption, const QString& text) override;
    bool speakerOn(int port) override;
    std::optional<QString> askReportPath(int port, const ReportSaveDialog& dialog) override;
    bool takeAnswerSettings(int port, AnswerSettings& settings) override;

private:
    struct Route {
        PortView* view = nullptr;
        QPointer<QObject> guard;
        bool guarded = false;

        PortView* live() const { return guarded && guard.isNull() ? nullptr : view; }
    };

    // Posts `work(view)` for the port's current view, looked up when it runs.
    template <class Work>
    void toView(int port, Work work);

    UiThreadCaller caller_;
    std::map<int, Route> routes_;
    Route default_;
};

}  // namespace zev7
