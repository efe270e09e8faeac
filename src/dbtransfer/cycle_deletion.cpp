#include "dbtransfer/cycle_deletion.h"

#include "db/db_dialect.h"
#include "db/db_maintenance.h"
#include "db/db_schema.h"
#include "db/db_transaction.h"

#include <QElapsedTimer>
#include <QSqlQuery>

namespace zev7 {

namespace {

constexpr int kGaugeAfterDeletion = 80;
constexpr int kGaugeFull = 100;
// Window messages run at least this often during a long deletion, also when the gauge stands.
constexpr qint64 kEventIntervalMs = 3000;

struct PackStep {
    const char* table;
    int gaugeAfter;
};
// After a deletion: each table packed, the gauge where it stands once that table is done.
constexpr PackStep kPackSteps[] = {{table::ResCycle, 84},   {table::ResSeans, 88},
                                   {table::Seans, 90},      {table::SettCycleDec, 94},
                                   {table::Cycle, 96},      {table::In, 98},
                                   {table::Out, kGaugeFull}};
// "Удалить все циклы": each table emptied, the gauge once it is.
constexpr PackStep kClearSteps[] = {
    {table::ResSeans, 20}, {table::Seans, 40}, {table::ResCycle, 60},   {table::SettCycleDec, 70},
    {table::Cycle, 80},    {table::In, 90},    {table::Out, kGaugeFull}};

void report(const DeletionCallbacks& callbacks, int gauge) {
    if (callbacks.progress) {
        callbacks.progress(gauge);
    }
    if (callbacks.processEvents) {
        callbacks.processEvents();
    }
}

}  // namespace

SqlFragment DeletionInterval::condition(const QString& alias) const {
    const DbDialect& d = dbDialect();
    const QString p = alias.isEmpty() ? QString() : alias + QLatin1Char('.');
    return SqlFragment(
        QStringLiteral("((%1DATE_ON>=?) AND (%1DATE_OFF<=?) AND (%1TIME_ON>=?) AND "
                       "(%1TIME_OFF<=?))")
            .arg(p),
        {d.dateValue(dateOn), d.dateValue(dateOff), d.timeValue(timeOn), d.timeValue(timeOff)});
}

QList<DeletionListEntry> DeletionQueries::list(const SqlFragment& statement) {
    QList<DeletionListEntry> out;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!execFragment(q, statement, &error_)) {
        return out;
    }
    while (q.next()) {
        out.append({q.value(0).toInt(), q.value(1).toString()});
    }
    return out;
}

// A number may have been shown with different texts over the years; the list names it once.
QList<DeletionListEntry> DeletionQueries::outgoing(const DeletionInterval& interval) {
    return list(SqlFragment(QStringLiteral("SELECT CYC.OUT_ID, MIN(CYC.OUT_TELNUM) AS T FROM "
                                           "Table_Cycle CYC WHERE ")) +
                interval.condition() +
                SqlFragment(QStringLiteral(" GROUP BY CYC.OUT_ID ORDER BY T, CYC.OUT_ID")));
}

QList<DeletionListEntry> DeletionQueries::incoming(const DeletionInterval& interval, int outId) {
    SqlFragment s(
        QStringLiteral("SELECT CYC.IN_ID, MIN(CYC.IN_TELNUM) AS T FROM Table_Cycle CYC "
                       "WHERE "));
    s += interval.condition();
    if (outId != 0) {
        s += QStringLiteral(" AND CYC.OUT_ID=%1").arg(outId);
    }
    s += QStringLiteral(" GROUP BY CYC.IN_ID ORDER BY T, CYC.IN_ID");
    return list(s);
}

QList<DeletionListEntry> DeletionQueries::cycles(const DeletionInterval& interval, int outId,
                                                 int inId) {
    const DbDialect& d = dbDialect();
    SqlFragment s(QStringLiteral("SELECT CYC.CYCLE_ID, %1 FROM Table_Cycle CYC WHERE ")
                      .arg(d.concat({d.displayDate(QStringLiteral("CYC.DATE_ON")),
                                     QStringLiteral("' '"), QStringLiteral("CYC.TIME_ON")})));
    s += interval.condition();
    s += QStringLiteral(" AND CYC.OUT_ID=%1 AND CYC.IN_ID=%2 ORDER BY CYC.DATE_ON, CYC.TIME_ON")
             .arg(outId)
             .arg(inId);
    return list(s);
}

