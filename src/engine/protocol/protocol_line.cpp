#include "engine/protocol/protocol_line.h"

#include "core/strings.h"
#include "scenario/ole_date.h"
#include "scenario/port_event.h"

namespace zev7 {

QString eventMessage(PortEvent event, int cycleNumber, const QString& inNumberText) {
    const QString text = portEventText(event);
    if (text.isEmpty() || !isCycleEvent(event)) {
        return text;
    }
    const QString number = cycleNumber == 0 ? txt(str::ProtocolNoNumber) : inNumberText;
    return txt(str::ProtocolCycle) + QLatin1Char(' ') + QString::number(cycleNumber) +
           QLatin1Char(' ') + number + QLatin1Char(' ') + text;
}

QString dbFailureMessage(int cycleNumber, const QString& inNumberText, int callNumber) {
    const QString failure = txt(str::DbCannotWrite);
    if (cycleNumber == 0) {
        return failure;
    }
    QString message = txt(str::ProtocolCycle) + QLatin1Char(' ') + QString::number(cycleNumber) +
                      QLatin1Char(' ') + inNumberText + QLatin1Char(' ');
    if (callNumber > 0) {
        message += txt(str::ProtocolCall).arg(callNumber) + QLatin1Char(' ');
    }
    return message + failure;
}

QString protocolLine(const QDateTime& now, int port, const QString& message) {
    QString line = formatDateTimeSeconds(now) + QLatin1Char(' ') + txt(str::ProtocolPort) +
                   QStringLiteral(": ") + QString::number(port) + QLatin1Char(' ') + message;
    line.remove(QLatin1Char('\n'));
    line.remove(QLatin1Char('\r'));
    return line;
}

}  // namespace zev7
