// A thread that follows the line in time asks to run before ordinary work.
//
// A port polls the line levels every few milliseconds while it follows a tone, and at a
// scaled time the simulator hands out its replies as densely. When the machine is busy with
// something else (a compiler, a backup) those threads would otherwise wait their turn behind
// it and poll too late: the tones move on and calls are judged by the scheduler, not the
// network. They need little of the processor, only promptly.
#pragma once

namespace zev7 {

// Raises the calling thread's priority: on Linux a nice value of -10 for this thread (allowed
// to root or with CAP_SYS_NICE; otherwise the thread keeps its priority), on Windows above
// normal. False when the system refused.
bool raiseThreadPriority();

}  // namespace zev7
