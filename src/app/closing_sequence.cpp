#include "app/closing_sequence.h"

namespace zev7 {

ClosingSequence::ClosingSequence(std::function<void()> stopAll, std::function<int()> running,
                                 QObject* parent)
    : QObject(parent), stopAll_(std::move(stopAll)), running_(std::move(running)) {
    timer_.setSingleShot(true);
    timer_.setInterval(kCloseWaitMs);
    connect(&timer_, &QTimer::timeout, this, &ClosingSequence::waitExpired);
}

void ClosingSequence::begin() {
    if (done_ || timer_.isActive()) {
        return;
    }
    stopAll_();
    if (running_() == 0) {
        finish();
        return;
    }
    timer_.start(kCloseWaitMs);
}

void ClosingSequence::allEnded() {
    if (timer_.isActive()) {
        finish();
    }
}

void ClosingSequence::waitExpired() {
    if (held_ && held_()) {
        timer_.start(kCloseHoldCheckMs);
        return;
    }
    finish();
}

void ClosingSequence::finish() {
    if (done_) {
        return;
    }
    timer_.stop();
    done_ = true;
    emit finished();
}

}  // namespace zev7
