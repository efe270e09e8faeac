// A source directory beside the own database: cycles stored, written out as another
// installation's Paradox tables or database file, and the own database emptied to take them.
#pragma once

#include "dbtransfer/result_import.h"
#include "paradox_writer.h"
#include "transfer_fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace zev7::testing {

class ResultImportTest : public TransferTest {
protected:
    void SetUp() override {
        TransferTest::SetUp();
        ASSERT_TRUE(source_.isValid());
    }

    // Two cycles, one with a Cyrillic display text, as another installation would hold them.
    void storeSourceCycles() {
        storeCycle(outA(), inA(), QDateTime(QDate(2026, 1, 10), QTime(9, 0, 5)), 3, true);
        storeCycle(outB(), inA(), QDateTime(QDate(2026, 1, 11), QTime(23, 59, 59)), 2, false);
        sql(QStringLiteral("UPDATE Table_Cycle SET IN_TELNUM='Москва 333' WHERE CYCLE_ID=2"));
    }

    // Every row of the result tables, ids left out where they are the database's own.
    static QStringList content() {
        return rows(QStringLiteral(
                   "SELECT O.NUM_ATX, I.NUM_ATX, C.DATE_ON, C.TIME_ON, C.DATE_OFF, C.TIME_OFF, "
                   "C.STATE_ID, C.IN_TELNUM FROM Table_Cycle C JOIN Table_Out O USING (OUT_ID) "
                   "JOIN Table_In I USING (IN_ID) ORDER BY C.DATE_ON")) +
               rows(QStringLiteral("SELECT S.SEANS_ID, S.DATE_ON, S.TIME_ON, S.DURATION_SEANS, "
                                   "S.CONNECT_ID, R.RES_ATT, R.RES_AS_LEV, R.RES_DC_LEV FROM "
                                   "Table_Seans S JOIN Table_ResSeans R USING (CYCLE_ID, "
                                   "SEANS_ID) JOIN Table_Cycle C USING (CYCLE_ID) ORDER BY "
                                   "C.DATE_ON, S.SEANS_ID")) +
               rows(QStringLiteral("SELECT PARAM_RES_ID, RESCYC_VALUE_CNT, RESCYC_VALUE_PERC, "
                                   "PARAM_CYCLE_ID, SETCYC_VALUE FROM Table_ResCycle JOIN "
                                   "Table_Sett_Cycle_Dec USING (CYCLE_ID) JOIN Table_Cycle C "
                                   "USING (CYCLE_ID) WHERE PARAM_RES_ID = PARAM_CYCLE_ID ORDER "
                                   "BY C.DATE_ON, PARAM_RES_ID"));
    }

    // The own database's result tables written as Paradox files into the source directory.
    void exportParadox() { ASSERT_EQ(writeResultTablesAsParadox(QDir(source_.path())), QString()); }
    QString paradoxPath(const char* table) const {
        return source_.filePath(QLatin1String(table) + QStringLiteral(".db"));
    }

    // Empties the own database so that the source's cycles can come back.
    static void emptyOwnDatabase() {
        for (const QString& t : resultTableNames()) {
            sql(QStringLiteral("DELETE FROM ") + t);
        }
    }

    ImportResult import(const ImportCallbacks& callbacks = {}) {
        return ResultImporter(DbConnection::main()).run(source_.path(), callbacks);
    }

    // The own database's file copied into the source directory as another installation's; the
    // rows of a server database written into such a file.
    void copyDatabaseAsSource() {
        const QString target = source_.filePath("ZEV7.sqlite");
        if (onServer()) {
            ASSERT_NO_FATAL_FAILURE(writeAsFile(target));
            return;
        }
        DbConnection::shutdown();
        ASSERT_TRUE(QFile::copy(DbConnection::filePath(), target));
        ASSERT_TRUE(DbConnection::setup(&messages_, DbConnection::options()));
    }

    static void writeAsFile(const QString& path) {
        const QString name = QStringLiteral("ZEV7_test_file");
        {
            QSqlDatabase file = QSqlDatabase::addDatabase(sqliteDialect().driverName(), name);
            file.setDatabaseName(path);
            ASSERT_TRUE(file.open());
            // The tables as a file declares them, for the length of the copy.
            useDbDialect(sqliteDialect());
            QString error;
            const bool created = DbSchema::createMissing(file, &error);
            useDbDialect(postgresDialect());
            ASSERT_TRUE(created) << error.toStdString();
            for (const QString& t : resultTableNames()) {
                QSqlQuery from(DbConnection::main());
                ASSERT_TRUE(from.exec(QStringLiteral("SELECT * FROM ") + t));
                const int columns = from.record().count();
                QSqlQuery to(file);
                to.prepare(
                    QStringLiteral("INSERT INTO %1 VALUES (%2)")
                        .arg(t, QStringList(columns, QStringLiteral("?")).join(QLatin1Char(','))));
                while (from.next()) {
                    for (int i = 0; i < columns; ++i) {
                        const QVariant v = from.value(i);
                        to.addBindValue(
                            v.typeId() == QMetaType::QDate   ? sqliteDialect().dateValue(v.toDate())
                            : v.typeId() == QMetaType::QTime ? sqliteDialect().timeValue(v.toTime())
                                                             : v);
                    }
                    ASSERT_TRUE(to.exec()) << to.lastError().text().toStdString();
                }
            }
            file.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    // Every row of every result table, identifiers included: the own database as a whole.
    static QStringList dump() {
        QStringList all;
        for (const QString& t : resultTableNames()) {
            all << t << rows(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(t));
        }
        return all;
    }

    QTemporaryDir source_;
};

}  // namespace zev7::testing
