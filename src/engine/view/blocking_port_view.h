// Makes every call on a port view a synchronous call on the UI thread: a worker thread's call
// is queued to the thread of `uiContext` and the worker waits until it has run there
// (Qt::BlockingQueuedConnection); a call made on the UI thread itself runs directly.
//
// The UI thread must keep its event loop running while port threads or answering-station
// threads live, and must never wait for one without processing events (it would wait for
// itself).
#pragma once

#include "engine/view/port_view.h"

#include <QObject>
#include <QPointer>

namespace zev7 {

class BlockingPortView : public PortView {
public:
    // `target` is called on the thread `uiContext` lives in.
    BlockingPortView(PortView& target, QObject* uiContext);

    void protocolLine(int port, const QString& line) override;
    void modePanel(int port, ModePanel mode) override;
    void callStatus(int port, int callNumber, CallStatus status) override;
    void cycleStarted(int port, const CycleStartInfo& info) override;
    void callAccounted(int port, const CallRefresh& refresh) override;
    void runFinished(int port, bool resumeMonitoring) override;
    void bringToFront(int port) override;
    void beep(int port) override;
    bool askLineHeld(int port, const QString& caption, const QString& text) override;
    bool speakerOn(int port) override;
    void refreshScheme() override;
    bool takeAnswerSettings(int port, AnswerSettings& settings) override;
    void showAnswerSettings(int port, const AnswerSettings& settings) override;
    void answerStationFinished(int port, ModePanel mode, bool monitoringEnded) override;
    void answerThreadEnded(int port) override;

private:
    // Runs `work` on the UI thread and waits for it.
    template <class Work>
    void onUiThread(Work&& work);

    PortView& target_;
    QPointer<QObject> context_;
};

}  // namespace zev7
