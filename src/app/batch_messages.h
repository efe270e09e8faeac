// The program's messages while a batch controller exists: nobody is at the keyboard, so no box
// is shown and no question asked; the caption, a blank and the text become a log line, a
// question answers No (the callers that go on without asking look at batchMode() first), and
// an abort ends the run with its code. Without a controller everything goes to `inner`.
#pragma once

#include "scenario/user_messages.h"

#include <QPointer>
#include <atomic>

namespace zev7 {

class TPackageWork;

class BatchMessages : public UserMessages {
public:
    explicit BatchMessages(UserMessages& inner) : inner_(inner) {}

    // The controller whose log takes the messages; nullptr ends batch mode. UI thread only.
    void attach(TPackageWork* batch);

    void show(MessageIcon icon, const QString& caption, const QString& text) override;
    bool ask(const QString& caption, const QString& text) override;
    // Read by the worker threads too.
    bool batchMode() const override { return active_.load() || unattended_.load(); }
    void abortBatch(int code) override;
    // The program ends by a signal or on its own: from now on nobody reads a box or answers a
    // question, as in batch mode; outside a batch run the messages go to standard error.
    // UI thread only.
    void setUnattended();

private:
    UserMessages& inner_;
    QPointer<TPackageWork> batch_;
    ConsoleMessages console_;
    std::atomic<bool> active_{false};
    std::atomic<bool> unattended_{false};
};

}  // namespace zev7
