// The lines of a port's protocol: "dd.mm.yy hh:mm:ss Порт: N " and the message, one line per
// event of the port thread or of the answering-station thread.
#pragma once

#include "scenario/port_event.h"

#include <QDateTime>
#include <QString>

namespace zev7 {

// The message of an event: a port event's text alone; a cycle event as "Цикл" + the cycle
// number + the incoming number's display text ("-" while no cycle is current, number 0) +
// the text.
QString eventMessage(PortEvent event, int cycleNumber, const QString& inNumberText);

// The whole line built at this moment; line breaks inside the message (error texts have
// them) are removed so that the line stays one line.
// The protocol's note of results the database did not take: "Цикл" K, the incoming number,
// "вызов" N for a test call, then "Не могу записать в БД.".
QString dbFailureMessage(int cycleNumber, const QString& inNumberText, int callNumber);
QString protocolLine(const QDateTime& now, int port, const QString& message);

}  // namespace zev7
