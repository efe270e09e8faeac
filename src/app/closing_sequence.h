// The end of the program with ports running: every port and answering station is asked to stop,
// then the main window waits until they have all ended, but at most 10 s; a modem that hangs in
// a command must not keep the program open. The window stays responsive meanwhile: the wait is
// a timer and the supervisor's "all ended" signal, not a loop.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace zev7 {

inline constexpr int kCloseWaitMs = 10000;

class ClosingSequence : public QObject {
    Q_OBJECT

public:
    // `stopAll` asks every thread to stop; `running` counts the threads still alive.
    ClosingSequence(std::function<void()> stopAll, std::function<int()> running,
                    QObject* parent = nullptr);

    // Sends the stop requests; `finished` follows at once when nothing runs.
    void begin();
    bool waiting() const { return timer_.isActive(); }
    bool done() const { return done_; }
    // The supervisor's last thread has ended.
    void allEnded();
    // The 10 s are over: the program closes whether the threads have ended or not.
    void waitExpired();
    const QTimer& guard() const { return timer_; }

signals:
    void finished();

private:
    void finish();

    std::function<void()> stopAll_;
    std::function<int()> running_;
    QTimer timer_;
    bool done_ = false;
};

}  // namespace zev7
