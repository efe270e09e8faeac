#include "engine/answer/tmodem_aa_ring.h"

#include "core/strings.h"
#include "engine/modem/modem_error.h"
#include "engine/registry/port_registry.h"
#include "engine/view/port_view.h"
#include "scenario/user_messages.h"

#include <QCoreApplication>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

namespace zev7 {

namespace {
// While the station's first dialogue runs, the starting thread serves its queued calls this
// often (real time).
constexpr std::chrono::milliseconds kConstructionPoll{5};

TModemAA_Ring* stationOf(PortRegistry& registry, int port) {
    return dynamic_cast<TModemAA_Ring*>(registry.answerThread(port));
}
}  // namespace

// Shared by the thread and its starter, so that neither outlives what it waits on.
struct TModemAA_Ring::Construction {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    int code = 0;
};

TModemAA_Ring::TModemAA_Ring(std::unique_ptr<AnswerStation> station, PortRegistry& registry,
                             PortView& view)
    : station_(std::move(station)),
      registry_(registry),
      view_(view),
      port_(station_->port()),
      construction_(std::make_shared<Construction>()) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

TModemAA_Ring::~TModemAA_Ring() = default;

void TModemAA_Ring::requestStop() {
    station_->requestStop();
}

void TModemAA_Ring::postCommand(AnswerCommand command) {
    station_->postCommand(command);
}

AnswerCommand TModemAA_Ring::pendingCommand() const {
    return station_->pendingCommand();
}

std::optional<int> TModemAA_Ring::startAndConstruct() {
    // Taken before the thread runs: it may end and be deleted before the wait is over.
    const std::shared_ptr<Construction> c = construction_;
    start();
    std::unique_lock lock(c->mutex);
    // A thread that ran has reported its construction before it could stop running.
    if (!c->finished && !isRunning()) {
        return std::nullopt;
    }
    while (!c->finished) {
        if (QCoreApplication::instance() != nullptr) {
            lock.unlock();
            // The station's window calls are queued to this thread when it is the UI thread.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            lock.lock();
        }
        c->done.wait_for(lock, kConstructionPoll);
    }
    return c->code;
}

void TModemAA_Ring::run() {
    const int code = station_->construct();
    {
        std::lock_guard lock(construction_->mutex);
        construction_->code = code;
        construction_->finished = true;
    }
    construction_->done.notify_all();
    station_->Execute();
    registry_.clearAnswerThread(port_, this);
    view_.answerThreadEnded(port_);
}

int StartAnswerThread(int port, AnswerMode mode, const PortServices& services,
                      QPointer<TModemAA_Ring>* started) {
    TModemAA_Ring* thread = nullptr;
    try {
        thread = new TModemAA_Ring(std::make_unique<AnswerStation>(port, mode, services),
                                   services.registry, services.view);
    } catch (const std::bad_alloc&) {
        return toInt(ModemErrorCode::SystemError);
    }
    // At most one station per port: while an old one still holds the slot (it is ending), the
    // new one does its job but does not stay.
    const bool portInRange = port >= kFirstPort && port <= kLastPort;
    const bool entered = services.registry.setAnswerThread(port, thread);
    if (!entered) {
        thread->requestStop();
    }
    if (started != nullptr) {
        *started = thread;
    }
    const std::optional<int> code = thread->startAndConstruct();
    if (!code) {
        services.registry.clearAnswerThread(port, thread);
        delete thread;
        if (started != nullptr) {
            *started = nullptr;
        }
        return toInt(ModemErrorCode::SystemError);
    }
    if (*code == 0 && portInRange && !entered) {
        return toInt(ModemErrorCode::PortBusy);
    }
    return *code;
}

bool StopAnswerThread(PortRegistry& registry, UserMessages& messages, int port, bool ask) {
    if (ask && !messages.batchMode() &&
        !messages.ask(txt(str::CaptionWarning), txt(str::AnswerStopMonitoringQuestion))) {
        return false;
    }
    if (TModemAA_Ring* thread = stationOf(registry, port)) {
        thread->requestStop();
    }
    return true;
}

bool postAnswerCommand(PortRegistry& registry, int port, AnswerCommand command) {
    TModemAA_Ring* thread = stationOf(registry, port);
    if (thread == nullptr) {
        return false;
    }
    thread->postCommand(command);
    return true;
}

bool answerCommandPending(PortRegistry& registry, int port) {
    const TModemAA_Ring* thread = stationOf(registry, port);
    return thread != nullptr && thread->pendingCommand() != AnswerCommand::None;
}

}  // namespace zev7
