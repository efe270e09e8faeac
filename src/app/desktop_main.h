// The start of the desktop program "ВЕРСА-ТЛ": the application, the one copy per program
// directory, the clock, the database set-up, the main window and the command line's windows,
// the stop signals, then the event loop. zev7's main() is this alone; a tool that drives the
// program (the picture tour) adds its own options and a step once the windows are open.
#pragma once

#include <QStringList>
#include <functional>

namespace zev7 {

class Program;
struct CommandLine;

struct DesktopHooks {
    // Takes the caller's own options out of the arguments before the program reads them.
    std::function<void(QStringList& arguments)> takeArguments = {};
    // Runs once the main window shows and the command line's windows are open.
    std::function<void(Program& program, const CommandLine& line)> started = {};
};

// The program's exit code: 0, or in batch mode the campaign's outcome.
int runDesktopProgram(int argc, char** argv, const DesktopHooks& hooks = {});

}  // namespace zev7
