#include "engine/view/ui_thread_messages.h"

#include "engine/view/ui_thread_caller.h"

namespace zev7 {

UiThreadMessages::UiThreadMessages(UserMessages& target, UiThreadCaller& caller)
    : target_(target), caller_(caller) {}

void UiThreadMessages::show(MessageIcon icon, const QString& caption, const QString& text) {
    caller_.post([this, icon, caption, text] { target_.show(icon, caption, text); });
}

bool UiThreadMessages::ask(const QString& caption, const QString& text) {
    return caller_.ask(false, [this, caption, text] { return target_.ask(caption, text); });
}

bool UiThreadMessages::batchMode() const {
    return target_.batchMode();
}

void UiThreadMessages::abortBatch(int code) {
    caller_.post([this, code] { target_.abortBatch(code); });
}

}  // namespace zev7
