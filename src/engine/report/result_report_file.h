// The two things the report writer needs from the operating system for its open report file:
// keeping other writers out while a section is appended, and getting the section onto the disk.
#pragma once

class QFile;

namespace zev7 {

// Takes the open file for this process alone until it is closed; false when another program
// holds it. Where the file system cannot lock at all, the file is used unlocked.
bool lockReportFile(QFile& file);
void unlockReportFile(QFile& file);
// Puts what was written on the disk itself; false when the system reports an error.
bool syncReportFile(QFile& file);

}  // namespace zev7
