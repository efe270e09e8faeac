// The port's protocol file "Protocol\ProtocolComPort" N ".txt" under the program directory:
// Windows-1251, each line followed by a blank and a line end. The port thread deletes it when
// a scenario starts; the port thread and the answering-station thread append to it.
#pragma once

#include <QString>

namespace zev7 {

QString protocolFilePath(int port);
// Appends one line whole or not at all (a write cut short is taken back). Empty on success,
// else the system's reason; the next line tries again.
QString appendProtocolFileLine(int port, const QString& line);
// Deletes the file; true when it is gone afterwards.
bool removeProtocolFile(int port);

}  // namespace zev7
