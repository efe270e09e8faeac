#include "db/db_save_data.h"

#include "core/strings.h"
#include "core/text_codec.h"
#include "db/db_connection.h"
#include "db/db_dialect.h"
#include "db/db_schema.h"
#include "db/db_transaction.h"
#include "scenario/batch_failure.h"
#include "scenario/ole_date.h"
#include "scenario/result_code.h"
#include "scenario/tel_number.h"
#include "scenario/user_messages.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <cmath>

namespace zev7 {

namespace {

// A moment as the tables keep it: date, time in whole seconds, DayWeekId.
struct StoredMoment {
    QDate date;
    QTime time;
    int dayWeek = 0;
    bool valid() const { return date.isValid() && time.isValid(); }
};

enum class WithDay { No, Yes };

// A moment's date and time columns, and with WithDay::Yes its day of the week after them.
void bindMoment(QSqlQuery& query, const DbDialect& d, const StoredMoment& m, WithDay withDay) {
    query.addBindValue(d.dateValue(m.date));
    query.addBindValue(d.timeValue(m.time));
    if (withDay == WithDay::Yes) {
        query.addBindValue(m.dayWeek);
    }
}

// The first and the day after the last day a stored date may name (01.01.1900 and
// 31.12.9999 in days since 30.12.1899): beyond them the value is not a moment the program
// measured but damage.
constexpr double kEarliestOleDate = 2.0;
constexpr double kOleDateLimit = 2958466.0;

StoredMoment storedMoment(double oleDate) {
    if (!(oleDate >= kEarliestOleDate && oleDate < kOleDateLimit)) {
        return {};
    }
    const QDateTime t = fromOleDate(oleDate);
    if (!t.isValid()) {
        return {};
    }
    // The time is kept to the second, cut as the program's time format cuts it.
    const QTime whole(t.time().hour(), t.time().minute(), t.time().second());
    return {t.date(), whole, t.date().dayOfWeek()};
}

// A duration stored as a time of day: whole seconds, a full day wraps round. A negative
// duration (the clock was set back during the call) counts as none.
QTime durationAsTime(double days) {
    if (!std::isfinite(days) || days <= 0.0) {
        return QTime(0, 0);
    }
    // To the millisecond first, as the date-times are read, then cut to the second: 89.9999 s
    // of floating-point arithmetic is 90 s.
    constexpr qint64 kMsPerDay = 86400000;
    const qint64 ms = std::llround((days - std::floor(days)) * static_cast<double>(kMsPerDay));
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms % kMsPerDay / 1000 * 1000));
}

QVariant measured(double value) {
    return std::isfinite(value) && value > kDbStoredValueLimit ? QVariant(value) : QVariant();
}

QVariant realOrNull(double value) {
    return std::isfinite(value) ? QVariant(value) : QVariant();
}

QString cut(const QString& text, int length) {
    return text.left(length);
}

bool execPrepared(QSqlQuery& q, QString* error) {
    if (q.exec()) {
        return true;
    }
    *error = sqlErrorText(q);
    return false;
}

// Column names for the dialect's statements.
QStringList names(std::initializer_list<const char*> columns) {
    QStringList list;
    for (const char* c : columns) {
        list << QLatin1String(c);
    }
    return list;
}

bool prepare(QSqlQuery& q, const QString& sql, QString* error) {
    if (q.prepare(sql)) {
        return true;
    }
    *error = sqlErrorText(q);
    return false;
}

// The key of the row a lookup found, 0 when it found none.
bool lookupId(QSqlQuery& q, int* id, QString* error) {
    if (!execPrepared(q, error)) {
        return false;
    }
    *id = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    return true;
}

// The key of the row an INSERT added, 0 when it added none.
int newRowId(QSqlQuery& q) {
    bool ok = false;
    const int id = insertedKey(q).toInt(&ok);
    q.finish();
    return ok && id > 0 ? id : 0;
}

bool insertedId(QSqlQuery& q, int* id, QString* error) {
    *id = newRowId(q);
    if (*id == 0) {
        *error = QStringLiteral("no key for the new row of ") + q.lastQuery();
        return false;
    }
    return true;
}

QString deletedCycleError(int cycleId) {
    return QStringLiteral("the row of cycle %1 has been deleted").arg(cycleId);
}

