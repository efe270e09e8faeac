// Sending a station's spool to its server: the cycles the port threads kept in the station's
// own file while the server was out of reach go to the server through the import's rules (each
// cycle whole, a cycle the server has whole is not written again, one it has in part is
// completed call by call), and leave the spool as soon as the server has committed them.
#pragma once

#include "dbtransfer/result_import.h"

#include <QSqlDatabase>
#include <QString>

namespace zev7 {

class ServerSpool;

struct SpoolPushResult {
    int sent = 0;  // cycles now on the server and gone from the spool
    int left = 0;  // cycles still waiting
    ImportResult import;
    bool lostConnection = false;  // the server went away during the push
    QString error;                // why cycles were left, when they were
    bool done() const { return left == 0; }
};

// server: an open connection of the calling thread to the central database. port: the port
// whose cycles go (every port's: 0).
SpoolPushResult pushSpool(QSqlDatabase server, ServerSpool& spool, int port = 0,
                          const ImportCallbacks& callbacks = {});

}  // namespace zev7
