// The end of the program with ports running: every port and answering station is asked to stop,
// then the main window waits until they have all ended, but at most 10 s; a modem that hangs in
// a command must not keep the program open. The window stays responsive meanwhile: the wait is
// a timer and the supervisor's "all ended" signal, not a loop. A thread that waits for the user
// (the save dialog of its report) is not hung: while the hold says so, the wait goes on.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace zev7 {

inline constexpr int kCloseWaitMs = 10000;
inline constexpr int kCloseHoldCheckMs = 1000;

class ClosingSequence : public QObject {
    Q_OBJECT

public:
    // `stopAll` asks every thread to stop; `running` counts the threads still alive.
    ClosingSequence(std::function<void()> stopAll, std::function<int()> running,
                    QObject* parent = nullptr);

    // While `held` is true at the end of the wait, the wait goes on (checked every second).
    void setHold(std::function<bool()> held) { held_ = std::move(held); }
    // Sends the stop requests; `finished` follows at once when nothing runs.
    void begin();
    bool waiting() const { return timer_.isActive(); }
    bool done() const { return done_; }
    // The supervisor's last thread has ended.
    void allEnded();
    // The 10 s are over: the program closes whether the threads have ended or not, unless held.
    void waitExpired();
    const QTimer& guard() const { return timer_; }

signals:
    void finished();

private:
    void finish();

    std::function<void()> stopAll_;
    std::function<int()> running_;
    std::function<bool()> held_;
    QTimer timer_;
    bool done_ = false;
};

}  // namespace zev7
