#include "engine/modem/error_prompt.h"

#include "core/strings.h"
#include "scenario/batch_failure.h"
#include "scenario/user_messages.h"

namespace zev7 {

ErrorPrompt::ErrorPrompt(UserMessages& messages, Rules rules)
    : messages_(messages), rules_(rules) {}

bool ErrorPrompt::passSilently() {
    if (rules_.silentRetries && retries_ < kSilentRetries) {
        ++retries_;
        return true;
    }
    return false;
}

bool ErrorPrompt::report(const QString& caption, const QString& body, ModemErrorCode code,
                         bool stopping, Port& port) {
    if (code != ModemErrorCode::NoAnswer || stopping) {
        warn(caption, body);
        return false;
    }
    if (rules_.reopenOnQuestion) {
        port.close();
    }
    bool goOn = false;
    if (messages_.batchMode()) {
        warn(caption, body);
    } else {
        goOn = messages_.ask(caption, body + QLatin1Char(' ') + txt(str::ModemTryToContinue));
    }
    if (rules_.reopenOnQuestion) {
        port.reopen();
    }
    return goOn;
}

void ErrorPrompt::warn(const QString& caption, const QString& body) {
    messages_.show(MessageIcon::Warning, caption, body);
    endBatchOnError(messages_);
}

}  // namespace zev7
