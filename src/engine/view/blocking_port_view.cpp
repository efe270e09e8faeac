#include "engine/view/blocking_port_view.h"

#include <QMetaObject>
#include <QThread>

namespace zev7 {

BlockingPortView::BlockingPortView(PortView& target, QObject* uiContext)
    : target_(target), context_(uiContext) {}

template <class Work>
void BlockingPortView::onUiThread(Work&& work) {
    QObject* context = context_.data();
    if (context == nullptr || QThread::currentThread() == context->thread()) {
        // Without a UI (the context is gone at shutdown) the call runs where it is made.
        work();
        return;
    }
    QMetaObject::invokeMethod(context, std::forward<Work>(work), Qt::BlockingQueuedConnection);
}

void BlockingPortView::protocolLine(int port, const QString& line) {
    onUiThread([&] { target_.protocolLine(port, line); });
}

void BlockingPortView::modePanel(int port, ModePanel mode) {
    onUiThread([&] { target_.modePanel(port, mode); });
}

void BlockingPortView::callStatus(int port, int callNumber, CallStatus status) {
    onUiThread([&] { target_.callStatus(port, callNumber, status); });
}

void BlockingPortView::cycleStarted(int port, const CycleStartInfo& info) {
    onUiThread([&] { target_.cycleStarted(port, info); });
}

void BlockingPortView::callAccounted(int port, const CallRefresh& refresh) {
    onUiThread([&] { target_.callAccounted(port, refresh); });
}

void BlockingPortView::runFinished(int port, bool resumeMonitoring) {
    onUiThread([&] { target_.runFinished(port, resumeMonitoring); });
}

void BlockingPortView::bringToFront(int port) {
    onUiThread([&] { target_.bringToFront(port); });
}

void BlockingPortView::beep(int port) {
    onUiThread([&] { target_.beep(port); });
}

bool BlockingPortView::askLineHeld(int port, const QString& caption, const QString& text) {
    bool yes = false;
    onUiThread([&] { yes = target_.askLineHeld(port, caption, text); });
    return yes;
}

bool BlockingPortView::speakerOn(int port) {
    bool on = false;
    onUiThread([&] { on = target_.speakerOn(port); });
    return on;
}

void BlockingPortView::refreshScheme() {
    onUiThread([&] { target_.refreshScheme(); });
}

bool BlockingPortView::takeAnswerSettings(int port, AnswerSettings& settings) {
    bool taken = false;
    onUiThread([&] { taken = target_.takeAnswerSettings(port, settings); });
    return taken;
}

void BlockingPortView::showAnswerSettings(int port, const AnswerSettings& settings) {
    onUiThread([&] { target_.showAnswerSettings(port, settings); });
}

void BlockingPortView::answerStationFinished(int port, ModePanel mode, bool monitoringEnded) {
    onUiThread([&] { target_.answerStationFinished(port, mode, monitoringEnded); });
}

void BlockingPortView::answerThreadEnded(int port) {
    onUiThread([&] { target_.answerThreadEnded(port); });
}

}  // namespace zev7
