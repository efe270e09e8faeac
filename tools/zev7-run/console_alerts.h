// The alerts of zev7-run's ports on its error output, one line each ("COM3: Оповещение: ..."),
// beside the protocol line that standard output carries already: whoever watches a run's
// errors (a terminal, a service's journal) sees an alert even when the measurement's lines go
// to a file.
#pragma once

#include "engine/alerts/port_alerts.h"

namespace zev7 {

class ConsoleAlerts : public AlertListener {
public:
    void alertRaised(const PortAlert& alert) override;
};

}  // namespace zev7
