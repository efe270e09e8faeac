#include "dbtransfer/station_writer.h"

#include "core/clock.h"
#include "db/db_connection.h"
#include "db/server_spool.h"
#include "dbtransfer/spool_push.h"

namespace zev7 {

StationWriter::StationWriter(int port, UserMessages& messages, const Clock& clock)
    : port_(port), clock_(clock), server_(messages), spool_(messages) {
    // The server's failures are weighed here: one out of reach sends the results to the
    // spool, one that refused them is shown as any other write failure.
    server_.setReportsFailures(false);
}

bool StationWriter::onServer() const {
    return !DbConnection::options().server.isEmpty();
}

bool StationWriter::saveScenarioStart(const ScenarHeader& header) {
    header_ = header;
    cycle_.reset();
    // Cycles an earlier run of the port left in the spool go first when the server answers;
    // when it does not, the spool keeps them for the return of the server.
    if (onServer() && !spooling_ && ServerSpool::holdsCycles(DbConnection::filePath(), port_)) {
        QSqlDatabase server = DbConnection::forThisThread();
        const QSqlDatabase spool = DbConnection::spoolForThisThread();
        if (server.isOpen() && spool.isOpen()) {
            ServerSpool waiting(spool);
            sent_ += pushSpool(server, waiting, port_).sent;
        }
    }
    tryServer();
    return write([&](TDBSaveData& w) { return w.SaveScenarioStart(header); });
}

bool StationWriter::saveCycleStart(double cycleStart, const CycleRecord& cycle,
                                   const ScenarHeader& header) {
    header_ = header;
    cycle_ = cycle;
    cycleStart_ = cycleStart;
    tryServer();
    const bool stored =
        write([&](TDBSaveData& w) { return w.SaveCycleStart(cycleStart, cycle, header); });
    return stored && (!spooling_ || markCycle());
}

bool StationWriter::saveTestCall(const CycleRecord& cycle, const DbCycleResults& results,
                                 const DbCallRecord& call, int callNumber, int callsPastDialTone,
                                 int callsPastRingback) {
    tryServer();
    const bool stored = write([&](TDBSaveData& w) {
        return w.SaveTestCall(cycle, results, call, callNumber, callsPastDialTone,
                              callsPastRingback);
    });
    if (!stored) {
        ++unstoredCalls_;
    }
    return stored;
}

void StationWriter::endOfRun() {
    if (spooling_) {
        lastTryMs_ = clock_.tickMs() - kServerRetryMs;
        tryServer();
    }
}

bool StationWriter::write(const Step& step) {
    if (spooling_) {
        return spoolReady() && step(spool_);
    }
    if (step(server_)) {
        return true;
    }
    if (!onServer() || !server_.lostConnection()) {
        server_.reportFailure(server_.lastError());
        return false;
    }
    // Out of reach: the connection is made anew when the server is tried again.
    DbConnection::dropForThisThread();
    ++losses_;
    spooling_ = true;
    lastTryMs_ = clock_.tickMs();
    return spoolStep(step);
}

bool StationWriter::spoolReady() {
    const QSqlDatabase spool = DbConnection::spoolForThisThread();
    if (!spool.isOpen()) {
        spool_.reportFailure(DbConnection::lastOpenError());
        return false;
    }
    spool_.setConnectionName(spool.connectionName(), DbConnection::options().station);
    return true;
}

bool StationWriter::spoolStep(const Step& step) {
    return spoolReady() && restore(spool_) && (!cycle_ || markCycle()) && step(spool_);
}

bool StationWriter::markCycle() {
    QString error;
    if (spool_.cycleId() > 0 && ServerSpool(DbConnection::spoolForThisThread())
                                    .markCycle(spool_.cycleId(), port_, &error)) {
        return true;
    }
    spool_.reportFailure(error.isEmpty() ? QStringLiteral("spooled cycle without its row") : error);
    return false;
}

bool StationWriter::restore(TDBSaveData& writer) {
    if (!header_) {
        return true;
    }
    if (!writer.SaveScenarioStart(*header_)) {
        return false;
    }
    return !cycle_ || writer.SaveCycleStart(cycleStart_, *cycle_, *header_);
}

void StationWriter::tryServer() {
    const std::int64_t now = clock_.tickMs();
    if (!spooling_ || now - lastTryMs_ < kServerRetryMs) {
        return;
    }
    lastTryMs_ = now;
    QSqlDatabase server = DbConnection::forThisThread();
    const QSqlDatabase spoolDb = DbConnection::spoolForThisThread();
    if (!server.isOpen() || !spoolDb.isOpen()) {
        DbConnection::dropForThisThread();
        return;
    }
    ServerSpool spool(spoolDb);
    const SpoolPushResult pushed = pushSpool(server, spool, port_);
    sent_ += pushed.sent;
    if (!pushed.done()) {
        if (pushed.lostConnection) {
            DbConnection::dropForThisThread();
        } else if (!pushRefusalShown_) {
            // The server answers but will not take a spooled cycle: it stays in the spool for
            // "zev7-db push", and the user hears of it once.
            pushRefusalShown_ = true;
            spool_.reportFailure(pushed.error);
        }
        return;
    }
    // Everything the spool held is on the server: the writer goes on there, its numbers and
    // the cycle under way found again.
    if (!restore(server_)) {
        if (server_.lostConnection()) {
            DbConnection::dropForThisThread();
        }
        return;
    }
    spooling_ = false;
    pushRefusalShown_ = false;
    ++returns_;
}

}  // namespace zev7
