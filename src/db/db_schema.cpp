#include "db/db_schema.h"

#include "core/strings.h"
#include "db/db_dialect.h"
#include "db/db_records.h"
#include "db/db_transaction.h"

#include <QSqlQuery>

namespace zev7 {

namespace {

QString s(const char* latin1) {
    return QString::fromLatin1(latin1);
}

// The seven parts of a number, in dialling order; looked up together, letter case ignored.
QStringList numberColumns(const DbDialect& d) {
    QStringList out;
    for (const char* c :
         {"HIER_ATX", "BEF_CALL", "CODE_CITY", "ADD_CODE", "NUM_ATX", "NUM_ON_ATX", "ADD_CALL"}) {
        out << d.textColumn(s(c), kNumberPartLength, true);
    }
    return out;
}

const QString kNumberKey =
    QStringLiteral("HIER_ATX,BEF_CALL,CODE_CITY,ADD_CODE,NUM_ATX,NUM_ON_ATX,ADD_CALL");

// Table_Cycle's columns; the working copy TEMP_CYCLE has the same ones without the key. The
// station came with layout 2, as the last column: a row of an older file holds NULL there,
// which reads as the own station's (db/station_name.h).
constexpr int kCycleColumnsAddedLater = 1;

QStringList cycleColumns(const DbDialect& d, bool working) {
    const bool nn = !working;
    return {working ? d.integerColumn(s("CYCLE_ID"), false) : d.autoIncrementKey(s("CYCLE_ID")),
            d.integerColumn(s("OUT_ID"), nn),
            d.integerColumn(s("IN_ID"), nn),
            d.dateColumn(s("DATE_ON"), nn),
            d.timeColumn(s("TIME_ON"), nn),
            d.integerColumn(s("DAY_WEEK_ON_ID"), nn),
            d.dateColumn(s("DATE_OFF"), nn),
            d.timeColumn(s("TIME_OFF"), nn),
            d.integerColumn(s("DAY_WEEK_OFF_ID"), nn),
            d.integerColumn(s("STATE_ID"), nn),
            d.textColumn(s("OUT_TELNUM"), kTelNumTextLength, false),
            d.textColumn(s("IN_TELNUM"), kTelNumTextLength, false),
            d.textColumn(s("STATION"), kStationLength, false)};
}

QStringList resSeansColumns(const DbDialect& d, bool working) {
    return {d.integerColumn(s("CYCLE_ID"), !working), d.integerColumn(s("SEANS_ID"), !working),
            d.realColumn(s("RES_ATT")), d.realColumn(s("RES_AS_LEV")),
            d.realColumn(s("RES_DC_LEV"))};
}

QList<TableDef> buildTables(const DbDialect& d) {
    QList<TableDef> t;

    t.append({s(table::Out),
              QStringList{d.autoIncrementKey(s("OUT_ID"))} + numberColumns(d),
              {},
              {{s("Table_Out_Number"), kNumberKey, true}}});
    t.append({s(table::In),
              QStringList{d.autoIncrementKey(s("IN_ID"))} + numberColumns(d),
              {},
              {{s("Table_In_Number"), kNumberKey, true}}});
    t.append({s(table::Cycle),
              cycleColumns(d, false),
              {},
              {{s("Table_Cycle_Start"), s("OUT_ID,IN_ID,DATE_ON,TIME_ON")},
               {s("Table_Cycle_Date"), s("DATE_ON")},
               {s("Table_Cycle_In"), s("IN_ID")},
               {s("Table_Cycle_Station"), s("STATION")}},
              kCycleColumnsAddedLater});
    t.append({s(table::Seans),
              {d.integerColumn(s("CYCLE_ID"), true), d.integerColumn(s("SEANS_ID"), true),
               d.dateColumn(s("DATE_ON"), true), d.timeColumn(s("TIME_ON"), true),
               d.integerColumn(s("DAY_WEEK_ID"), true), d.dateColumn(s("DATE_OFF"), true),
               d.timeColumn(s("TIME_OFF"), true), d.timeColumn(s("DURATION_SEANS"), true),
               d.integerColumn(s("CONNECT_ID"), true)},
              {s("PRIMARY KEY (CYCLE_ID, SEANS_ID)")},
              {}});
    t.append({s(table::ResSeans),
              resSeansColumns(d, false),
              {s("PRIMARY KEY (CYCLE_ID, SEANS_ID)")},
              {}});
    t.append({s(table::ResCycle),
              {d.integerColumn(s("CYCLE_ID"), true), d.integerColumn(s("PARAM_RES_ID"), true),
               d.realColumn(s("RESCYC_VALUE_CNT")), d.realColumn(s("RESCYC_VALUE_PERC"))},
              {s("PRIMARY KEY (CYCLE_ID, PARAM_RES_ID)")},
              // A result of every selected cycle read from the index alone (the totals, the
              // work tables' attempts and losses).
              {{s("Table_ResCycle_Param_Values"),
                s("PARAM_RES_ID,CYCLE_ID,RESCYC_VALUE_CNT,RESCYC_VALUE_PERC")}}});
    t.append(
        {s(table::SettCycleDec),
         {d.integerColumn(s("CYCLE_ID"), true), d.integerColumn(s("PARAM_CYCLE_ID"), true),
          d.realColumn(s("SETCYC_VALUE"))},
         {s("PRIMARY KEY (CYCLE_ID, PARAM_CYCLE_ID)")},
         {{s("Table_Sett_Cycle_Dec_Param_Values"), s("PARAM_CYCLE_ID,CYCLE_ID,SETCYC_VALUE")}}});

    t.append({s(table::ResParam),
              {d.integerColumn(s("PARAM_RES_ID"), true),
               d.textColumn(s("PARAM_RES_STR"), kResParamTextLength, false)},
              {s("PRIMARY KEY (PARAM_RES_ID)")},
              {}});
    t.append({s(table::SettParamCycle),
              {d.integerColumn(s("PARAM_CYCLE_ID"), true),
               d.textColumn(s("PARAM_CYCLE_STR"), kSettParamTextLength, false)},
              {s("PRIMARY KEY (PARAM_CYCLE_ID)")},
              {}});
    t.append({s(table::CycleState),
              {d.integerColumn(s("STATE_ID"), true),
               d.textColumn(s("STATE_STR"), kStateTextLength, false)},
              {s("PRIMARY KEY (STATE_ID)")},
              {}});
    t.append({s(table::ResCallParamSeans),
              {d.integerColumn(s("CONNECT_ID"), true),
               d.textColumn(s("CONNECT_STR"), kConnectTextLength, false)},
              {s("PRIMARY KEY (CONNECT_ID)")},
              {}});
    // BAD_STR of row 0 is null: converted to a real it gives an empty value, which the import
    // of an older database stores for settings that the older layout did not have.
    t.append({s(table::BadParam),
              {d.integerColumn(s("BAD_ID"), true), s("BAD_STR TEXT")},
              {s("PRIMARY KEY (BAD_ID)")},
              {}});

    t.append({s(table::TempCycle),
              cycleColumns(d, true),
              {},
              {{s("TEMP_CYCLE_Id"), s("CYCLE_ID")}},
              kCycleColumnsAddedLater,
              true});
    t.append({s(table::TempResSeans),
              resSeansColumns(d, true),
              {},
              {{s("TEMP_RESSEANS_Id"), s("CYCLE_ID,SEANS_ID")}},
              0,
              true});
    t.append({s(table::TempResCycle),
              {d.integerColumn(s("CYCLE_ID"), false), d.textColumn(s("P_DATETIME_ON"), 20, false),
               d.realColumn(s("P_NORM_KPV")), d.realColumn(s("P_MAX_COUNT")),
               d.realColumn(s("P_MIN_COUNT")), d.realColumn(s("P_CALL_COUNT")),
               d.realColumn(s("P_KPV_CNT")), d.realColumn(s("P_KPV_PERC"))},
              {},
              {{s("TEMP_RESCYCLE_Id"), s("CYCLE_ID")}},
              0,
              true});
    return t;
}

bool insertDictionaryRow(QSqlDatabase& db, const QString& tableName, int id, const QVariant& text,
                         QString* error) {
    const TableDef* def = DbSchema::find(tableName);
    QSqlQuery q(db);
    q.prepare(dialectOf(db).insertUnlessPresent(
        tableName, def != nullptr ? DbSchema::columnNames(*def) : QStringList(), {}));
    q.addBindValue(id);
    q.addBindValue(text);
    if (!q.exec()) {
        if (error != nullptr) {
            *error = sqlErrorText(q);
        }
        return false;
    }
    return true;
}

constexpr int kNoDecisionOutcome = -999;

// The outcomes with their texts, in the order of the result parameters 4..16 after success.
struct Outcome {
    int code;
    const char* text;
};
constexpr Outcome kOutcomes[] = {
    {0, str::ResultSuccess},
    {-1, str::ResultNoDialTone},
    {-2, str::ResultBusyOutgoing},
    {-3, str::ResultCongestionOutgoing},
    {-10, str::ResultNoDialToneDialling},
    {-20, str::ResultBusyDialling},
    {-30, str::ResultCongestionDialling},
    {-100, str::ResultNoRingback},
    {-200, str::ResultBusyIncoming},
    {-300, str::ResultCongestionIncoming},
    {-1000, str::ResultNoAnswerSignal},
    {-2000, str::ResultAnswerSignalTooLong},
    {-3000, str::ResultNoClearBack},
    {-4000, str::ResultOutgoingSignalNotDetected},
};

// The texts are those the port window shows, without the blanks that align them there.
QString dictionaryText(const char* text) {
    return txt(text).trimmed();
}

bool fillDictionaries(QSqlDatabase& db, QString* error) {
    const char* const firstResults[] = {str::SummaryCalls, str::SummarySuccesses,
                                        str::SummaryLosses};
    for (int id = ResAttempts; id <= ResLosses; ++id) {
        if (!insertDictionaryRow(db, s(table::ResParam), id, dictionaryText(firstResults[id - 1]),
                                 error)) {
            return false;
        }
    }
    for (int id = ResNoDialTone; id <= kResultParamCount; ++id) {
        if (!insertDictionaryRow(db, s(table::ResParam), id,
                                 dictionaryText(kOutcomes[id - ResNoDialTone + 1].text), error)) {
            return false;
        }
    }
    for (int id = 1; id <= kCycleSettingCount; ++id) {
        if (!insertDictionaryRow(db, s(table::SettParamCycle), id,
                                 txt(str::DbCycleSettingNames[id - 1]), error)) {
            return false;
        }
    }
    for (int id = DbCycleOpen; id <= DbCycleAtMaximum; ++id) {
        if (!insertDictionaryRow(db, s(table::CycleState), id, txt(str::DbCycleStateNames[id]),
                                 error)) {
            return false;
        }
    }
    for (const Outcome& o : kOutcomes) {
        if (!insertDictionaryRow(db, s(table::ResCallParamSeans), o.code, dictionaryText(o.text),
                                 error)) {
            return false;
        }
    }
    // A call that ended without a decision is stored too (it counts as an attempt); with a row
    // of its own here the call lists, which join this table, do not lose it.
    if (!insertDictionaryRow(db, s(table::ResCallParamSeans), kNoDecisionOutcome,
                             QStringLiteral(""), error)) {
        return false;
    }
    return insertDictionaryRow(db, s(table::BadParam), 0, QVariant(), error);
}

// A table of an older file gets the columns added since, at its end; its rows hold NULL there.
bool addLaterColumns(QSqlDatabase& db, const TableDef& def, QString* error) {
    if (def.addedLater == 0) {
        return true;
    }
    const QStringList have = DbSchema::existingColumns(db, def.name);
    if (have.size() >= def.columns.size() || !DbSchema::isKnownLayout(def, have)) {
        return true;  // current, or not ours: the check says what is wrong with it
    }
    for (qsizetype i = have.size(); i < def.columns.size(); ++i) {
        if (!execSql(db, dialectOf(db).addColumn(def.name, def.columns[i]), error)) {
            return false;
        }
    }
    return true;
}

}  // namespace

const QList<TableDef>& DbSchema::tables() {
    return tables(dbDialect());
}

const QList<TableDef>& DbSchema::tables(const DbDialect& engine) {
    static const QList<TableDef> inFile = buildTables(sqliteDialect());
    static const QList<TableDef> onServer = buildTables(postgresDialect());
    return &engine == &postgresDialect() ? onServer : inFile;
}

const TableDef* DbSchema::find(const QString& name) {
    QString bare = name.trimmed();
    if (bare.endsWith(QStringLiteral(".db"), Qt::CaseInsensitive)) {
        bare.chop(3);
    }
    for (const TableDef& def : tables()) {
        if (def.name.compare(bare, Qt::CaseInsensitive) == 0) {
            return &def;
        }
    }
    return nullptr;
}

QStringList DbSchema::columnNames(const TableDef& def) {
    QStringList names;
    for (const QString& c : def.columns) {
        names << c.section(QLatin1Char(' '), 0, 0);
    }
    return names;
}

QStringList DbSchema::existingColumns(QSqlDatabase& db, const QString& table) {
    QStringList columns;
    QSqlQuery q(db);
    const DbDialect& engine = dialectOf(db);
    if (q.exec(engine.tableColumns(table))) {
        while (q.next()) {
            columns << q.value(engine.columnNameField()).toString().toUpper();
        }
    }
    return columns;
}

bool DbSchema::isKnownLayout(const TableDef& def, const QStringList& columns) {
    QStringList expected = columnNames(def);
    for (QString& c : expected) {
        c = c.toUpper();
    }
    return columns.size() >= expected.size() - def.addedLater &&
           columns == expected.mid(0, columns.size());
}

QString DbSchema::createTableSql(const TableDef& def, const QString& asName) {
    const QStringList parts = def.columns + def.constraints;
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)")
        .arg(asName.isEmpty() ? def.name : asName, parts.join(QStringLiteral(", ")));
}

