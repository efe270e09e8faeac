// zev7: the desktop program "ВЕРСА-ТЛ".
//   zev7 [SCHEDULE.LST] [--open PORT[:SCENARIO]]... [--answer PORT[:SCENARIO]]...
// ZEV7_HOME names the program directory (by default the executable's, or the user's data folder
// for an installed program), ZEV7_TIME_SCALE runs the clock K times faster to agree with zev7-sim.
#include "app/desktop_main.h"

int main(int argc, char** argv) {
    return zev7::runDesktopProgram(argc, argv);
}