// The cycle row a call is filed under is still there: the database windows may have deleted
// the cycle while it ran, and a call filed under a deleted cycle would be found by no selection.
bool cycleRowPresent(QSqlDatabase& db, int cycleId, QString* error) {
    QSqlQuery find(db);
    if (!prepare(find,
                 QStringLiteral("SELECT CYCLE_ID FROM %1 WHERE CYCLE_ID = ?")
                     .arg(QLatin1String(table::Cycle)),
                 error)) {
        return false;
    }
    find.addBindValue(cycleId);
    int found = 0;
    if (!lookupId(find, &found, error)) {
        return false;
    }
    if (found != cycleId) {
        *error = deletedCycleError(cycleId);
        return false;
    }
    return true;
}

}  // namespace

QStringList reducedNumberParts(const TelNumber& number) {
    QStringList parts;
    for (int f = 0; f < kNumberFieldCount; ++f) {
        const QString reduced = DialChars(fieldText(number.fields[f]));
        // An empty part is an empty text, never a null: the parts are compared and joined.
        parts << (reduced.isEmpty() ? QStringLiteral("") : cut(reduced, kNumberPartLength));
    }
    return parts;
}

std::array<double, kCycleSettingCount> cycleSettingValues(const CycleRecord& c) {
    const auto flag = [](std::uint8_t f) { return f != 0 ? 1.0 : 0.0; };
    return {static_cast<double>(c.minAttempts),
            static_cast<double>(c.maxAttempts),
            c.normAtMin,
            c.normAtMax,
            c.dialToneThreshold,
            flag(c.ringbackCheck),
            c.ringbackThreshold,
            c.answerThreshold,
            c.answerMinTime,
            c.answerMaxTime,
            flag(c.attenuationCheck),
            static_cast<double>(c.aaNominalLevel),
            c.aaFrequency,
            static_cast<double>(c.aaRings),
            c.aaDelayOn,
            c.aaDelayOff,
            c.pause,
            c.waitTime,
            c.ringbackTime,
            c.busyPeriodMin,
            c.busyPeriodMax,
            c.overloadPeriodMin,
            c.overloadPeriodMax,
            c.attenuationSignalTime};
}

TDBSaveData::TDBSaveData(UserMessages& messages) : messages_(messages) {}

bool TDBSaveData::run(const Operation& operation) {
    if (group_ != nullptr) {
        // Part of a group: its transaction is the group's, and so is its one report.
        return operation(group_->db, &group_->error);
    }
    return runGroup([&] { return operation(group_->db, &group_->error); });
}

bool TDBSaveData::runGroup(const std::function<bool()>& steps) {
    QSqlDatabase db = connectionName_.isEmpty() ? DbConnection::forThisThread()
                                                : QSqlDatabase::database(connectionName_, false);
    if (!db.isOpen()) {
        failed(db, connectionName_.isEmpty() ? DbConnection::lastOpenError()
                                             : QStringLiteral("connection not open"));
        return false;
    }
    DbTransaction tx(db);
    if (!tx.began()) {
        failed(db, tx.error());
        return false;
    }
    Group group{db, {}};
    group_ = &group;
    const bool done = steps();
    group_ = nullptr;
    if (!done) {
        tx.rollback();
        failed(db, group.error);
        return false;
    }
    if (!tx.commit()) {
        failed(db, tx.error());
        return false;
    }
    return true;
}

void TDBSaveData::failed(QSqlDatabase& db, const QString& error) {
    // A statement refused by a database that still answers differs from a database that no
    // longer answers at all: one question after the rollback tells them apart.
    connectionLost_ = connectionLost(db);
    if (!reportsFailures_) {
        lastError_ = error;
        return;
    }
    ReportDbWriteFailure(error);
}

void TDBSaveData::ReportDbWriteFailure(const QString& error) {
    ++failureCount_;
    lastError_ = error;
    // In batch mode the messages log "Ошибка! Не могу записать в БД." instead of showing it.
    messages_.show(MessageIcon::Warning, txt(str::CaptionError), txt(str::DbCannotWrite));
    endBatchOnError(messages_);
}

