// TComThread: the worker thread of one port. It runs its port engine (open, then the main loop
// until the run ends), clears its PortThreads slot and frees itself once finished (the object
// is deleted by the event loop of the thread that started it).
//
// startPortThread() and stopPortThread() are what the port window, the main window and the
// batch controller call.
#pragma once

#include "engine/port/port_engine.h"
#include "engine/registry/port_registry.h"

#include <QThread>
#include <memory>

namespace zev7 {

class TComThread : public QThread, public StoppablePort {
public:
    TComThread(std::unique_ptr<PortEngine> engine, PortRegistry& registry);
    ~TComThread() override;

    int port() const { return port_; }
    // The user's stop: interrupted and stop flags; the thread finishes its step and exits.
    void requestStop() override;

protected:
    void run() override;

private:
    std::unique_ptr<PortEngine> engine_;
    PortRegistry& registry_;
    int port_;
};

// Creates the port's engine, reads its scenario (on the calling thread, so that a missing or
// refused scenario is known at once), enters the thread in PortThreads and starts it; the
// scenario scheme is refreshed. Returns 0 when the scenario runs; the load error (-22, -20,
// -21; 1 for a refused file), or -7 when no thread could be made: the thread then only gives
// the port back. Opening the port and preparing the modem happen on the new thread, since a
// serial port is used by one thread only: their failures end the run there. `started`, when
// given, receives the thread (it deletes itself later, in the caller's event loop).
int startPortThread(int port, const PortServices& services, TComThread** started = nullptr);

// Asks the port's thread to stop; false when the port has none.
bool stopPortThread(PortRegistry& registry, int port);

}  // namespace zev7
