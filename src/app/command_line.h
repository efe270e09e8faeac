// What zev7 is told on its command line, read once at start. A schedule file ("*.LST", any case
// of the extension) is recorded for batch mode. --open and --answer open port windows at start:
// the demonstration and the screenshots use them to show a port ready for Start beside a port
// answering its calls.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace zev7 {

struct PortWindowRequest {
    int port = 0;
    QString scenario;     // relative to "Scenar" or absolute; empty: the window's own working copy
    bool answer = false;  // the port is shown as the answering station and monitors its calls
};

struct CommandLine {
    QString batchList;  // the schedule file, when one was named and exists
    std::vector<PortWindowRequest> windows;
};

// What `zev7 --help` (-h) or `zev7 --version` (-v) prints, answered before anything else starts:
// no window, no display needed, no folder made. nullopt when neither was asked for.
std::optional<QString> informationRequested(int argc, const char* const* argv);

// Parses the program's arguments (without the program name). nullopt with `errors` filled when an
// --open or --answer value is not PORT[:SCENARIO] with PORT 1..64.
std::optional<CommandLine> parseCommandLine(const QStringList& arguments, QStringList& errors);

// The batch schedule among plain arguments: the last one ending in ".LST" that exists relative to
// the program directory (or as given); empty when none.
QString batchListArgument(const QStringList& plainArguments);

}  // namespace zev7
