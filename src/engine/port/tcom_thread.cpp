#include "engine/port/tcom_thread.h"

#include "engine/modem/modem_error.h"
#include "engine/view/port_view.h"

#include <new>

namespace zev7 {

TComThread::TComThread(std::unique_ptr<PortEngine> engine, PortRegistry& registry)
    : engine_(std::move(engine)), registry_(registry), port_(engine_->port()) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

TComThread::~TComThread() = default;

void TComThread::requestStop() {
    engine_->requestStop();
}

void TComThread::run() {
    engine_->open();
    engine_->Execute();
    registry_.clearPortThread(port_, this);
}

int startPortThread(int port, const PortServices& services, TComThread** started) {
    if (services.registry.hasPortThread(port)) {
        return toInt(ModemErrorCode::SystemError);
    }
    std::unique_ptr<PortEngine> engine;
    TComThread* thread = nullptr;
    try {
        engine = std::make_unique<PortEngine>(port, services);
    } catch (const std::bad_alloc&) {
        return toInt(ModemErrorCode::SystemError);
    }
    const int code = engine->load();
    try {
        thread = new TComThread(std::move(engine), services.registry);
    } catch (const std::bad_alloc&) {
        services.registry.setRunState(port, PortRunState::Free);
        return toInt(ModemErrorCode::SystemError);
    }
    if (!services.registry.setPortThread(port, thread)) {
        // The port runs already: this one gives nothing back and never starts.
        delete thread;
        return toInt(ModemErrorCode::SystemError);
    }
    services.view.refreshScheme();
    if (started != nullptr) {
        *started = thread;
    }
    thread->start();
    return code;
}

bool stopPortThread(PortRegistry& registry, int port) {
    return registry.stopPortThread(port);
}

}  // namespace zev7
