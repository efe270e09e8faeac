#include "app/port_list.h"

#include "core/strings.h"
#include "engine/registry/port_registry.h"
#include "engine/serial/serial_port_names.h"

namespace zev7 {

namespace {
// "Порт:" is five characters: the number follows it.
constexpr int kItemPrefixLength = 5;
}  // namespace

PortList::PortList(PortRegistry& registry, Probe probe, QObject* parent)
    : QObject(parent), registry_(registry), probe_(std::move(probe)) {}

PortList::~PortList() {
    if (worker_ != nullptr) {
        worker_->wait();
        delete worker_;
    }
}

QString PortList::itemText(int port) {
    return txt(str::PortItem).arg(port);
}

int PortList::portOfItem(const QString& text) {
    if (!text.startsWith(txt(str::PortItem).left(kItemPrefixLength))) {
        return 0;
    }
    bool ok = false;
    const int port = text.mid(kItemPrefixLength).toInt(&ok);
    return ok && port >= kFirstPort && port <= kLastPort ? port : 0;
}

PortList::Presence PortList::probeAll() const {
    Presence presence;
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        presence.append(probe_(port));
    }
    return presence;
}

void PortList::build() {
    take(probeAll());
}

void PortList::refresh() {
    if (worker_ != nullptr) {
        again_ = true;
        return;
    }
    worker_ = QThread::create([this] {
        const Presence presence = probeAll();
        QMetaObject::invokeMethod(this, [this, presence] {
            worker_->wait();
            delete worker_;
            worker_ = nullptr;
            take(presence);
            if (again_) {
                again_ = false;
                refresh();
            }
        });
    });
    worker_->start();
}

void PortList::take(const Presence& presence) {
    QList<int> ports;
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        const PortPresence p = presence.at(port - kFirstPort);
        // A port our own thread holds cannot be opened again, yet it stays ours.
        const bool inUse = registry_.runState(port) == PortRunState::InUse;
        if (p == PortPresence::Free) {
            if (!inUse) {
                registry_.setRunState(port, PortRunState::Free);
            }
            ports.append(port);
        } else if (inUse) {
            ports.append(port);
        } else {
            registry_.setRunState(port, PortRunState::Absent);
        }
    }
    if (ports != ports_) {
        ports_ = ports;
    }
    emit changed();
}

}  // namespace zev7
