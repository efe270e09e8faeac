// TComThread: the worker thread of one port. It runs its port engine (open, then the main loop
// until the run ends) and clears its PortThreads slot. It never deletes itself: the
// PortSupervisor that started it joins and deletes it. An exception out of the engine does not
// take the program down: the run ends with a protocol line and the port is given back.
#pragma once

#include "engine/port/port_engine.h"
#include "engine/registry/port_registry.h"

#include <QThread>
#include <atomic>
#include <memory>

namespace zev7 {

class TComThread : public QThread, public StoppablePort {
public:
    TComThread(std::unique_ptr<PortEngine> engine, PortRegistry& registry);
    ~TComThread() override;

    int port() const { return port_; }
    // The user's stop: interrupted and stop flags; the thread finishes its step and exits.
    void requestStop() override;
    // How the run ended; valid once the thread has finished.
    RunOutcome outcome() const { return outcome_.load(); }

protected:
    void run() override;

private:
    void runEngine();

    std::unique_ptr<PortEngine> engine_;
    PortRegistry& registry_;
    int port_;
    std::atomic<RunOutcome> outcome_{RunOutcome::None};
};

}  // namespace zev7
