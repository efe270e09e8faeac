// Where the results database lives and how the program reaches it: the connection "ZEV7" of
// the main thread (the database windows read through it), and one connection of its own for
// every thread that writes (each port thread), because a connection belongs to the thread that
// opened it.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <memory>

namespace zev7 {

class DbDialect;
class UserMessages;

inline constexpr char kDatabaseDirName[] = "ZEV7DBASE";
inline constexpr char kDatabaseFileName[] = "ZEV7.sqlite";
inline constexpr char kMainConnectionName[] = "ZEV7";

// How long a writer waits for another connection that holds the database before it gives up
// and reports the write as failed: a lost call. The ordinary other writers hold it far less
// (scripts/measure-db-hold.sh on a 200 000-call database: another port's call 0.05 s, the
// database window deleting a month of cycles 1.7 s); a minute covers them with a wide margin,
// also on a slow disk, and a port that waits keeps its call.
inline constexpr int kDefaultBusyTimeoutMs = 60000;
// A server out of reach is given up after a few seconds: the port thread that waits for it is
// measuring, and its results go to the station's spool meanwhile.
inline constexpr int kDefaultConnectTimeoutS = 5;

struct DbOptions {
    int busyTimeoutMs = kDefaultBusyTimeoutMs;
    // Every commit reaches the disk before the writer goes on, so a power cut loses no call
    // that was reported as stored. The demo generator turns it off for speed.
    bool syncEveryCommit = true;
    // Where the results are kept: empty for the file under the program directory, or a
    // PostgreSQL server as "postgresql://user@host:port/name". A part left out is taken from
    // the environment (PGHOST, PGPORT, PGUSER, PGDATABASE); the password never stands here,
    // it comes from ~/.pgpass or PGPASSWORD.
    QString server;
    // The short name of the station that measures (many stations may share one server); stored
    // with every cycle it writes. Empty: none named, as in the files of older versions.
    QString station;
    // How long opening a connection to a server may take, in seconds; 0 as long as the system's
    // own network time-outs (the settings dialog's check waits longer for its answer).
    int connectTimeoutS = kDefaultConnectTimeoutS;
};

// The dialect of the engine that options name.
const DbDialect& dialectFor(const DbOptions& options);

class DbConnection {
public:
    // "ZEV7DBASE" under the program directory, and the database file in it.
    static QString directory();
    static QString filePath();
    // Where the database is, as a message names it: the file's path, or the server's address.
    static QString location();

    // Start-up: creates the directory and the database with every table when missing, and
    // (re)binds the connection "ZEV7" of the calling thread to it; an older "ZEV7" (for
    // example one that pointed at another program directory) is replaced. Per-thread
    // connections opened before are reopened on their next use. Reports a failure through
    // messages (when given) and returns false.
    static bool setup(UserMessages* messages = nullptr, const DbOptions& options = {});
    // Closes "ZEV7" and forgets the setup (tests, program end).
    static void shutdown();
    static bool isSetUp();
    // The database part switched off because its settings could not be read: every connection
    // of every thread stays closed with `reason` as its error, so that no result goes to another
    // database than the one the user chose. The next setup() switches it on again.
    static void refuse(const QString& reason);
    // Why the database part is off; empty while it is on (or only failed to open).
    static QString refusal();

    // The connection "ZEV7"; only for the thread that called setup().
    static QSqlDatabase main();

    // The calling thread's own connection, opened on first use. A worker thread has one only
    // while a ThreadDbConnection of its run() lives; the thread that called setup() has one
    // until shutdown() (or closeForThisThread). Not open when the database cannot be opened,
    // or when a worker has no ThreadDbConnection; the reason is then in lastOpenError().
    static QSqlDatabase forThisThread();
    static void closeForThisThread();
    // Closes only the calling thread's own connection (one to a server that went away; the
    // spool stays open); forThisThread() tries to open it again.
    static void dropForThisThread();
    static QString lastOpenError();
    // The calling thread's connection to the station's own file (DbConnection::filePath())
    // whatever the database is: a station on a server keeps its results there while the server
    // is out of reach (ServerSpool). Opened, with every table it needs, on first use, and
    // closed with the thread's own connection; not open when the file cannot be had, the
    // reason then in lastOpenError().
    static QSqlDatabase spoolForThisThread();

    // A separate connection with its own name and options (a generator, a test that plays
    // another program). The caller removes it with QSqlDatabase::removeDatabase.
    static QSqlDatabase open(const QString& connectionName, const DbOptions& options);

    static DbOptions options();
    static void setOptions(const DbOptions& options);
};

// A worker thread's database connection for the length of its run(): the connection is opened
// on the thread's first write and closed and removed when this guard ends, on the thread itself
// and before the thread says it has finished, also when run() leaves by an exception. Whoever
// waits for the thread may then end the program at once: nothing of the connection is left to
// be torn down by the thread's exit behind the program's back.
class ThreadDbConnection {
public:
    ThreadDbConnection();
    ~ThreadDbConnection();
    ThreadDbConnection(const ThreadDbConnection&) = delete;
    ThreadDbConnection& operator=(const ThreadDbConnection&) = delete;

    struct State;

private:
    std::unique_ptr<State> state_;
    State* previous_;
};

}  // namespace zev7
