#include "engine/protocol/port_protocol.h"

#include "core/strings.h"
#include "engine/protocol/protocol_file.h"
#include "engine/protocol/protocol_line.h"
#include "engine/view/port_view.h"
#include "scenario/user_messages.h"

namespace zev7 {

PortProtocol::PortProtocol(int port, const Clock& clock, PortView& view, UserMessages& messages)
    : port_(port), clock_(clock), view_(view), messages_(messages) {}

void PortProtocol::AppendProtocolLine(const QString& message) {
    if (closed_) {
        return;
    }
    const QString line = protocolLine(clock_.now(), port_, message);
    view_.protocolLine(port_, line);
    const QString error = appendProtocolFileLine(port_, line);
    if (!error.isEmpty() && !fileFailing_) {
        messages_.show(MessageIcon::Warning, txt(str::CaptionError),
                       txt(str::ProtocolCannotWrite).arg(protocolFilePath(port_), error));
    }
    fileFailing_ = !error.isEmpty();
}

}  // namespace zev7
