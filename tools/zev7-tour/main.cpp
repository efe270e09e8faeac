// zev7-tour: the desktop program photographing its own windows, for the README and for looking
// at every window as a new user first sees it.
//   zev7-tour [zev7's arguments] --screenshots DIR [--default-sizes]
// It starts the first opened port's scenario, lets it make a few calls, photographs every page
// of that port window, the settings, the live graphs, the scheme and the database windows, and
// ends. --default-sizes leaves each window where and as large as it opens and photographs it
// alone (scripts/window-tour.sh); without it the windows are arranged for the README
// (scripts/screenshots.sh).
#include "app/command_line.h"
#include "app/desktop_main.h"
#include "app/main_window.h"
#include "app/program.h"
#include "screenshot_tour.h"
#include "tour_placement.h"

#include <cstdio>
#include <cstring>

using namespace zev7;

int main(int argc, char** argv) {
    // Without a folder for the pictures the tour would only start a program nobody closes.
    bool named = false;
    for (int i = 1; i + 1 < argc; ++i) {
        named = named || std::strcmp(argv[i], "--screenshots") == 0;
    }
    if (!named) {
        std::fputs("usage: zev7-tour [zev7's arguments] --screenshots DIR [--default-sizes]\n",
                   stderr);
        return 2;
    }
    QString directory;
    DesktopHooks hooks;
    hooks.takeArguments = [&directory](QStringList& arguments) {
        const qsizetype at = arguments.indexOf(QStringLiteral("--screenshots"));
        if (at >= 0 && at + 1 < arguments.size()) {
            directory = arguments.at(at + 1);
            arguments.remove(at, 2);
        }
        if (arguments.removeAll(QStringLiteral("--default-sizes")) > 0) {
            setTourKeepsDefaultSizes(true);
        }
    };
    hooks.started = [&directory](Program& program, const CommandLine& line) {
        // The window owns the tour: it ends with the program.
        auto* tour = new ScreenshotTour(program.mainWindow(),
                                        line.windows.empty() ? 1 : line.windows.front().port,
                                        directory, &program.statWindows(), &program.mainWindow());
        tour->start();
    };
    return runDesktopProgram(argc, argv, hooks);
}
