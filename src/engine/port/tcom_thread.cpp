#include "engine/port/tcom_thread.h"

#include "core/strings.h"
#include "db/db_connection.h"

#include <exception>

namespace zev7 {

TComThread::TComThread(std::unique_ptr<PortEngine> engine, PortRegistry& registry)
    : engine_(std::move(engine)), registry_(registry), port_(engine_->port()) {}

TComThread::~TComThread() = default;

void TComThread::requestStop() {
    engine_->requestStop();
}

void TComThread::run() {
    {
        // The port's database connection is this run's: it is closed here, on this thread,
        // before the supervisor learns that the thread has finished.
        ThreadDbConnection database;
        runEngine();
    }
    outcome_.store(engine_->outcome());
    registry_.clearPortThread(port_, this);
}

void TComThread::runEngine() {
    QString fault;
    try {
        engine_->open();
        engine_->Execute();
    } catch (const std::exception& e) {
        fault = QString::fromLocal8Bit(e.what());
    } catch (...) {
        fault = txt(str::ThreadFaultUnknown);
    }
    if (!fault.isNull()) {
        try {
            engine_->endAfterFault(fault);
        } catch (...) {
            // Even the protocol line failed: the slot below still gives the port back.
            registry_.setRunOutcome(port_, RunOutcome::Failed);
            registry_.setRunState(port_, PortRunState::Free);
        }
    }
}

}  // namespace zev7
