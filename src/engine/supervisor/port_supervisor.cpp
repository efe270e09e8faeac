#include "engine/supervisor/port_supervisor.h"

#include "core/strings.h"
#include "engine/answer/tmodem_aa_ring.h"
#include "engine/modem/modem_error.h"
#include "engine/port/tcom_thread.h"
#include "engine/view/port_view.h"
#include "engine/view/port_view_router.h"
#include "scenario/user_messages.h"

#include <algorithm>
#include <new>

namespace zev7 {

namespace {

template <class Thread>
std::unique_ptr<Thread> takeOut(std::vector<std::unique_ptr<Thread>>& threads, Thread* thread) {
    const auto found = std::find_if(threads.begin(), threads.end(),
                                    [thread](const auto& t) { return t.get() == thread; });
    if (found == threads.end()) {
        return nullptr;
    }
    std::unique_ptr<Thread> owned = std::move(*found);
    threads.erase(found);
    return owned;
}

}  // namespace

PortSupervisor::PortSupervisor(const PortServices& services, PortViewRouter* router,
                               QObject* parent)
    : QObject(parent), services_(services), router_(router) {}

PortSupervisor::~PortSupervisor() {
    if (ports_.empty() && stations_.empty()) {
        return;
    }
    // This thread stops serving the workers' view calls now: questions get their default.
    if (router_ != nullptr) {
        router_->close();
    }
    for (const auto& t : ports_) {
        t->requestStop();
    }
    for (const auto& t : stations_) {
        t->requestStop();
    }
    for (const auto& t : ports_) {
        t->wait();
    }
    for (const auto& t : stations_) {
        t->wait();
    }
}

// ---- Port threads ----------------------------------------------------------------------------

int PortSupervisor::startPort(int port) {
    PortRegistry& registry = services_.registry;
    if (registry.hasPortThread(port)) {
        return errorNumber(ModemErrorCode::SystemError);
    }
    std::unique_ptr<PortEngine> engine;
    std::unique_ptr<TComThread> thread;
    try {
        engine = std::make_unique<PortEngine>(port, services_);
    } catch (const std::bad_alloc&) {
        return errorNumber(ModemErrorCode::SystemError);
    }
    const int code = loadNumber(engine->load());
    try {
        thread = std::make_unique<TComThread>(std::move(engine), registry);
        ports_.reserve(ports_.size() + 1);
    } catch (const std::bad_alloc&) {
        registry.setRunState(port, PortRunState::Free);
        return errorNumber(ModemErrorCode::SystemError);
    }
    if (!registry.setPortThread(port, thread.get())) {
        // The port runs already: this one gives nothing back and never starts.
        return errorNumber(ModemErrorCode::SystemError);
    }
    TComThread* t = thread.get();
    connect(
        t, &QThread::finished, this, [this, t] { portFinished(t); }, Qt::QueuedConnection);
    ports_.push_back(std::move(thread));
    services_.view.refreshScheme();
    t->start();
    return code;
}

bool PortSupervisor::stopPort(int port) {
    return services_.registry.stopPortThread(port);
}

bool PortSupervisor::portRunning(int port) const {
    return std::any_of(ports_.begin(), ports_.end(),
                       [port](const auto& t) { return t->port() == port; });
}

void PortSupervisor::portFinished(TComThread* thread) {
    std::unique_ptr<TComThread> owned = takeOut(ports_, thread);
    if (owned == nullptr) {
        return;
    }
    owned->wait();
    const int port = owned->port();
    const RunOutcome outcome = owned->outcome();
    owned.reset();
    emit portEnded(port, outcome);
    endedOne();
}

// ---- Answering stations ----------------------------------------------------------------------

int PortSupervisor::startAnswerStation(int port, AnswerMode mode) {
    std::unique_ptr<TModemAA_Ring> thread;
    try {
        thread =
            std::make_unique<TModemAA_Ring>(std::make_unique<AnswerStation>(port, mode, services_),
                                            services_.registry, services_.view);
        stations_.reserve(stations_.size() + 1);
    } catch (const std::bad_alloc&) {
        return errorNumber(ModemErrorCode::SystemError);
    }
    // At most one station per port: while an old one still holds the slot (it is ending), the
    // new one does its job but does not stay.
    const bool portInRange = port >= kFirstPort && port <= kLastPort;
    const bool entered = services_.registry.setAnswerThread(port, thread.get());
    if (!entered) {
        thread->requestStop();
    }
    TModemAA_Ring* t = thread.get();
    connect(
        t, &TModemAA_Ring::constructed, this,
        [this, port, portInRange, entered](int code) {
            if (code == 0 && portInRange && !entered) {
                code = errorNumber(ModemErrorCode::PortBusy);
            }
            emit answerStationStarted(port, code);
        },
        Qt::QueuedConnection);
    connect(
        t, &QThread::finished, this, [this, t] { stationFinished(t); }, Qt::QueuedConnection);
    stations_.push_back(std::move(thread));
    t->start();
    return 0;
}

TModemAA_Ring* PortSupervisor::currentStation(int port) const {
    return dynamic_cast<TModemAA_Ring*>(services_.registry.answerThread(port));
}

bool PortSupervisor::stopAnswerStation(int port) {
    TModemAA_Ring* station = currentStation(port);
    if (station == nullptr) {
        return false;
    }
    station->requestStop();
    return true;
}

bool PortSupervisor::postAnswerCommand(int port, AnswerCommand command) {
    TModemAA_Ring* station = currentStation(port);
    if (station == nullptr) {
        return false;
    }
    station->postCommand(command);
    return true;
}

bool PortSupervisor::answerCommandPending(int port) const {
    const TModemAA_Ring* station = currentStation(port);
    return station != nullptr && station->pendingCommand() != AnswerCommand::None;
}

bool PortSupervisor::answerStationRunning(int port) const {
    return std::any_of(stations_.begin(), stations_.end(),
                       [port](const auto& t) { return t->port() == port; });
}

void PortSupervisor::stationFinished(TModemAA_Ring* thread) {
    std::unique_ptr<TModemAA_Ring> owned = takeOut(stations_, thread);
    if (owned == nullptr) {
        return;
    }
    owned->wait();
    const int port = owned->port();
    const int code = owned->errorCode();
    owned.reset();
    emit answerStationEnded(port, code);
    endedOne();
}

// ---- All -------------------------------------------------------------------------------------

void PortSupervisor::stopAll() {
    for (const auto& t : ports_) {
        t->requestStop();
    }
    for (const auto& t : stations_) {
        t->requestStop();
    }
    if (runningCount() == 0) {
        emit allEnded();
    }
}

int PortSupervisor::runningCount() const {
    return static_cast<int>(ports_.size() + stations_.size());
}

void PortSupervisor::endedOne() {
    if (runningCount() == 0) {
        emit allEnded();
    }
}

bool StopAnswerThread(PortSupervisor& supervisor, UserMessages& messages, int port, bool ask) {
    if (ask && !messages.batchMode() &&
        !messages.ask(txt(str::CaptionWarning), txt(str::AnswerStopMonitoringQuestion))) {
        return false;
    }
    supervisor.stopAnswerStation(port);
    return true;
}

}  // namespace zev7
