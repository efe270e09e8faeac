// Trying a place for the results before the program is bound to it: the settings dialog's
// "Проверить". A connection of its own is opened, asked for the engine's version and closed
// again on the calling thread, so a worker thread may call it inside its run().
#pragma once

#include "db/db_connection.h"

#include <QString>
#include <QThread>

namespace zev7 {

// A server that does not answer within this time counts as unreachable for the check.
inline constexpr int kProbeConnectTimeoutS = 10;

struct DbProbeResult {
    bool ok = false;
    // The engine and its version, or the driver's reason as the user reads it.
    QString text;
};

// Never creates a database: SQLite is opened only when its file exists.
DbProbeResult probeDatabase(const DbOptions& options);

// The check on a thread of its own, so that a server that is slow to answer does not hold the
// window: its connection is opened and closed inside run().
class DbProbeThread : public QThread {
    Q_OBJECT

public:
    explicit DbProbeThread(DbOptions options, QObject* parent = nullptr);
    // Waits for the check, which ends within kProbeConnectTimeoutS.
    ~DbProbeThread() override;

    // The outcome; read it after finished().
    const DbProbeResult& result() const { return result_; }

protected:
    void run() override;

private:
    const DbOptions options_;
    DbProbeResult result_;
};

}  // namespace zev7
