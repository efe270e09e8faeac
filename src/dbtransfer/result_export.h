// The open export of the results database: one row per test call or one per cycle, in CSV or
// JSON Lines (see ExportWriter), for everything stored over a span of days or for the cycles of
// the list window's selection. The rows are read with a forward-only query and written as they
// are read, so a million calls take no more memory than ten.
//
// Per call: the cycle, the call's number in it, the outgoing and incoming numbers, start and end
// (ISO 8601, the station's local time), the duration in seconds, the outcome's code and text,
// the attenuation and the dial-tone and ringback levels (empty where not measured), the
// measuring station.
// Per cycle: start and end, its state, attempts, losses, the loss coefficient, the norm in force,
// the verdict, the 95 % interval of the loss share, the verdict it proves ("Норма", "Ненорма",
// empty when not proved) and the further calls that would prove it (empty when proved or when
// no number would: see LossConfidence), the measuring station.
#pragma once

#include "dbquery/record_filter.h"
#include "dbtransfer/export_writer.h"

#include <QDate>
#include <QSqlDatabase>
#include <functional>
#include <optional>

class QSqlQuery;

namespace zev7 {

enum class ExportRows { Calls, Cycles };

struct ExportRequest {
    ExportFormat format = ExportFormat::Csv;
    ExportRows rows = ExportRows::Cycles;
    // Cycles started on these days (both included); no bound when empty.
    std::optional<QDate> from;
    std::optional<QDate> to;
    // Only the cycles measured by this station (a cycle stored without one is this station's:
    // see ownStationName()); every station's when empty.
    QString station;
    // The cycles of the list window's selection (the working table TEMP_CYCLE, narrowed by the
    // window's filter and without the cycles taken out) instead of the whole database.
    bool workingSelection = false;
    SqlFilter filter;
    QList<int> excludedCycleIds;
};

struct ExportCallbacks {
    // Rows written so far, every kProgressRows rows.
    std::function<void(qint64 rows)> progress;
    std::function<bool()> interrupted;
};

class ResultExport {
public:
    static constexpr qint64 kProgressRows = 1000;

    explicit ResultExport(QSqlDatabase db) : db_(std::move(db)) {}

    // How many rows the request will write (for a progress bar); -1 when the database fails.
    qint64 countRows(const ExportRequest& request);
    // Writes the head and every row. false when the database or the device fails (the text in
    // lastError()) or the user stopped it (interrupted()).
    bool run(const ExportRequest& request, QIODevice& out, const ExportCallbacks& callbacks = {});

    qint64 rowsWritten() const { return rows_; }
    bool interrupted() const { return interrupted_; }
    const QString& lastError() const { return error_; }

    static QStringList callFields();
    static QStringList cycleFields();

private:
    QVariantList callRow(const QSqlQuery& q) const;
    QVariantList cycleRow(const QSqlQuery& q) const;
    // A cycle's fields up to its confidence (all but the station).
    QVariantList cycleJudgement(const QSqlQuery& q) const;

    QSqlDatabase db_;
    qint64 rows_ = 0;
    bool interrupted_ = false;
    QString error_;
};

}  // namespace zev7
