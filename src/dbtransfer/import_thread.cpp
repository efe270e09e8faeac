#include "dbtransfer/import_thread.h"

#include "db/db_connection.h"
#include "dbtransfer/engine_problem.h"

#include <QAtomicInt>
#include <QSqlDatabase>
#include <QSqlError>

namespace zev7 {

namespace {
QAtomicInt threadSerial;
}

ImportThread::ImportThread(const QString& directory, QObject* parent)
    : QThread(parent), directory_(directory) {}

ImportThread::~ImportThread() {
    requestStop();
    wait();
}

void ImportThread::run() {
    const QString name =
        QStringLiteral("ZEV7_import_own_%1").arg(threadSerial.fetchAndAddRelaxed(1));
    {
        QSqlDatabase own = DbConnection::open(name, DbConnection::options());
        if (own.isOpen()) {
            ImportCallbacks callbacks;
            callbacks.progress = [this](int gauge, const QString& stage) {
                emit progressed(gauge, stage);
            };
            callbacks.interrupted = [this] { return stop_.load(); };
            result_ = ResultImporter(own).run(directory_, callbacks);
        } else {
            result_.outcome = ImportOutcome::Failed;
            result_.error = engineProblemText(own.lastError());
        }
        own.close();
    }
    QSqlDatabase::removeDatabase(name);
}

}  // namespace zev7
