#include "engine/protocol/protocol_list.h"

namespace zev7 {

void ProtocolList::append(const QString& line) {
    if (lines_.size() > kProtocolListLimit) {
        lines_.clear();
    }
    lines_.append(line);
}

}  // namespace zev7
