// One direction of the serial line between a computer and a simulated modem: bytes put on it
// leave one after another and each arrives one byte time (11 bits at 9600 baud) after the
// previous one has, never before it was sent.
#pragma once

#include "sim/sim_time.h"

#include <QByteArray>
#include <deque>

namespace zev7 {

class SerialWire {
public:
    // Puts the bytes on the line; the first starts at readyUs or when the line is free.
    void send(const QByteArray& bytes, SimUs readyUs);

    // Bytes that have arrived by `now` and are still waiting to be taken.
    qsizetype arrived(SimUs now) const;
    // Takes up to `max` of the bytes that have arrived by `now`.
    QByteArray take(SimUs now, qsizetype max);
    // When the byte at `index` (0 = the oldest waiting) arrives; kNever when it is not sent yet.
    SimUs arrivalOf(qsizetype index) const;
    SimUs nextArrival() const { return arrivalOf(0); }
    // When the run of back-to-back bytes that starts with the oldest waiting one has arrived
    // whole, counting at most `most` bytes of it; kNever when nothing waits. A receiver with a
    // FIFO hands such a run over at once.
    SimUs runArrival(qsizetype most) const;
    qsizetype size() const { return static_cast<qsizetype>(bytes_.size()); }
    // When the last byte sent has arrived.
    SimUs idleAt() const { return freeAt_; }

    // What a purge of the receiving side drops: everything that has arrived.
    void dropArrived(SimUs now);
    // What a purge of the sending side drops: bytes that have not started on the line yet.
    void dropNotStarted(SimUs now);
    void clear();

private:
    struct Byte {
        SimUs arrival;
        char value;
    };
    std::deque<Byte> bytes_;
    SimUs freeAt_ = 0;
};

}  // namespace zev7