QStringList DbSchema::createIndexSql(const TableDef& def) {
    QStringList out;
    for (const IndexDef& index : def.indexes) {
        out << QStringLiteral("CREATE %1INDEX IF NOT EXISTS %2 ON %3 (%4)")
                   .arg(index.unique ? QStringLiteral("UNIQUE ") : QString(), index.name, def.name,
                        index.columns);
    }
    return out;
}

bool DbSchema::createMissing(QSqlDatabase& db, QString* error) {
    DbTransaction tx(db);
    if (!tx.began()) {
        if (error != nullptr) {
            *error = tx.error();
        }
        return false;
    }
    // The connection's own engine throughout: a station on a server sets up its spool file.
    const DbDialect& engine = dialectOf(db);
    const QString turn = engine.setUpTurn();
    if (!turn.isEmpty() && !execSql(db, turn, error)) {
        return false;
    }
    for (const TableDef& def : tables(engine)) {
        if (!execSql(db, createTableSql(def), error) || !addLaterColumns(db, def, error)) {
            return false;
        }
        if (const QString work = engine.workTableSetUp(def.name);
            def.workTable && !work.isEmpty() && !execSql(db, work, error)) {
            return false;
        }
        for (const QString& sql : createIndexSql(def)) {
            if (!execSql(db, sql, error)) {
                return false;
            }
        }
    }
    if (!fillDictionaries(db, error) ||
        !execSql(db, engine.setSchemaVersion(kSchemaVersion), error)) {
        return false;
    }
    if (!tx.commit()) {
        if (error != nullptr) {
            *error = tx.error();
        }
        return false;
    }
    return true;
}

bool DbSchema::useOwnWorkTables(QSqlDatabase& db, QString* error) {
    const DbDialect& engine = dialectOf(db);
    for (const TableDef& def : tables(engine)) {
        const QString own = engine.ownWorkTable(def.name);
        if (def.workTable && !own.isEmpty() && !execSql(db, own, error)) {
            return false;
        }
    }
    return true;
}

bool deleteCycleRows(QSqlDatabase& db, int cycleId, QString* error) {
    for (const char* t :
         {table::ResSeans, table::Seans, table::ResCycle, table::SettCycleDec, table::Cycle}) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("DELETE FROM %1 WHERE CYCLE_ID=?").arg(QLatin1String(t)));
        q.addBindValue(cycleId);
        if (!q.exec()) {
            *error = sqlErrorText(q);
            return false;
        }
    }
    return true;
}

}  // namespace zev7
