// zev7-sim's serial side: every simulated modem behind a pseudo-terminal whose device is
// linked at DIR/dev/COM<N>, so that the program (or any terminal) opens it like a serial port.
// The modem's output is paced at 9600 baud 8N2 on the network's clock, which must run by
// itself (real or scaled). The links are removed when the host stops.
//
// The operating-system calls live in one file per platform (pty_host_posix.cpp).
#pragma once

#include "sim/sim_network.h"

#include <QList>
#include <QString>
#include <memory>

namespace zev7 {

struct PtyLink {
    int port = 0;
    QString linkPath;    // DIR/dev/COM<N>
    QString devicePath;  // the pseudo-terminal's own device, e.g. /dev/pts/7
};

class PtyHost {
public:
    PtyHost(SimNetwork& network, QString homeDir);
    ~PtyHost();
    PtyHost(const PtyHost&) = delete;
    PtyHost& operator=(const PtyHost&) = delete;

    // Creates the pseudo-terminals and their links; false with the reason (nothing is left
    // behind then).
    bool start(QString* error);
    QList<PtyLink> links() const;

    // Serves the modems until requestStop().
    void run();
    // The same, and SIGINT or SIGTERM stop it too.
    void runUntilInterrupted();
    // Ends run() soon; from any thread (and from a signal handler).
    void requestStop();
    // Closes the pseudo-terminals and removes the links; start() again is allowed.
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zev7
