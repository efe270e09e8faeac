#include "engine/view/port_view_router.h"

namespace zev7 {

namespace {
// The scheme window is not a port's: it hangs off the default view.
constexpr int kNoPort = 0;
}  // namespace

PortViewRouter::PortViewRouter(QObject* parent) : QObject(parent) {}

PortViewRouter::~PortViewRouter() {
    close();
}

void PortViewRouter::setPortView(int port, PortView* view, QObject* guard) {
    if (view == nullptr) {
        clearPortView(port);
        return;
    }
    routes_[port] = Route{view, guard, guard != nullptr};
}

void PortViewRouter::clearPortView(int port) {
    routes_.erase(port);
}

void PortViewRouter::setDefaultView(PortView* view, QObject* guard) {
    default_ = Route{view, guard, guard != nullptr};
}

PortView* PortViewRouter::viewFor(int port) {
    const auto found = routes_.find(port);
    if (found != routes_.end()) {
        if (PortView* view = found->second.live()) {
            return view;
        }
        routes_.erase(found);
    }
    return default_.live();
}

template <class Work>
void PortViewRouter::toView(int port, Work work) {
    caller_.post([this, port, work = std::move(work)] {
        if (PortView* view = viewFor(port)) {
            work(*view);
        }
    });
}

void PortViewRouter::protocolLine(int port, const QString& line) {
    toView(port, [port, line](PortView& v) { v.protocolLine(port, line); });
}

void PortViewRouter::modePanel(int port, ModePanel mode) {
    toView(port, [port, mode](PortView& v) { v.modePanel(port, mode); });
}

void PortViewRouter::callStatus(int port, int callNumber, CallStatus status) {
    toView(port, [=](PortView& v) { v.callStatus(port, callNumber, status); });
}

void PortViewRouter::cycleStarted(int port, const CycleStartInfo& info) {
    toView(port, [port, info](PortView& v) { v.cycleStarted(port, info); });
}

void PortViewRouter::callAccounted(int port, const CallRefresh& refresh) {
    toView(port, [port, refresh](PortView& v) { v.callAccounted(port, refresh); });
}

void PortViewRouter::runFinished(int port, bool resumeMonitoring) {
    toView(port, [=](PortView& v) { v.runFinished(port, resumeMonitoring); });
}

void PortViewRouter::bringToFront(int port) {
    toView(port, [port](PortView& v) { v.bringToFront(port); });
}

void PortViewRouter::beep(int port) {
    toView(port, [port](PortView& v) { v.beep(port); });
}

void PortViewRouter::refreshScheme() {
    toView(kNoPort, [](PortView& v) { v.refreshScheme(); });
}

void PortViewRouter::showAnswerSettings(int port, const AnswerSettings& settings) {
    toView(port, [port, settings](PortView& v) { v.showAnswerSettings(port, settings); });
}

void PortViewRouter::answerStationFinished(int port, ModePanel mode, bool monitoringEnded) {
    toView(port, [=](PortView& v) { v.answerStationFinished(port, mode, monitoringEnded); });
}

void PortViewRouter::answerThreadEnded(int port) {
    toView(port, [port](PortView& v) { v.answerThreadEnded(port); });
}

bool PortViewRouter::askLineHeld(int port, const QString& caption, const QString& text) {
    // Unanswered (no window, program closing): No, the scenario stops.
    return caller_.ask(false, [this, port, caption, text] {
        PortView* view = viewFor(port);
        return view != nullptr && view->askLineHeld(port, caption, text);
    });
}

bool PortViewRouter::speakerOn(int port) {
    return caller_.ask(false, [this, port] {
        PortView* view = viewFor(port);
        return view != nullptr && view->speakerOn(port);
    });
}

std::optional<QString> PortViewRouter::askReportPath(int port, const ReportSaveDialog& dialog) {
    // Unanswered (no window, program closing): as a cancel, the working report stays.
    return caller_.ask(std::optional<QString>(), [this, port, dialog] {
        PortView* view = viewFor(port);
        return view != nullptr ? view->askReportPath(port, dialog) : std::optional<QString>();
    });
}

bool PortViewRouter::takeAnswerSettings(int port, AnswerSettings& settings) {
    struct Taken {
        bool taken = false;
        AnswerSettings settings;
    };
    const Taken result = caller_.ask(Taken{false, settings}, [this, port, settings] {
        Taken t{false, settings};
        if (PortView* view = viewFor(port)) {
            t.taken = view->takeAnswerSettings(port, t.settings);
        }
        return t;
    });
    if (result.taken) {
        settings = result.settings;
    }
    return result.taken;
}

}  // namespace zev7
