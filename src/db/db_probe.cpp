#include "db/db_probe.h"

#include "core/strings.h"
#include "db/db_dialect.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <atomic>

namespace zev7 {

namespace {

std::atomic<int> probeCounter{0};

// The server's own words as one paragraph (libpq indents its hint on a line of its own), without
// the driver's generic sentence when the server said more.
QString reason(const QSqlError& error) {
    const QString text =
        error.databaseText().trimmed().isEmpty() ? error.text() : error.databaseText();
    QString joined;
    for (const QString& raw : text.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty()) {
            continue;
        }
        if (!joined.isEmpty()) {
            const QChar last = joined.back();
            joined += last == u'.' || last == u'?' || last == u'!' || last == u':'
                          ? QStringLiteral(" ")
                          : QStringLiteral(". ");
        }
        joined += line;
    }
    return joined;
}

}  // namespace

DbProbeResult probeDatabase(const DbOptions& requested) {
    DbOptions options = requested;
    options.connectTimeoutS = kProbeConnectTimeoutS;
    if (options.server.isEmpty() && !QFileInfo(DbConnection::filePath()).isFile()) {
        return {false,
                txt(str::DbToolNoDatabase).arg(QDir::toNativeSeparators(DbConnection::filePath()))};
    }
    const QString name = QStringLiteral("ZEV7_probe_%1").arg(++probeCounter);
    DbProbeResult result;
    {
        QSqlDatabase db = DbConnection::open(name, options);
        if (!db.isOpen()) {
            const QString why = reason(db.lastError());
            result.text = why.isEmpty() ? txt(str::DbLocBadUrl).arg(options.server) : why;
        } else {
            QSqlQuery q(db);
            if (q.exec(dialectFor(options).engineVersion()) && q.next()) {
                result = {true, q.value(0).toString()};
            } else {
                result.text = reason(q.lastError());
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

DbProbeThread::DbProbeThread(DbOptions options, QObject* parent)
    : QThread(parent), options_(std::move(options)) {}

DbProbeThread::~DbProbeThread() {
    wait();
}

void DbProbeThread::run() {
    result_ = probeDatabase(options_);
}

}  // namespace zev7
