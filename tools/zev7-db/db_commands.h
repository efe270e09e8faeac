// The commands of zev7-db on the results database of the program directory. Each returns the
// process exit code: 0 done, 1 refused or failed (the reason has been printed).
#pragma once

#include "db/db_connection.h"

#include <QString>
#include <functional>
#include <optional>

namespace zev7 {

class UserMessages;

inline constexpr int kDbExitOk = 0;
inline constexpr int kDbExitRefused = 1;
inline constexpr int kDbExitUsage = 2;

// Where the long commands say how far they are, and whether the user has asked them to stop.
struct DbCommandIo {
    std::function<void(const QString& line)> progress;
    std::function<void(const QString& line)> result;
    std::function<bool()> interrupted;
};

// The options of "export" as typed; checked by the command.
struct DbExportOptions {
    QString format = QStringLiteral("csv");
    QString from;
    QString to;
    std::optional<QString> station;  // --station: given, maybe empty
    bool calls = false;
    bool cycles = false;
    QString output;  // empty: the standard output
};

// The maintenance commands need every port of the directory to be idle.
bool isMaintenanceCommand(const QString& command);
bool knownDbCommand(const QString& command);
// The commands that take one argument after their name.
bool dbCommandTakesArgument(const QString& command);

// The commands that work on a server rather than on the directory's file.
bool isServerCommand(const QString& command);

// What follows a command on its line: the source directory of "import"; the station directory
// that "copy" copies (its --from); the options of "export".
struct DbCommandArgs {
    QString argument;
    QString copyFrom;
    DbExportOptions exportOptions;
};

// options: the database (the file, or a server; push and copy send to the server).
int runDbCommand(const QString& command, const DbOptions& options, UserMessages& messages,
                 const DbCommandIo& io, const DbCommandArgs& args = {});

}  // namespace zev7
