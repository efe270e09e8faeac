#include "engine/port_protocol.h"

#include "engine/port_view.h"
#include "engine/protocol_file.h"
#include "engine/protocol_line.h"

namespace zev7 {

PortProtocol::PortProtocol(int port, const Clock& clock, PortView& view)
    : port_(port), clock_(clock), view_(view) {}

void PortProtocol::AppendProtocolLine(const QString& message) {
    if (closed_) {
        return;
    }
    const QString line = protocolLine(clock_.now(), port_, message);
    view_.protocolLine(port_, line);
    appendProtocolFileLine(port_, line);
}

}  // namespace zev7