bool TDBSaveData::saveNumber(const TelNumber& number, const char* tableName, const char* keyColumn,
                             int* id) {
    const QStringList parts = reducedNumberParts(number);
    const QString columns =
        QStringLiteral("HIER_ATX, BEF_CALL, CODE_CITY, ADD_CODE, NUM_ATX, NUM_ON_ATX, ADD_CALL");
    int found = 0;
    const bool ok = run([&](QSqlDatabase& db, QString* error) {
        // The parts' columns compare without regard to letter case.
        QSqlQuery find(db);
        if (!prepare(find,
                     dialectOf(db).firstRowOnly(
                         QStringLiteral("SELECT %1 FROM %2 WHERE HIER_ATX = ? AND BEF_CALL = ? AND "
                                        "CODE_CITY = ? AND ADD_CODE = ? AND NUM_ATX = ? AND "
                                        "NUM_ON_ATX = ? AND ADD_CALL = ? ORDER BY %1")
                             .arg(QLatin1String(keyColumn), QLatin1String(tableName))),
                     error)) {
            return false;
        }
        for (const QString& p : parts) {
            find.addBindValue(p);
        }
        if (!lookupId(find, &found, error)) {
            return false;
        }
        if (found > 0) {
            return true;
        }
        // Another station on the same server may file the same number at the same moment:
        // then its row is the one, found again once its write has ended.
        QSqlQuery insert(db);
        if (!prepare(insert,
                     dialectOf(db).insertUnlessPresent(QLatin1String(tableName),
                                                       columns.split(QStringLiteral(", ")), {}) +
                         dialectOf(db).returningKey(QLatin1String(keyColumn)),
                     error)) {
            return false;
        }
        for (const QString& p : parts) {
            insert.addBindValue(p);
        }
        if (!execPrepared(insert, error)) {
            return false;
        }
        found = newRowId(insert);
        if (found == 0 && !lookupId(find, &found, error)) {
            return false;
        }
        if (found == 0) {
            *error = QStringLiteral("no key for the new row of ") + insert.lastQuery();
            return false;
        }
        return true;
    });
    *id = ok ? found : 0;
    return ok;
}

QString TDBSaveData::station() const {
    return connectionName_.isEmpty() ? DbConnection::options().station : station_;
}

bool TDBSaveData::SaveOutNumber(const TelNumber& number) {
    return saveNumber(number, table::Out, "OUT_ID", &outId_);
}

bool TDBSaveData::SaveInNumber(const TelNumber& number) {
    return saveNumber(number, table::In, "IN_ID", &inId_);
}

bool TDBSaveData::SaveCycleRow(double cycleStart, const CycleRecord& cycle,
                               const ScenarHeader& header) {
    const StoredMoment start = storedMoment(cycleStart);
    const int outId = outId_;
    const int inId = inId_;
    const QString station = cut(this->station(), kStationLength);
    int found = 0;
    const bool ok = run([&](QSqlDatabase& db, QString* error) {
        if (outId <= 0 || inId <= 0) {
            *error = QStringLiteral("cycle row without its numbers");
            return false;
        }
        if (!start.valid()) {
            *error = QStringLiteral("cycle start is not a date: %1").arg(cycleStart);
            return false;
        }
        QSqlQuery find(db);
        if (!prepare(find,
                     dialectOf(db).firstRowOnly(
                         QStringLiteral("SELECT CYCLE_ID FROM %1 WHERE OUT_ID = ? AND IN_ID = ? "
                                        "AND DATE_ON = ? AND TIME_ON = ? AND "
                                        "COALESCE(STATION, '') = ? ORDER BY CYCLE_ID")
                             .arg(QLatin1String(table::Cycle))),
                     error)) {
            return false;
        }
        find.addBindValue(outId);
        find.addBindValue(inId);
        bindMoment(find, dialectOf(db), start, WithDay::No);
        // Stations on one server dial the same numbers at the same second: each its own cycle.
        find.addBindValue(station.isEmpty() ? QStringLiteral("") : station);
        if (!lookupId(find, &found, error)) {
            return false;
        }
        if (found > 0) {
            return true;
        }
        QSqlQuery insert(db);
        if (!prepare(insert,
                     QStringLiteral("INSERT INTO %1 (OUT_ID, IN_ID, DATE_ON, TIME_ON, "
                                    "DAY_WEEK_ON_ID, DATE_OFF, TIME_OFF, DAY_WEEK_OFF_ID, "
                                    "STATE_ID, OUT_TELNUM, IN_TELNUM, STATION) VALUES (?, ?, ?, "
                                    "?, ?, ?, ?, ?, ?, ?, ?, ?)")
                             .arg(QLatin1String(table::Cycle)) +
                         dialectOf(db).returningKey(QStringLiteral("CYCLE_ID")),
                     error)) {
            return false;
        }
        insert.addBindValue(outId);
        insert.addBindValue(inId);
        bindMoment(insert, dialectOf(db), start, WithDay::Yes);  // on
        bindMoment(insert, dialectOf(db), start, WithDay::Yes);  // off, until the cycle completes
        insert.addBindValue(static_cast<int>(DbCycleOpen));
        insert.addBindValue(cut(fieldText(header.outNumber.text), kTelNumTextLength));
        insert.addBindValue(cut(fieldText(cycle.inNumber.text), kTelNumTextLength));
        insert.addBindValue(station.isEmpty() ? QVariant() : QVariant(station));
        return execPrepared(insert, error) && insertedId(insert, &found, error);
    });
    cycleId_ = ok ? found : 0;
    return ok;
}

