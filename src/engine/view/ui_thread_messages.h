// The program's messages as a port thread or an answering station meets them: the box is
// shown on the UI thread. A message is posted and the worker goes on (the design's workers
// waited until the user had read it: a box left open over night would have held the port);
// a question waits for the answer, which the worker needs. In batch mode the target logs
// instead of asking, with the same calls.
#pragma once

#include "scenario/user_messages.h"

namespace zev7 {

class UiThreadCaller;

class UiThreadMessages : public UserMessages {
public:
    // `target` shows the boxes; it is used on the UI thread only, except for batchMode().
    UiThreadMessages(UserMessages& target, UiThreadCaller& caller);

    void show(MessageIcon icon, const QString& caption, const QString& text) override;
    // A closed caller (program end) answers No.
    bool ask(const QString& caption, const QString& text) override;
    bool batchMode() const override;
    void abortBatch(int code) override;

private:
    UserMessages& target_;
    UiThreadCaller& caller_;
};

}  // namespace zev7
