// Tells other processes that a port of this program directory is running a scenario.
//
// While a port thread runs (from its creation until it has closed the port) its process holds
// the marker "Scenar\ComPort<N>.lock" under the program directory, beside the port's working
// copy. zev7-run holds one for every calling port it runs; the program's windows take the same
// marker when a port's state becomes "in use" and give it back when it returns to "free". The
// database upkeep (zev7-db, the database windows' maintenance commands) refuses while any marker
// of the directory is held, and a second process that wants a held port is refused before it
// touches the port's working copy.
//
// A marker is a lock file that names its process. The process holds it open; when the process
// dies (Ctrl+C, a crash, a power cut) the file may stay behind, but it is stale: the next
// process that looks at it takes it over and removes it.
#pragma once

#include <QList>
#include <QLockFile>
#include <QString>
#include <memory>

namespace zev7 {

class PortRunMarker {
public:
    explicit PortRunMarker(int port);
    ~PortRunMarker();
    PortRunMarker(const PortRunMarker&) = delete;
    PortRunMarker& operator=(const PortRunMarker&) = delete;

    int port() const { return port_; }
    // Takes the marker; false when a living process (this one included) holds it already or
    // the file cannot be written.
    bool acquire();
    void release();
    bool held() const;

    // "Scenar\ComPort<N>.lock" under the program directory.
    static QString path(int port);
    // The ports 1..64 of the program directory that a living process marks running. Stale
    // markers met on the way are removed.
    static QList<int> runningPorts();

private:
    int port_;
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace zev7
