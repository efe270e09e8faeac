// zev7-run --answer PORT:SCENARIO: a port run as an answering station with the settings of the
// scenario's header, as the port window's answering-station page does it: the settings are
// written into the modem, which then answers calls by itself, and the station stays to log
// every incoming ring in the port's protocol until it is stopped. Stopping leaves the modem
// answering.
#pragma once

#include "run_items.h"

#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace zev7 {

class ConsolePortView;
class PortSupervisor;
class UserMessages;

class AnswerStationRun {
public:
    AnswerStationRun(PortSupervisor& supervisor, UserMessages& messages, ConsolePortView& console);

    // The values of --answer, PORT:SCENARIO each: ports 1..64, none given twice, none among
    // the calling ports. nullopt with the reasons in `errors`.
    static std::optional<std::vector<RunItem>> parse(const QStringList& values,
                                                     const std::vector<RunItem>& calling,
                                                     QStringList& errors);

    // Reads each station's scenario, puts its answering-station settings on the console's page
    // of the port and starts the station there, which writes them; `started` follows once
    // every station has done so (at once when there are none). False (reported) at the first
    // scenario that cannot be read or station that could not be made; the stations started so
    // far keep running.
    bool start(const std::vector<RunItem>& stations, std::function<void()> started);

    // Some station is still running.
    bool running() const;
    // Tells every station to stop; returns at once (the supervisor says when they have ended).
    void requestStop();
    // A station ended before it was told to stop (an error ended it) or never started.
    bool failed() const { return failed_; }

private:
    void stationStarted(int port, int code);

    PortSupervisor& supervisor_;
    UserMessages& messages_;
    ConsolePortView& console_;
    std::vector<int> ports_;
    int waiting_ = 0;
    std::function<void()> started_;
    bool stopRequested_ = false;
    bool failed_ = false;
};

}  // namespace zev7
