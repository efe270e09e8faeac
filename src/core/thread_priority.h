// A thread that follows the line in time asks to run before ordinary work.
//
// A port polls the line levels every few milliseconds while it follows a tone, and at a
// scaled time the simulator hands out its replies as densely. When the machine is busy with
// something else (a compiler, a backup) those threads would otherwise wait their turn behind
// it, a few milliseconds at a time: the tones move on and calls are judged by the scheduler,
// not the network. They need little of the processor, only promptly.
#pragma once

#include <vector>

namespace zev7 {

// Raises the calling thread's priority. On Linux the lowest real-time priority, round robin
// (allowed to root, with CAP_SYS_NICE or an rtprio limit); failing that a nice value of -10;
// threads and processes it starts begin with ordinary priority again. On Windows above
// normal. False when the system refused both: the thread keeps its priority.
bool raiseThreadPriority();

// Whether the calling thread runs with a real-time priority: it then wakes when it asked to,
// whatever else the machine does, unless the machine stops altogether.
bool threadRunsRealTime();

// The processors this process may run on, the first `most` of them; empty where the system
// does not tell.
std::vector<int> processorsOfProcess(int most);

// Keeps the calling thread on one processor. False when the system refused.
bool keepThreadOnProcessor(int processor);

}  // namespace zev7
