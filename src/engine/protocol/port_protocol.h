// AppendProtocolLine: a port's running protocol. Each message becomes one line
// "dd.mm.yy hh:mm:ss Порт: N <message>" built at this moment, shown in the port window's
// protocol list (through the port view, on the UI thread) and appended to the protocol file
// "Protocol\ProtocolComPort" N ".txt". The port thread and the answering-station thread of a
// port use one each; the file's own lock keeps their lines whole.
#pragma once

#include "core/clock.h"

#include <QString>

namespace zev7 {

class PortView;
class UserMessages;

class PortProtocol {
public:
    PortProtocol(int port, const Clock& clock, PortView& view, UserMessages& messages);

    // Builds the line for the message and stores it in the list and the file. A line the
    // file cannot take is lost from the file only; the first of a run of such lines is
    // reported with the file's name, so a full disk costs one message, not one per line.
    void AppendProtocolLine(const QString& message);
    // The thread has been told to terminate: no further line.
    void close() { closed_ = true; }

private:
    int port_;
    const Clock& clock_;
    PortView& view_;
    UserMessages& messages_;
    bool closed_ = false;
    bool fileFailing_ = false;
};

}  // namespace zev7
