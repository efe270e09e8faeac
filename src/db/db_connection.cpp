#include "db/db_connection.h"

#include "core/program_dir.h"
#include "core/strings.h"
#include "db/db_dialect.h"
#include "db/db_location.h"
#include "db/db_schema.h"
#include "db/db_transaction.h"
#include "db/server_spool.h"
#include "scenario/user_messages.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <atomic>

namespace zev7 {

namespace {

void removeConnection(QString* name) {
    if (name->isEmpty()) {
        return;
    }
    {
        QSqlDatabase db = QSqlDatabase::database(*name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(*name);
    name->clear();
}

}  // namespace

struct ThreadDbConnection::State {
    QString name;
    int generation = -1;
    QString lastError;
    QString spoolName;
    int spoolGeneration = -1;

    void close() {
        removeConnection(&spoolName);
        removeConnection(&name);
        generation = -1;
    }
};

namespace {

QMutex stateMutex;
DbOptions currentOptions;
bool setUpDone = false;
// Why the database part is switched off (DbConnection::refuse); empty while it is on.
QString refusalReason;
// Raised by every setup(); a thread connection opened under an older value is reopened.
std::atomic<int> setupGeneration{0};
std::atomic<int> threadConnectionCounter{0};

// A file the user has made read-only stays read-only, also for a program running with
// administrator rights (which the file system would let write anyway): this is how the
// read-only attribute behaves on the users' machines.
bool fileMarkedReadOnly(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return false;
    }
    constexpr QFile::Permissions kAnyWrite =
        QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return (info.permissions() & kAnyWrite) == 0;
}

// The thread that set the database up (the UI thread, a tool's main) writes through a
// connection of its own, kept until shutdown(). A plain pointer: nothing of it is torn down by
// the program's exit.
ThreadDbConnection::State* setupThreadState = nullptr;
std::atomic<Qt::HANDLE> setupThread{nullptr};

// The worker's guard of the calling thread, if any. A plain pointer too: the thread's exit has
// nothing to destroy.
thread_local ThreadDbConnection::State* workerState = nullptr;

ThreadDbConnection::State* currentState() {
    if (workerState != nullptr) {
        return workerState;
    }
    if (QThread::currentThreadId() != setupThread.load()) {
        return nullptr;
    }
    if (setupThreadState == nullptr) {
        setupThreadState = new ThreadDbConnection::State;
    }
    return setupThreadState;
}

void report(UserMessages* messages, const QString& text) {
    if (messages != nullptr) {
        messages->error(text);
    }
}

}  // namespace

QString DbConnection::directory() {
    return programPath(QString::fromLatin1(kDatabaseDirName));
}

QString DbConnection::filePath() {
    return QDir(directory()).filePath(QString::fromLatin1(kDatabaseFileName));
}

QString DbConnection::location() {
    const QString server = options().server;
    return server.isEmpty() ? QDir::toNativeSeparators(filePath()) : server;
}

const DbDialect& dialectFor(const DbOptions& options) {
    return options.server.isEmpty() ? sqliteDialect() : postgresDialect();
}

QSqlDatabase DbConnection::open(const QString& connectionName, const DbOptions& options) {
    if (QSqlDatabase::contains(connectionName)) {
        {
            QSqlDatabase old = QSqlDatabase::database(connectionName, false);
            old.close();
        }
        QSqlDatabase::removeDatabase(connectionName);
    }
    const DbDialect& dialect = dialectFor(options);
    QSqlDatabase db = QSqlDatabase::addDatabase(dialect.driverName(), connectionName);
    bool readOnly = false;
    if (options.server.isEmpty()) {
        const QString path = filePath();
        db.setDatabaseName(path);
        readOnly = fileMarkedReadOnly(path);
    } else {
        const std::optional<DbLocation> place = DbLocation::fromUrl(options.server, nullptr);
        // An address that does not read is opened nowhere: libpq's defaults would be another
        // database than the one named.
        if (!place) {
            return db;
        }
        db.setHostName(place->host);
        db.setPort(place->port > 0 ? place->port : -1);
        db.setDatabaseName(place->name);
        db.setUserName(place->user);
    }
    QString connectOptions = dialect.connectOptions(options.busyTimeoutMs, readOnly);
    if (!options.server.isEmpty() && options.connectTimeoutS > 0) {
        connectOptions += QStringLiteral(";connect_timeout=%1").arg(options.connectTimeoutS);
    }
    db.setConnectOptions(connectOptions);
    if (!db.open()) {
        return db;
    }
    if (!readOnly) {
        QSqlQuery q(db);
        q.exec(dialect.commitSafety(options.syncEveryCommit));
    }
    return db;
}

bool DbConnection::setup(UserMessages* messages, const DbOptions& options) {
    setOptions(options);
    {
        QMutexLocker lock(&stateMutex);
        setUpDone = false;
        refusalReason.clear();
    }
    ++setupGeneration;
    setupThread.store(QThread::currentThreadId());

    const QString dir = directory();
    const bool inFile = options.server.isEmpty();
    QString addressProblem;
    if (!inFile && !DbLocation::fromUrl(options.server, &addressProblem)) {
        report(messages, txt(str::DbCannotOpen).arg(options.server, addressProblem));
        return false;
    }
    if (inFile && !QDir().mkpath(dir)) {
        report(messages, txt(str::DbCannotCreateDir).arg(QDir::toNativeSeparators(dir)));
        return false;
    }
    QSqlDatabase db = open(QString::fromLatin1(kMainConnectionName), options);
    const QString nativePath = location();
    if (!db.isOpen()) {
        report(messages, txt(str::DbCannotOpen).arg(nativePath, db.lastError().text()));
        return false;
    }
    // A read-only file is used as it is: the windows read it, every write is refused and
    // reported when it is tried.
    if (!inFile || !fileMarkedReadOnly(filePath())) {
        QString error;
        // Pages freed by deleted cycles go back to the file system when the tables are packed,
        // and the database windows read while the ports write.
        bool ok = true;
        for (const QString& sql : dbDialect().fileSetUp()) {
            ok = ok && execSql(db, sql, &error);
        }
        ok = ok && DbSchema::createMissing(db, &error) && DbSchema::useOwnWorkTables(db, &error);
        if (!ok) {
            report(messages, txt(str::DbCannotOpen).arg(nativePath, error));
            return false;
        }
    }
    QMutexLocker lock(&stateMutex);
    setUpDone = true;
    return true;
}

void DbConnection::shutdown() {
    {
        QMutexLocker lock(&stateMutex);
        setUpDone = false;
    }
    ++setupGeneration;
    closeForThisThread();
    if (QThread::currentThreadId() == setupThread.load()) {
        delete setupThreadState;
        setupThreadState = nullptr;
    }
    const QString name = QString::fromLatin1(kMainConnectionName);
    if (QSqlDatabase::contains(name)) {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
}

void DbConnection::refuse(const QString& reason) {
    shutdown();
    QMutexLocker lock(&stateMutex);
    refusalReason = reason;
}

QString DbConnection::refusal() {
    QMutexLocker lock(&stateMutex);
    return refusalReason;
}

bool DbConnection::isSetUp() {
    QMutexLocker lock(&stateMutex);
    return setUpDone;
}

QSqlDatabase DbConnection::main() {
    return QSqlDatabase::database(QString::fromLatin1(kMainConnectionName), false);
}

QSqlDatabase DbConnection::forThisThread() {
    ThreadDbConnection::State* tc = currentState();
    if (tc == nullptr) {
        return {};
    }
    {
        QMutexLocker lock(&stateMutex);
        if (!refusalReason.isEmpty()) {
            tc->close();
            tc->lastError = refusalReason;
            return {};
        }
    }
    const int generation = setupGeneration.load();
    if (!tc->name.isEmpty() && tc->generation == generation) {
        QSqlDatabase db = QSqlDatabase::database(tc->name, false);
        if (db.isOpen()) {
            return db;
        }
    }
    if (tc->generation != generation) {
        tc->close();
    } else {
        removeConnection(&tc->name);
    }
    tc->name = QStringLiteral("ZEV7_thread_%1").arg(++threadConnectionCounter);
    tc->generation = generation;
    QSqlDatabase db = open(tc->name, options());
    tc->lastError = db.isOpen() ? QString() : db.lastError().text();
    return db;
}

QSqlDatabase DbConnection::spoolForThisThread() {
    ThreadDbConnection::State* tc = currentState();
    if (tc == nullptr) {
        return {};
    }
    const int generation = setupGeneration.load();
    if (!tc->spoolName.isEmpty()) {
        QSqlDatabase db = QSqlDatabase::database(tc->spoolName, false);
        if (db.isOpen() && tc->spoolGeneration == generation) {
            return db;
        }
        removeConnection(&tc->spoolName);
    }
    if (!QDir().mkpath(directory())) {
        tc->lastError = txt(str::DbCannotCreateDir).arg(QDir::toNativeSeparators(directory()));
        return {};
    }
    DbOptions file = options();
    file.server.clear();
    tc->spoolName = QStringLiteral("ZEV7_spool_%1").arg(++threadConnectionCounter);
    tc->spoolGeneration = generation;
    QSqlDatabase db = open(tc->spoolName, file);
    QString error = db.isOpen() ? QString() : db.lastError().text();
    for (const QString& sql : sqliteDialect().fileSetUp()) {
        if (error.isEmpty()) {
            execSql(db, sql, &error);
        }
    }
    if (error.isEmpty() && DbSchema::createMissing(db, &error)) {
        ServerSpool::setUp(db, &error);
    }
    if (!error.isEmpty()) {
        tc->lastError = error;
        removeConnection(&tc->spoolName);
        return {};
    }
    return db;
}

void DbConnection::dropForThisThread() {
    ThreadDbConnection::State* tc = currentState();
    if (tc != nullptr) {
        removeConnection(&tc->name);
        tc->generation = -1;
    }
}

void DbConnection::closeForThisThread() {
    if (workerState != nullptr) {
        workerState->close();
    } else if (setupThreadState != nullptr && QThread::currentThreadId() == setupThread.load()) {
        setupThreadState->close();
    }
}

QString DbConnection::lastOpenError() {
    const ThreadDbConnection::State* tc = currentState();
    return tc != nullptr ? tc->lastError : QStringLiteral("no database connection of this thread");
}

DbOptions DbConnection::options() {
    QMutexLocker lock(&stateMutex);
    return currentOptions;
}

void DbConnection::setOptions(const DbOptions& options) {
    QMutexLocker lock(&stateMutex);
    currentOptions = options;
    useDbDialect(dialectFor(options));
}

ThreadDbConnection::ThreadDbConnection()
    : state_(std::make_unique<State>()), previous_(workerState) {
    workerState = state_.get();
}

ThreadDbConnection::~ThreadDbConnection() {
    state_->close();
    workerState = previous_;
}

}  // namespace zev7
