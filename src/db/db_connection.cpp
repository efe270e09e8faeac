#include "db/db_connection.h"

#include "core/program_dir.h"
#include "core/strings.h"
#include "db/db_dialect.h"
#include "db/db_schema.h"
#include "db/db_transaction.h"
#include "scenario/user_messages.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace zev7 {

namespace {

QMutex stateMutex;
DbOptions currentOptions;
bool setUpDone = false;
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

struct ThreadConnection {
    QString name;
    int generation = -1;
    QString lastError;

    ~ThreadConnection() { close(); }

    void close() {
        if (name.isEmpty()) {
            return;
        }
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        name.clear();
        generation = -1;
    }
};

thread_local ThreadConnection threadConnection;

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

QSqlDatabase DbConnection::open(const QString& connectionName, const DbOptions& options) {
    if (QSqlDatabase::contains(connectionName)) {
        {
            QSqlDatabase old = QSqlDatabase::database(connectionName, false);
            old.close();
        }
        QSqlDatabase::removeDatabase(connectionName);
    }
    const QString path = filePath();
    QSqlDatabase db = QSqlDatabase::addDatabase(dbDialect().driverName(), connectionName);
    db.setDatabaseName(path);
    const bool readOnly = fileMarkedReadOnly(path);
    QString connectOptions = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(options.busyTimeoutMs);
    if (readOnly) {
        connectOptions += QStringLiteral(";QSQLITE_OPEN_READONLY");
    }
    db.setConnectOptions(connectOptions);
    if (!db.open()) {
        return db;
    }
    if (!readOnly) {
        QSqlQuery q(db);
        q.exec(dbDialect().commitSafety(options.syncEveryCommit));
    }
    return db;
}

bool DbConnection::setup(UserMessages* messages, const DbOptions& options) {
    setOptions(options);
    {
        QMutexLocker lock(&stateMutex);
        setUpDone = false;
    }
    ++setupGeneration;

    const QString dir = directory();
    if (!QDir().mkpath(dir)) {
        report(messages, txt(str::DbCannotCreateDir).arg(QDir::toNativeSeparators(dir)));
        return false;
    }
    QSqlDatabase db = open(QString::fromLatin1(kMainConnectionName), options);
    const QString nativePath = QDir::toNativeSeparators(filePath());
    if (!db.isOpen()) {
        report(messages, txt(str::DbCannotOpen).arg(nativePath, db.lastError().text()));
        return false;
    }
    // A read-only file is used as it is: the windows read it, every write is refused and
    // reported when it is tried.
    if (!fileMarkedReadOnly(filePath())) {
        QString error;
        // Pages freed by deleted cycles go back to the file system when the tables are packed,
        // and the database windows read while the ports write.
        bool ok = true;
        for (const QString& sql : dbDialect().fileSetUp()) {
            ok = ok && execSql(db, sql, &error);
        }
        ok = ok && DbSchema::createMissing(db, &error);
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
    const QString name = QString::fromLatin1(kMainConnectionName);
    if (QSqlDatabase::contains(name)) {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
}

bool DbConnection::isSetUp() {
    QMutexLocker lock(&stateMutex);
    return setUpDone;
}

QSqlDatabase DbConnection::main() {
    return QSqlDatabase::database(QString::fromLatin1(kMainConnectionName), false);
}

QSqlDatabase DbConnection::forThisThread() {
    ThreadConnection& tc = threadConnection;
    const int generation = setupGeneration.load();
    if (!tc.name.isEmpty() && tc.generation == generation) {
        QSqlDatabase db = QSqlDatabase::database(tc.name, false);
        if (db.isOpen()) {
            return db;
        }
    }
    tc.close();
    tc.name = QStringLiteral("ZEV7_thread_%1").arg(++threadConnectionCounter);
    tc.generation = generation;
    QSqlDatabase db = open(tc.name, options());
    tc.lastError = db.isOpen() ? QString() : db.lastError().text();
    return db;
}

void DbConnection::closeForThisThread() {
    threadConnection.close();
}

QString DbConnection::lastOpenError() {
    return threadConnection.lastError;
}

DbOptions DbConnection::options() {
    QMutexLocker lock(&stateMutex);
    return currentOptions;
}

void DbConnection::setOptions(const DbOptions& options) {
    QMutexLocker lock(&stateMutex);
    currentOptions = options;
}

}  // namespace zev7
