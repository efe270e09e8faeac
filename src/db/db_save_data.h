// The port thread's writer of the results database. It stores the numbers, one row per
// cycle with the settings the cycle ran with, one row and one measurement row per test call,
// and the cycle's result statistics after every call, so that the database always holds the
// cycle up to its last finished call, also when the cycle is interrupted.
//
// Calls, in this order (all on the port thread, inside the report mutex):
//   scenario start:  SaveOutNumber
//   cycle start:     SaveInNumber, SaveCycleRow, SaveCycleSettings
//   after each call: SaveTestCallRow, SaveTestCallMeasurements, CompleteCycle
// (SaveScenarioStart, SaveCycleStart and SaveTestCall make the same calls in one go.)
//
// Each operation has the database to itself for its length and is written whole or not at
// all; SaveCycleStart and SaveTestCall write their operations in one transaction, so a cycle
// start or a test call is stored whole or not at all. One that cannot be written is rolled
// back and reported once with "Не могу записать в БД."; the measurement goes on. An operation that
// needs the identifier of an earlier one that failed (a cycle row without its numbers, a call
// without its cycle row) is not written either, and is reported the same way, rather than being
// filed under the previous cycle. So is a call whose cycle row has been deleted meanwhile: it
// counts among the calls not stored instead of being left in the tables without its cycle.
#pragma once

#include "db/db_records.h"
#include "scenario/records.h"

#include <QString>
#include <QStringList>
#include <functional>

class QSqlDatabase;

namespace zev7 {

class UserMessages;

class TDBSaveData {
public:
    explicit TDBSaveData(UserMessages& messages);

    // Write through this connection (it must belong to the calling thread) instead of the
    // thread's own connection; empty = the thread's own. station: the station of the options
    // that connection was opened with; the thread's own connection has that of
    // DbConnection::options(). Every new cycle row names its station (NULL when none is named).
    void setConnectionName(const QString& name, const QString& station) {
        connectionName_ = name;
        station_ = station;
    }
    // false: a failed operation is neither shown nor counted, only noted (lastError,
    // lostConnection) for the caller, who decides (the writer of a station on a server, whose
    // results go to its spool while the server is out of reach). reportFailure() shows and counts
    // one as this writer would have.
    void setReportsFailures(bool reports) { reportsFailures_ = reports; }
    void reportFailure(const QString& error) { ReportDbWriteFailure(error); }
    // The last failed operation failed because the database could not be reached or the
    // connection to it was lost, not because the database refused it.
    bool lostConnection() const { return connectionLost_; }

    bool SaveOutNumber(const TelNumber& number);
    bool SaveInNumber(const TelNumber& number);
    // cycleStart: OLE date-time of the cycle start (the statistics' cycle start).
    bool SaveCycleRow(double cycleStart, const CycleRecord& cycle, const ScenarHeader& header);
    bool SaveCycleSettings(const CycleRecord& cycle);
    // callNumber: running number of the call in the cycle, from 1.
    bool SaveTestCallRow(const DbCallRecord& call, int callNumber);
    // The two counters: calls of the cycle so far that got past the dial tone (every outcome
    // but -1, -2, -3), and that reached the answer stage (0, -1000, -2000, -3000, -4000).
    bool SaveTestCallMeasurements(const CycleRecord& cycle, const DbCallRecord& call,
                                  int callNumber, int callsPastDialTone, int callsPastRingback);
    bool CompleteCycle(const CycleRecord& cycle, const DbCycleResults& results,
                       const DbCallRecord& call, int callNumber);

    bool SaveScenarioStart(const ScenarHeader& header);
    bool SaveCycleStart(double cycleStart, const CycleRecord& cycle, const ScenarHeader& header);
    bool SaveTestCall(const CycleRecord& cycle, const DbCycleResults& results,
                      const DbCallRecord& call, int callNumber, int callsPastDialTone,
                      int callsPastRingback);

    // Identifiers of the current numbers and cycle; 0 while unknown.
    int outId() const { return outId_; }
    int inId() const { return inId_; }
    int cycleId() const { return cycleId_; }

    // Failed operations so far, and the engine's text of the last one (for the protocol and
    // diagnostics; the user sees the fixed message).
    int failureCount() const { return failureCount_; }
    const QString& lastError() const { return lastError_; }
    // Test calls that SaveTestCall could not store.
    int unstoredCalls() const { return unstoredCalls_; }

private:
    using Operation = std::function<bool(QSqlDatabase& db, QString* error)>;
    struct Group {
        QSqlDatabase& db;
        QString error;
    };

    // Runs one operation in its own transaction, or in the group's when one is open; reports
    // and rolls back on failure.
    bool run(const Operation& operation);
    // Runs operations in one transaction: all of them are stored or none, with one report.
    bool runGroup(const std::function<bool()>& steps);
    bool saveNumber(const TelNumber& number, const char* tableName, const char* keyColumn, int* id);
    void failed(QSqlDatabase& db, const QString& error);
    void ReportDbWriteFailure(const QString& error);

    UserMessages& messages_;
    // The station the cycles are stored under (the thread's own connection: whatever the
    // options name when the cycle starts).
    QString station() const;

    QString connectionName_;
    QString station_;
    int outId_ = 0;
    int inId_ = 0;
    int cycleId_ = 0;
    int failureCount_ = 0;
    int unstoredCalls_ = 0;
    QString lastError_;
    bool reportsFailures_ = true;
    bool connectionLost_ = false;
    Group* group_ = nullptr;
};

// The seven parts of a number as the database keeps them: the dialable symbols only, upper
// case, "-" and empty parts as empty texts.
QStringList reducedNumberParts(const TelNumber& number);

// The 24 stored settings of a cycle, element i holding setting id i + 1.
std::array<double, kCycleSettingCount> cycleSettingValues(const CycleRecord& cycle);

}  // namespace zev7
