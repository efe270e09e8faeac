// The ports the main window offers: "Порт:N" for every port 1..64 whose device opens, plus the
// ports this program's threads hold (they cannot be opened a second time, yet they are ours).
// The probe opens and closes each device; refresh() does it on a helper thread, so a slow
// driver never freezes the window, and the list changes on the UI thread when it is done.
#pragma once

#include "engine/serial/serial_comm_port.h"

#include <QList>
#include <QObject>
#include <QThread>
#include <functional>
#include <memory>

namespace zev7 {

class PortRegistry;

class PortList : public QObject {
    Q_OBJECT

public:
    using Probe = std::function<PortPresence(int port)>;

    explicit PortList(PortRegistry& registry, Probe probe = probePort, QObject* parent = nullptr);
    ~PortList() override;

    // Probes every port on the calling thread and takes the result (start-up, tests).
    void build();
    // Probes on a helper thread; `changed` follows on this object's thread. A refresh asked
    // while one runs is folded into it.
    void refresh();
    bool refreshing() const { return worker_ != nullptr; }

    const QList<int>& ports() const { return ports_; }
    bool contains(int port) const { return ports_.contains(port); }
    // "Порт:3"; and back (0 when the text is no port item).
    static QString itemText(int port);
    static int portOfItem(const QString& text);

signals:
    void changed();

private:
    using Presence = QList<PortPresence>;
    Presence probeAll() const;
    void take(const Presence& presence);

    PortRegistry& registry_;
    Probe probe_;
    QList<int> ports_;
    QThread* worker_ = nullptr;
    bool again_ = false;
};

}  // namespace zev7
