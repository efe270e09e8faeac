// The reply of the measuring modem to one command: the echoed command line, then the answer
// line, each ended by a carriage return (line feeds are dropped). The repeat command "A/" is
// echoed without a carriage return.
#pragma once

#include <QByteArray>

namespace zev7 {

struct ModemReply {
    QByteArray echo;    // the command as the modem echoed it
    QByteArray answer;  // the first non-empty line after the echo; empty when there is none
};

// `command` is the command as sent (upper case, without the carriage return).
//
// The first read of the identity query "ATI5" ends inside the identity line, before its
// carriage return ("ATI5" CR "Teliq LX Vers"): for that echo the unfinished line after the
// echo is the answer.
ModemReply parseModemReply(const QByteArray& command, const QByteArray& reply);

}  // namespace zev7
