// The spool of a station that writes to a server: while the server is out of reach, the port
// threads keep their results in the station's own database file (ZEV7DBASE/ZEV7.sqlite, the
// file the station used before it moved onto the server), and the cycles kept there wait for
// the server in the table Table_Spool. A cycle leaves the spool (its rows and its mark, in one
// transaction) only after the server has committed it. Older results the file held before the
// station moved are not marked: they stay where they are until "zev7-db copy" brings them over.
#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace zev7 {

inline constexpr char kSpoolTable[] = "Table_Spool";

class ServerSpool {
public:
    // db: a connection of the calling thread to the station's file, set up
    // (DbConnection::spoolForThisThread()).
    explicit ServerSpool(QSqlDatabase db) : db_(db) {}

    // The spool's own table in a file that has the result tables; false with the engine's
    // text in *error.
    static bool setUp(QSqlDatabase& db, QString* error);

    QSqlDatabase database() const { return db_; }

    // The spool holds this cycle (its CYCLE_ID in the file) of the port for the server.
    bool markCycle(int cycleId, int port, QString* error);
    // The cycles of the port (of every port: 0) waiting for the server, oldest first; false
    // when the file cannot be read. Each port thread sends its own: two threads never send
    // the same cycle at once.
    bool cycles(QList<int>* out, QString* error, int port = 0);
    // The server has committed these cycles: they leave the file.
    bool remove(const QList<int>& cycleIds, QString* error);

    // True when the file exists and holds a cycle of the port (of any: 0) waiting for the
    // server, without creating the file or anything in it.
    static bool holdsCycles(const QString& filePath, int port = 0);

private:
    QSqlDatabase db_;
};

}  // namespace zev7