SqlFragment DeletionQueries::selection(const DeletionInterval& interval,
                                       const DeletionChoice& choice) {
    SqlFragment s(QStringLiteral("SELECT CYC.CYCLE_ID FROM Table_Cycle CYC WHERE "));
    if (choice.mode == DeletionMode::OutgoingIncoming) {
        // One chosen cycle: the list it was chosen from already kept to the interval.
        s += QStringLiteral("CYC.CYCLE_ID=%1").arg(choice.cycleId);
        return s;
    }
    s += interval.condition();
    switch (choice.mode) {
        case DeletionMode::Interrupted:
            s += QStringLiteral(" AND CYC.STATE_ID=0");
            break;
        case DeletionMode::ByOutgoing:
            s += QStringLiteral(" AND CYC.OUT_ID=%1").arg(choice.outId);
            break;
        case DeletionMode::ByIncoming:
            s += QStringLiteral(" AND CYC.IN_ID=%1").arg(choice.inId);
            break;
        default:
            break;
    }
    s += QStringLiteral(" ORDER BY CYC.CYCLE_ID");
    return s;
}

bool DeletionQueries::selectedCycles(const SqlFragment& selection, QList<int>* ids) {
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!execFragment(q, selection, &error_)) {
        return false;
    }
    while (q.next()) {
        ids->append(q.value(0).toInt());
    }
    return true;
}

bool CycleDeleter::deleteOne(int cycleId, QString* error) {
    return deleteCycleRows(db_, cycleId, error);
}

DeletionResult CycleDeleter::deleteCycles(const QList<int>& cycleIds,
                                          const DeletionCallbacks& callbacks) {
    DeletionResult result;
    int gauge = 0;
    report(callbacks, gauge);
    if (cycleIds.isEmpty()) {
        report(callbacks, kGaugeFull);
        return result;
    }
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    const qint64 n = cycleIds.size();
    qint64 i = 0;
    while (i < n && !result.interrupted) {
        DbTransaction tx(db_);
        if (!tx.began()) {
            result.failed = true;
            result.error = tx.error();
            return result;
        }
        int inBlock = 0;
        for (; i < n && inBlock < kCyclesPerTransaction; ++i, ++inBlock) {
            if (!deleteOne(cycleIds[i], &result.error)) {
                result.failed = true;
                return result;  // the block rolls back whole
            }
            if (callbacks.afterCycle) {
                callbacks.afterCycle(result.deleted + inBlock + 1);
            }
            const int next = static_cast<int>((i + 1) * kGaugeAfterDeletion / n);
            if (next > gauge || sinceEvents.elapsed() >= kEventIntervalMs) {
                gauge = std::max(gauge, next);
                report(callbacks, gauge);
                sinceEvents.restart();
            }
            if (callbacks.interrupted && callbacks.interrupted()) {
                result.interrupted = true;
                ++i;
                ++inBlock;
                break;
            }
        }
        if (!tx.commit()) {
            result.failed = true;
            result.error = tx.error();
            return result;
        }
        result.deleted += inBlock;
    }
    if (!result.interrupted) {
        packAfterDeletion(callbacks);
    }
    return result;
}

void CycleDeleter::packAfterDeletion(const DeletionCallbacks& callbacks) {
    report(callbacks, kGaugeAfterDeletion);
    for (const PackStep& step : kPackSteps) {
        // A table somebody else holds stays unpacked; the deletion itself is done.
        PackTable(QLatin1String(step.table), db_);
        report(callbacks, step.gaugeAfter);
    }
}

DeletionResult CycleDeleter::deleteAll(const DeletionCallbacks& callbacks) {
    DeletionResult result;
    {
        // Everything goes in one transaction, so that a program ending half way leaves the
        // database whole rather than cycles without their calls; packing then table by table.
        DbTransaction tx(db_);
        bool ok = tx.began();
        for (const PackStep& step : kClearSteps) {
            ok = ok && execSql(db_, QStringLiteral("DELETE FROM %1").arg(QLatin1String(step.table)),
                               &result.error);
        }
        if (!ok || !tx.commit()) {
            result.failed = true;
            if (result.error.isEmpty()) {
                result.error = tx.error();
            }
            return result;
        }
    }
    for (const PackStep& step : kClearSteps) {
        PackTable(QLatin1String(step.table), db_);
        report(callbacks, step.gaugeAfter);
    }
    return result;
}

}  // namespace zev7
