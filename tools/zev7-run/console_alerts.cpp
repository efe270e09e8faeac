#include "console_alerts.h"

#include "core/strings.h"

#include <cstdio>

namespace zev7 {

void ConsoleAlerts::alertRaised(const PortAlert& alert) {
    // One write of a whole line: the lines of several ports never mix.
    const QByteArray line =
        txt(str::ConsoleAlert).arg(QString::number(alert.port), alert.text).toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    std::fflush(stderr);
}

}  // namespace zev7
