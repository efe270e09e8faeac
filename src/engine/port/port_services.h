// What every port engine of the process is given: the clock, the messages, the port view, the
// registry, how it gets its serial port and its result writer, and its alerts' settings and
// listener.
#pragma once

#include "core/comm_port.h"
#include "engine/alerts/port_alerts.h"
#include "engine/report/result_sink.h"

#include <functional>
#include <memory>

namespace zev7 {

class Clock;
class PortRegistry;
class PortView;
class UserMessages;

struct PortServices {
    Clock& clock;
    UserMessages& messages;
    PortView& view;  // called on the worker thread: a window gets a PortViewRouter here
    PortRegistry& registry;
    // The serial port of a port number (opened later by the port thread, in its own thread).
    std::function<std::unique_ptr<CommPort>(int port)> makePort;
    // The port's result writer; empty: nothing is written.
    std::function<std::unique_ptr<ResultSink>(int port)> makeResults = {};
    // "[Оповещение]" of ZEV7.ini; by default no alert at all.
    AlertServices alerts = {};
};

}  // namespace zev7