bool TDBSaveData::SaveCycleSettings(const CycleRecord& cycle) {
    const int cycleId = cycleId_;
    const std::array<double, kCycleSettingCount> values = cycleSettingValues(cycle);
    return run([&](QSqlDatabase& db, QString* error) {
        if (cycleId <= 0) {
            *error = QStringLiteral("settings without their cycle row");
            return false;
        }
        // Rows already there (the same cycle started again in the same second) stay as they
        // are.
        QSqlQuery insert(db);
        if (!prepare(insert,
                     dialectOf(db).insertUnlessPresent(
                         QLatin1String(table::SettCycleDec),
                         names({"CYCLE_ID", "PARAM_CYCLE_ID", "SETCYC_VALUE"}),
                         names({"CYCLE_ID", "PARAM_CYCLE_ID"})),
                     error)) {
            return false;
        }
        for (int id = 1; id <= kCycleSettingCount; ++id) {
            insert.bindValue(0, cycleId);
            insert.bindValue(1, id);
            insert.bindValue(2, realOrNull(values[static_cast<std::size_t>(id - 1)]));
            if (!execPrepared(insert, error)) {
                return false;
            }
        }
        return true;
    });
}

bool TDBSaveData::SaveTestCallRow(const DbCallRecord& call, int callNumber) {
    const int cycleId = cycleId_;
    const StoredMoment start = storedMoment(call.start);
    const StoredMoment end = storedMoment(call.end);
    return run([&](QSqlDatabase& db, QString* error) {
        const DbDialect& d = dialectOf(db);
        if (cycleId <= 0) {
            *error = QStringLiteral("test call without its cycle row");
            return false;
        }
        if (!cycleRowPresent(db, cycleId, error)) {
            return false;
        }
        if (callNumber < 1 || !start.valid() || !end.valid()) {
            *error = QStringLiteral("test call %1: start %2, end %3 are not a call")
                         .arg(callNumber)
                         .arg(call.start)
                         .arg(call.end);
            return false;
        }
        QSqlQuery insert(db);
        if (!prepare(insert,
                     dialectOf(db).insertUnlessPresent(
                         QLatin1String(table::Seans),
                         names({"CYCLE_ID", "SEANS_ID", "DATE_ON", "TIME_ON", "DAY_WEEK_ID",
                                "DATE_OFF", "TIME_OFF", "DURATION_SEANS", "CONNECT_ID"}),
                         names({"CYCLE_ID", "SEANS_ID"})),
                     error)) {
            return false;
        }
        insert.addBindValue(cycleId);
        insert.addBindValue(callNumber);
        bindMoment(insert, d, start, WithDay::Yes);
        bindMoment(insert, d, end, WithDay::No);
        insert.addBindValue(d.timeValue(durationAsTime(call.duration)));
        insert.addBindValue(resultCodeValue(call.outcome));
        return execPrepared(insert, error);
    });
}

bool TDBSaveData::SaveTestCallMeasurements(const CycleRecord& cycle, const DbCallRecord& call,
                                           int callNumber, int callsPastDialTone,
                                           int callsPastRingback) {
    const int cycleId = cycleId_;
    // Attenuation is measured only on calls that reached the answering station's signal.
    const bool answered = answerSignalReached(call.outcome);
    const QVariant attenuation =
        answered && measured(call.answerLevel).isValid()
            ? QVariant(static_cast<double>(cycle.aaNominalLevel) - call.answerLevel)
            : QVariant();
    const QVariant dialTone = callsPastDialTone > 0 ? measured(call.dialToneLevel) : QVariant();
    const QVariant ringback = callsPastRingback > 0 ? measured(call.ringbackLevel) : QVariant();
    return run([&](QSqlDatabase& db, QString* error) {
        if (cycleId <= 0) {
            *error = QStringLiteral("measurements without their cycle row");
            return false;
        }
        if (callNumber < 1) {
            *error = QStringLiteral("measurements of test call %1").arg(callNumber);
            return false;
        }
        QSqlQuery insert(db);
        if (!prepare(insert,
                     dialectOf(db).insertUnlessPresent(
                         QLatin1String(table::ResSeans),
                         names({"CYCLE_ID", "SEANS_ID", "RES_ATT", "RES_AS_LEV", "RES_DC_LEV"}),
                         names({"CYCLE_ID", "SEANS_ID"})),
                     error)) {
            return false;
        }
        insert.addBindValue(cycleId);
        insert.addBindValue(callNumber);
        insert.addBindValue(attenuation);
        insert.addBindValue(dialTone);
        insert.addBindValue(ringback);
        return execPrepared(insert, error);
    });
}

