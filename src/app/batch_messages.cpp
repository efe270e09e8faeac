#include "app/batch_messages.h"

#include "app/tpackage_work.h"

namespace zev7 {

void BatchMessages::attach(TPackageWork* batch) {
    batch_ = batch;
    active_ = batch != nullptr;
}

void BatchMessages::setUnattended() {
    unattended_ = true;
}

void BatchMessages::show(MessageIcon icon, const QString& caption, const QString& text) {
    if (batch_.isNull()) {
        if (unattended_) {
            console_.show(icon, caption, text);
        } else {
            inner_.show(icon, caption, text);
        }
        return;
    }
    batch_->Log(caption + u' ' + text);
}

bool BatchMessages::ask(const QString& caption, const QString& text) {
    if (batch_.isNull()) {
        return unattended_ ? console_.ask(caption, text) : inner_.ask(caption, text);
    }
    batch_->Log(caption + u' ' + text);
    return false;
}

void BatchMessages::abortBatch(int code) {
    if (!batch_.isNull()) {
        batch_->Finish(code);
    }
}

}  // namespace zev7
