#include "scenario/batch_failure.h"

#include "scenario/user_messages.h"

namespace zev7 {

void endBatchOnError(UserMessages& messages) {
    if (messages.batchMode()) {
        messages.abortBatch(kBatchErrorCode);
    }
}

}  // namespace zev7
