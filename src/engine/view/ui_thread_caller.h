// How worker threads (port threads, answering stations) reach the UI thread. A notification is
// posted and the worker goes on at once: nothing a window does, a modal box, a print job, a long
// query, can hold a measurement up. Posts from one thread run on the UI thread in the order
// they were made. Only a call whose answer the worker needs (a question, settings taken from a
// window) waits, and even that wait ends when the caller is closed at program end, with the
// call's default answer, so that no worker is left waiting for a UI thread that has stopped
// serving events.
//
// Made on the UI thread; lives as long as the program (the workers hold no window, only this).
#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <utility>

namespace zev7 {

class UiThreadCaller : public QObject {
public:
    explicit UiThreadCaller(QObject* parent = nullptr) : QObject(parent) {}
    ~UiThreadCaller() override { close(); }

    bool onUiThread() const { return QThread::currentThread() == thread(); }

    // Runs `work` on the UI thread without waiting; on the UI thread itself it runs at once.
    // After close() the work is dropped: the windows it was meant for are gone.
    template <class Work>
    void post(Work&& work) {
        if (onUiThread()) {
            work();
            return;
        }
        if (closed()) {
            return;
        }
        QMetaObject::invokeMethod(this, std::forward<Work>(work), Qt::QueuedConnection);
    }

    // Runs `work` on the UI thread and waits for its result; `fallback` when the caller is
    // closed before (or while) it waits.
    template <class Result, class Work>
    Result ask(Result fallback, Work&& work) {
        if (onUiThread()) {
            return work();
        }
        struct Answer {
            bool done = false;
            Result value;
        };
        // Shared with the posted call, which may still run after a closed wait has returned.
        auto answer = std::make_shared<Answer>(Answer{false, fallback});
        {
            std::lock_guard lock(mutex_);
            if (closed_ || unanswered_) {
                return fallback;
            }
        }
        QMetaObject::invokeMethod(
            this,
            [this, answer, work = std::forward<Work>(work)]() mutable {
                Result value = work();
                std::lock_guard lock(mutex_);
                answer->value = std::move(value);
                answer->done = true;
                answered_.notify_all();
            },
            Qt::QueuedConnection);
        std::unique_lock lock(mutex_);
        answered_.wait(lock, [&] { return answer->done || closed_ || unanswered_; });
        return answer->done ? answer->value : fallback;
    }

    // From now on posts are dropped and questions get their default answer at once; workers
    // waiting for an answer are released. Call before the UI thread stops serving events.
    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        answered_.notify_all();
    }
    // Nobody is left to answer (the program ends by a signal or on its own): questions get
    // their default answer at once and workers waiting for one are released, while posts still
    // reach the windows. A dialog already open for a question may still be answered; the
    // worker no longer waits for it.
    void answerNobody() {
        std::lock_guard lock(mutex_);
        unanswered_ = true;
        answered_.notify_all();
    }
    bool closed() const {
        std::lock_guard lock(mutex_);
        return closed_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable answered_;
    bool closed_ = false;
    bool unanswered_ = false;
};

}  // namespace zev7
