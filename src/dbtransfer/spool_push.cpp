#include "dbtransfer/spool_push.h"

#include "db/db_connection.h"
#include "db/db_transaction.h"
#include "db/server_spool.h"
#include "dbtransfer/import_source.h"

#include <QSet>

namespace zev7 {

SpoolPushResult pushSpool(QSqlDatabase server, ServerSpool& spool, int port,
                          const ImportCallbacks& callbacks) {
    SpoolPushResult result;
    QList<int> waiting;
    if (!spool.cycles(&waiting, &result.error, port)) {
        result.left = -1;
        return result;
    }
    if (waiting.isEmpty()) {
        return result;
    }
    const QSet<int> selected(waiting.begin(), waiting.end());
    ImportRules rules;
    rules.selects = [&selected](int cycleId) { return selected.contains(cycleId); };
    rules.completePresent = true;
    rules.ownSpool = true;
    ImportCallbacks withRemoval = callbacks;
    withRemoval.committed = [&](const QList<int>& cycleIds) {
        // Committed by the server: only now may the spool let them go. A spool that cannot
        // let them go keeps them; sending them again completes nothing and stores nothing twice.
        QString error;
        if (spool.remove(cycleIds, &error)) {
            result.sent += static_cast<int>(cycleIds.size());
        } else {
            result.error = error;
        }
    };
    SqliteImportSource source(DbConnection::filePath(), server);
    result.import = ResultImporter(server, rules).run(source, withRemoval);
    if (result.import.outcome == ImportOutcome::Refused) {
        result.error = result.import.message;
    } else if (result.import.outcome == ImportOutcome::Failed || result.import.failed > 0) {
        result.error = result.import.error;
        result.lostConnection = connectionLost(server);
    }
    QList<int> left;
    QString error;
    result.left = spool.cycles(&left, &error, port) ? static_cast<int>(left.size()) : -1;
    return result;
}

}  // namespace zev7
