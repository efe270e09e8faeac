// A results database of its own for every test: a temporary program directory, the database
// set up in it, writers that never wait for a lock.
#pragma once

#include "core/text_codec.h"
#include "db/db_connection.h"
#include "db/db_save_data.h"
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
        ASSERT_TRUE(DbConnection::setup(&messages_, options))
            << messages_.texts().join(QStringLiteral("; ")).toStdString();
        messages_.clear();
    }

    void TearDown() override { DbConnection::shutdown(); }

    // The first column of the first row of a query on "ZEV7", or an invalid value.
    static QVariant value(const QString& sql) {
        QSqlQuery q(DbConnection::main());
        if (!q.exec(sql) || !q.next()) {
            return {};
        }
        return q.value(0);
    }
    static int count(const QString& table, const QString& where = QString()) {
        return value(QStringLiteral("SELECT COUNT(*) FROM ") + table +
                     (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where))
            .toInt();
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
                cols << (q.value(i).isNull() ? QStringLiteral("NULL") : q.value(i).toString());
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
