// Batch mode runs without anybody at the keyboard: an error of a scenario file, a number check
// or a port thread that was reported to the batch log must also end the batch run.
#pragma once

namespace zev7 {

class UserMessages;

// The failure code of a batch run ended by such an error ("Закрытие программы.").
inline constexpr int kBatchErrorCode = -5;

// After an error has been reported: in batch mode, end the batch with kBatchErrorCode.
void endBatchOnError(UserMessages& messages);

}  // namespace zev7
