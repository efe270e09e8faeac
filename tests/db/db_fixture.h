// A results database of its own for every test: a temporary program directory, the database
// set up in it, writers that never wait for a lock. With ZEV7_TEST_PG set (a server address as
// "postgresql://user@host:port/name", or "postgresql://" for libpq's environment) the results
// go to that PostgreSQL database instead, emptied before every test.
#pragma once

#include "core/text_codec.h"
#include "db/db_connection.h"
#include "db/db_dialect.h"
#include "db/db_save_data.h"
#include "db/db_schema.h"
#include "db/db_transaction.h"
#include "scenario/ole_date.h"
#include "scenario/records.h"
#include "support/recording_messages.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>
#include <cstring>
#include <ostream>

// Readable failures: texts print as texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace zev7::testing {

class DbTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        DbOptions options;
        options.busyTimeoutMs = 0;
        options.syncEveryCommit = false;
        options.server = qEnvironmentVariable("ZEV7_TEST_PG");
        if (!options.server.isEmpty()) {
            ASSERT_NO_FATAL_FAILURE(emptyServerDatabase(options));
        }
        ASSERT_TRUE(DbConnection::setup(&messages_, options))
            << messages_.texts().join(QStringLiteral("; ")).toStdString();
        messages_.clear();
    }

    void TearDown() override { DbConnection::shutdown(); }

    static bool onServer() { return !DbConnection::options().server.isEmpty(); }

    // Another program on the same database: it waits for nobody.
    static DbOptions otherProgram() {
        DbOptions o = DbConnection::options();
        o.busyTimeoutMs = 0;
        o.syncEveryCommit = true;
        return o;
    }

    // Holds every table for writing, as another program in the middle of a write does, until
    // the connection says ROLLBACK.
    static bool holdForWriting(QSqlDatabase& other) {
        if (!onServer()) {
            return execSql(other, QStringLiteral("BEGIN IMMEDIATE"));
        }
        QStringList tables;
        for (const TableDef& def : DbSchema::tables()) {
            tables << def.name;
        }
        return execSql(other, QStringLiteral("BEGIN")) &&
               execSql(other, QStringLiteral("LOCK TABLE %1 IN EXCLUSIVE MODE")
                                  .arg(tables.join(QStringLiteral(", "))));
    }

    // Every table, index and collation of the server database's schema goes.
    static void emptyServerDatabase(const DbOptions& options) {
        const QString name = QStringLiteral("ZEV7_test_reset");
        {
            QSqlDatabase db = DbConnection::open(name, options);
            ASSERT_TRUE(db.isOpen()) << db.lastError().text().toStdString();
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(QStringLiteral("DROP SCHEMA IF EXISTS public CASCADE")) &&
                        q.exec(QStringLiteral("CREATE SCHEMA public")))
                << q.lastError().text().toStdString();
        }
        QSqlDatabase::removeDatabase(name);
    }

    // The first column of the first row of a query on "ZEV7", or an invalid value.
    static QVariant value(const QString& sql) {
        QSqlQuery q(DbConnection::main());
        if (!q.exec(sql) || !q.next()) {
            return {};
        }
        const QVariant v = q.value(0);
        return v.typeId() == QMetaType::QTime ? QVariant(text(v)) : v;
    }
    // A table's column names in capitals, as the engine lists them.
    static QStringList columnsOf(const QString& table) {
        QStringList out;
        QSqlQuery q(DbConnection::main());
        if (q.exec(dbDialect().tableColumns(table))) {
            while (q.next()) {
                out << q.value(dbDialect().columnNameField()).toString().toUpper();
            }
        }
        return out;
    }
    static bool tableExists(const QString& table) {
        QSqlQuery q(DbConnection::main());
        q.prepare(dbDialect().tableExists());
        q.addBindValue(table);
        return q.exec() && q.next();
    }
    static int count(const QString& table, const QString& where = QString()) {
        return value(QStringLiteral("SELECT COUNT(*) FROM ") + table +
                     (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where))
            .toInt();
    }
    // A value as the tables show it: a time to the second, as the file keeps it as text.
    static QString text(const QVariant& v) {
        if (v.isNull()) {
            return QStringLiteral("NULL");
        }
        if (v.typeId() == QMetaType::QTime) {
            return v.toTime().toString(QStringLiteral("hh:mm:ss"));
        }
        return v.toString();
    }
    // Every row of a query, columns joined by "|".
    static QStringList rows(const QString& sql) {
        QStringList out;
        QSqlQuery q(DbConnection::main());
        if (!q.exec(sql)) {
            out << QStringLiteral("ERROR ") + q.lastError().text();
            return out;
        }
        while (q.next()) {
            QStringList cols;
            for (int i = 0; i < q.record().count(); ++i) {
                cols << text(q.value(i));
            }
            out << cols.join(QLatin1Char('|'));
        }
        return out;
    }

    static TelNumber number(const QStringList& parts) {
        TelNumber n;
        std::memset(&n, 0, sizeof n);
        for (int f = 0; f < kNumberFieldCount; ++f) {
            setFieldText(n.fields[f], parts.value(f, QStringLiteral("-")));
        }
        setFieldText(n.text, parts.join(QLatin1Char('/')));
        return n;
    }

    static ScenarHeader header(const TelNumber& out) {
        ScenarHeader h;
        std::memset(&h, 0, sizeof h);
        h.outNumber = out;
        return h;
    }

    static CycleRecord cycle(const TelNumber& in, int minAttempts, int maxAttempts,
                             double normAtMin = 10.0) {
        CycleRecord c;
        std::memset(&c, 0, sizeof c);
        c.inNumber = in;
        c.minAttempts = minAttempts;
        c.maxAttempts = maxAttempts;
        c.normAtMin = normAtMin;
        c.normAtMax = normAtMin + 2.5;
        c.dialToneThreshold = -30.0;
        c.ringbackCheck = 7;  // any non-zero byte is "on"
        c.ringbackThreshold = -35.0;
        c.answerThreshold = -40.0;
        c.answerMinTime = 1.5;
        c.answerMaxTime = 6.0;
        c.attenuationCheck = 0;
        c.aaNominalLevel = -10;
        c.aaFrequency = 1020.0;
        c.aaRings = 2;
        c.aaDelayOn = 1.0;
        c.aaDelayOff = 2.0;
        c.pause = 5.0;
        c.waitTime = 20.0;
        c.ringbackTime = 0.8;
        c.busyPeriodMin = 0.6;
        c.busyPeriodMax = 1.2;
        c.overloadPeriodMin = 0.3;
        c.overloadPeriodMax = 0.6;
        c.attenuationSignalTime = 2.5;
        return c;
    }

    static double ole(int year, int month, int day, int h, int m, int s) {
        return toOleDate(QDateTime(QDate(year, month, day), QTime(h, m, s)));
    }

    // A call of the given outcome starting at start and lasting the given seconds.
    static DbCallRecord call(double start, int seconds, int outcome, double answerLevel = -999.0,
                             double dialTone = -999.0, double ringback = -999.0) {
        DbCallRecord c;
        c.start = start;
        c.end = start + seconds / kSecondsPerDay;
        c.duration = c.end - c.start;
        c.outcome = ResultCode{outcome};
        c.answerLevel = answerLevel;
        c.dialToneLevel = dialTone;
        c.ringbackLevel = ringback;
        return c;
    }

    test::TempHome home_;
    RecordingMessages messages_;
};

}  // namespace zev7::testing
