// The command line of zev7-run: PORT:SCENARIO[:REPORT] items, and the working copy each port's
// thread reads, prepared from the given scenario as the port window's Start does.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace zev7 {

class UserMessages;

struct RunItem {
    int port = 0;
    QString scenario;  // as given
    QString report;    // the final report's name under "Result"; empty: "Result_Port_" N ".html"
};

// The items, or nullopt with the reasons in `errors`.
std::optional<std::vector<RunItem>> parseRunItems(const QStringList& arguments,
                                                  QStringList& errors);

// The scenario file an item names: the path as given, else (relative) the file in "Scenar"
// under the program directory; empty when neither exists.
QString resolveScenario(const QString& scenario);

// Reads the scenario, checks its outgoing number and writes "Scenar\ComPort" N ".scn". Start
// resets the cycle states first (every cycle not excluded waiting, no cycle finished); Restart
// keeps them, so that the run goes on after the finished cycles, and is refused unless some,
// but not all, of the cycles not excluded are finished. Failures are reported through
// `messages`.
bool prepareWorkingCopy(const RunItem& item, bool restart, UserMessages& messages);

}  // namespace zev7