bool TDBSaveData::CompleteCycle(const CycleRecord& cycle, const DbCycleResults& results,
                                const DbCallRecord& call, int callNumber) {
    const int cycleId = cycleId_;
    const StoredMoment end = storedMoment(call.end);
    return run([&](QSqlDatabase& db, QString* error) {
        if (cycleId <= 0) {
            *error = QStringLiteral("cycle results without their cycle row");
            return false;
        }
        if (!end.valid()) {
            *error = QStringLiteral("cycle end is not a date: %1").arg(call.end);
            return false;
        }
        for (int id = 1; id <= kResultParamCount; ++id) {
            if (results[id].paramId != id) {
                *error = QStringLiteral("result row %1 holds parameter %2")
                             .arg(id)
                             .arg(results[id].paramId);
                return false;
            }
        }

        QSqlQuery find(db);
        if (!prepare(find,
                     QStringLiteral("SELECT STATE_ID FROM %1 WHERE CYCLE_ID = ?")
                         .arg(QLatin1String(table::Cycle)),
                     error)) {
            return false;
        }
        find.addBindValue(cycleId);
        if (!execPrepared(find, error)) {
            return false;
        }
        if (!find.next()) {
            *error = deletedCycleError(cycleId);
            return false;
        }
        int state = find.value(0).toInt();
        find.finish();
        if (results.endsAtMinimum) {
            state = DbCycleAtMinimum;
        }
        if (callNumber == cycle.maxAttempts) {
            state = DbCycleAtMaximum;  // wins when both hold
        }
        QSqlQuery update(db);
        if (!prepare(update,
                     QStringLiteral("UPDATE %1 SET DATE_OFF = ?, TIME_OFF = ?, "
                                    "DAY_WEEK_OFF_ID = ?, STATE_ID = ? WHERE CYCLE_ID = ?")
                         .arg(QLatin1String(table::Cycle)),
                     error)) {
            return false;
        }
        bindMoment(update, dialectOf(db), end, WithDay::Yes);
        update.addBindValue(state);
        update.addBindValue(cycleId);
        if (!execPrepared(update, error)) {
            return false;
        }

        // The rows of the previous call are overwritten; a value not measured keeps what the
        // row held.
        QSqlQuery upsert(db);
        if (!prepare(upsert,
                     dialectOf(db).insertOrMerge(QLatin1String(table::ResCycle),
                                                 names({"CYCLE_ID", "PARAM_RES_ID",
                                                        "RESCYC_VALUE_CNT", "RESCYC_VALUE_PERC"}),
                                                 names({"CYCLE_ID", "PARAM_RES_ID"})),
                     error)) {
            return false;
        }
        for (int id = 1; id <= kResultParamCount; ++id) {
            upsert.bindValue(0, cycleId);
            upsert.bindValue(1, id);
            upsert.bindValue(2, measured(results[id].count));
            upsert.bindValue(3, measured(results[id].percent));
            if (!execPrepared(upsert, error)) {
                return false;
            }
        }
        return true;
    });
}

bool TDBSaveData::SaveScenarioStart(const ScenarHeader& header) {
    return SaveOutNumber(header.outNumber);
}

bool TDBSaveData::SaveCycleStart(double cycleStart, const CycleRecord& cycle,
                                 const ScenarHeader& header) {
    // The cycle's numbers, row and settings go in together: a cycle row without its settings
    // would be filed as a cycle that ran with none.
    const bool ok = runGroup([&] {
        return SaveInNumber(cycle.inNumber) && SaveCycleRow(cycleStart, cycle, header) &&
               SaveCycleSettings(cycle);
    });
    if (!ok) {
        // Rolled back: the identifiers of this cycle name nothing, and its calls must not be
        // filed under the previous cycle.
        inId_ = 0;
        cycleId_ = 0;
    }
    return ok;
}

bool TDBSaveData::SaveTestCall(const CycleRecord& cycle, const DbCycleResults& results,
                               const DbCallRecord& call, int callNumber, int callsPastDialTone,
                               int callsPastRingback) {
    // A call is stored whole or not at all: its row, its measurements and the cycle's results
    // that count it.
    const bool ok = runGroup([&] {
        return SaveTestCallRow(call, callNumber) &&
               SaveTestCallMeasurements(cycle, call, callNumber, callsPastDialTone,
                                        callsPastRingback) &&
               CompleteCycle(cycle, results, call, callNumber);
    });
    if (!ok) {
        ++unstoredCalls_;
    }
    return ok;
}

}  // namespace zev7
