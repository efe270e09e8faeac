#include "sim/serial_wire.h"

#include <algorithm>

namespace zev7 {

void SerialWire::send(const QByteArray& bytes, SimUs readyUs) {
    SimUs t = std::max(freeAt_, readyUs);
    for (char c : bytes) {
        t += kByteUs;
        bytes_.push_back({t, c});
    }
    freeAt_ = t;
}

qsizetype SerialWire::arrived(SimUs now) const {
    // Arrival times only grow along the queue.
    const auto end = std::upper_bound(bytes_.begin(), bytes_.end(), now,
                                      [](SimUs t, const Byte& b) { return t < b.arrival; });
    return static_cast<qsizetype>(end - bytes_.begin());
}

QByteArray SerialWire::take(SimUs now, qsizetype max) {
    const qsizetype n = std::min(arrived(now), std::max<qsizetype>(max, 0));
    QByteArray out;
    out.reserve(n);
    for (qsizetype i = 0; i < n; ++i) {
        out.append(bytes_.front().value);
        bytes_.pop_front();
    }
    return out;
}

SimUs SerialWire::arrivalOf(qsizetype index) const {
    if (index < 0 || index >= size()) {
        return kNever;
    }
    return bytes_[static_cast<std::size_t>(index)].arrival;
}

SimUs SerialWire::runArrival(qsizetype most) const {
    if (bytes_.empty()) {
        return kNever;
    }
    SimUs last = bytes_.front().arrival;
    const qsizetype n = std::min(size(), std::max<qsizetype>(most, 1));
    for (qsizetype i = 1; i < n; ++i) {
        const SimUs next = bytes_[static_cast<std::size_t>(i)].arrival;
        if (next != last + kByteUs) {
            break;
        }
        last = next;
    }
    return last;
}

void SerialWire::dropArrived(SimUs now) {
    take(now, size());
}

void SerialWire::dropNotStarted(SimUs now) {
    while (!bytes_.empty() && bytes_.back().arrival - kByteUs > now) {
        bytes_.pop_back();
    }
    freeAt_ = bytes_.empty() ? std::min(freeAt_, now) : bytes_.back().arrival;
}

void SerialWire::clear() {
    bytes_.clear();
    freeAt_ = 0;
}

}  // namespace zev7
