// Cycles written straight into the result tables, with the counts each test sums up itself.
#pragma once

#include "core/strings.h"
#include "db/db_fixture.h"
#include "dbquery/selection_criteria.h"

#include <QColor>
#include <QDate>
#include <QTime>

// The cycles below name only the members that differ from their defaults; GCC 12 warns about
// every member a designated initializer leaves out.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace zev7::testing {

struct TestCycle {
    int id = 0;
    int out = 1;
    int in = 1;
    QDate dateOn;
    QTime timeOn;
    QDate dateOff;
    QTime timeOff;
    int state = 2;
    double calls = 100;
    double losses = 0;
    double normMin = 3.0;
    double normMax = 4.0;
    double busyIncoming = 0;  // result 11; the rest of the losses are "no ringback" (10)
    bool measured = true;     // has test-call rows
    QString station;          // the measuring station; empty: NULL, as older files hold it
};

class SelectionTest : public DbTest {
protected:
    static void exec(const QString& sql, const QVariantList& values = {}) {
        QSqlQuery q(DbConnection::main());
        ASSERT_TRUE(q.prepare(sql)) << q.lastError().text().toStdString();
        for (const QVariant& v : values) {
            q.addBindValue(v);
        }
        ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
    }

    static void addNumber(const char* table, int id, const QString& city,
                          const QString& exchange = QStringLiteral("100")) {
        exec(QStringLiteral("INSERT INTO %1 VALUES (?, '', '', ?, '', ?, ?, '')")
                 .arg(QString::fromLatin1(table)),
             {id, city, exchange, QString::number(1000 + id)});
    }

    void addCycle(const TestCycle& c) {
        const QDate off = c.dateOff.isValid() ? c.dateOff : c.dateOn;
        exec(QStringLiteral("INSERT INTO Table_Cycle VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"),
             {c.id, c.out, c.in, c.dateOn.toString(Qt::ISODate),
              c.timeOn.toString(QStringLiteral("hh:mm:ss")), c.dateOn.dayOfWeek(),
              off.toString(Qt::ISODate), c.timeOff.toString(QStringLiteral("hh:mm:ss")),
              off.dayOfWeek(), c.state, QStringLiteral("out%1").arg(c.out),
              QStringLiteral("in%1").arg(c.in),
              c.station.isEmpty() ? QVariant() : QVariant(c.station)});
        for (int p = 1; p <= 16; ++p) {
            double count = 0;
            if (p == 1) {
                count = c.calls;
            } else if (p == 2) {
                count = c.calls - c.losses;
            } else if (p == 3) {
                count = c.losses;
            } else if (p == 10) {
                count = c.losses - c.busyIncoming;
            } else if (p == 11) {
                count = c.busyIncoming;
            }
            exec(QStringLiteral("INSERT INTO Table_ResCycle VALUES (?,?,?,?)"),
                 {c.id, p, count, c.calls > 0 ? count * 100.0 / c.calls : 0.0});
        }
        const double settings[] = {c.calls, c.calls * 2, c.normMin, c.normMax};
        for (int p = 1; p <= 24; ++p) {
            exec(QStringLiteral("INSERT INTO Table_Sett_Cycle_Dec VALUES (?,?,?)"),
                 {c.id, p, p <= 4 ? settings[p - 1] : double(p)});
        }
        if (c.measured) {
            for (int n = 1; n <= 2; ++n) {
                exec(QStringLiteral("INSERT INTO Table_Seans VALUES (?,?,?,?,?,?,?,'00:00:20',?)"),
                     {c.id, n, c.dateOn.toString(Qt::ISODate), QStringLiteral("10:00:00"),
                      c.dateOn.dayOfWeek(), c.dateOn.toString(Qt::ISODate),
                      QStringLiteral("10:00:20"), n == 1 ? 0 : -200});
                exec(QStringLiteral("INSERT INTO Table_ResSeans VALUES (?,?,?,?,?)"),
                     {c.id, n, 10.0 * n, -12.0, QVariant()});
            }
        }
    }

    // Every outgoing number ticked, all days, the period given.
    static SelectionCriteria criteria(const QString& from, const QString& to,
                                      const QList<int>& outIds) {
        SelectionCriteria c;
        c.period.dateOn = from;
        c.period.dateOff = to;
        for (int id : outIds) {
            c.numbers.append({id, QString(), true, {}});
        }
        return c;
    }
};

}  // namespace zev7::testing
