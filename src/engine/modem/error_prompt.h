// How the failures of a modem channel reach the user. A modem that does not answer gets the
// question "Попытаться продолжить?" (the port closed while the user thinks, when the channel's
// rules say so, and opened again afterwards); in batch mode nobody can answer, so the failure
// is logged and ends the batch; every other failure is a warning. The first five failed
// exchanges after a finished test call pass without a word: a call on a busy exchange may
// lose a reply now and then.
#pragma once

#include "engine/modem/modem_error.h"

#include <QString>

namespace zev7 {

class UserMessages;

class ErrorPrompt {
public:
    struct Rules {
        // Failed exchanges after a finished test call pass silently up to kSilentRetries.
        bool silentRetries = true;
        // The port is closed during the question and opened again after it.
        bool reopenOnQuestion = true;
    };
    static constexpr int kSilentRetries = 5;

    // The port around the question.
    class Port {
    public:
        virtual ~Port() = default;
        virtual void close() = 0;
        // Opens it again; a failure is the channel's to report.
        virtual void reopen() = 0;
    };

    ErrorPrompt(UserMessages& messages, Rules rules);

    // A failed exchange: true when it passes silently (and is counted), false when it is to
    // be reported.
    bool passSilently();
    int retries() const { return retries_; }
    // A test call was finished: the next five failures are silent again.
    void resetRetries() { retries_ = 0; }

    // Shows the report of `code`. True only when the user chose to continue with a modem that
    // does not answer; never while the thread is stopping.
    bool report(const QString& caption, const QString& body, ModemErrorCode code, bool stopping,
                Port& port);

    // A warning with one button; in batch mode it ends the batch.
    void warn(const QString& caption, const QString& body);

private:
    UserMessages& messages_;
    Rules rules_;
    int retries_ = 0;
};

}  // namespace zev7
