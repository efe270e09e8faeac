#include "engine/protocol/port_protocol.h"

#include "engine/protocol/protocol_file.h"
#include "engine/protocol/protocol_line.h"
#include "engine/view/port_view.h"

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
