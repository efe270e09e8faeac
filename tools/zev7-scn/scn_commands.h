// The commands of zev7-scn. Each returns the process exit code: 0 done, 1 refused (the reason
// has been reported and the file is unchanged), 2 a wrong command line.
#pragma once

#include <QStringList>

namespace zev7 {

class UserMessages;

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;

int runScnCommand(const QStringList& args, UserMessages& messages);

}  // namespace zev7
