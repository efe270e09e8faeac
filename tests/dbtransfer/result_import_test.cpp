// Importing another installation's results: a ZEV7 database file, the Paradox tables of the
// earlier system in both layouts, and the sources that must be refused.
#include "import_fixture.h"

#include <QFile>

namespace zev7::testing {
namespace {

TEST_F(ResultImportTest, AnotherZev7DatabaseComesAcrossOnceAndTheOwnDirectoryDoesNothing) {
    storeSourceCycles();
    const QStringList before = content();
    copyDatabaseAsSource();
    // The numbers the own database knows already are found again, not added.
    sql(QStringLiteral("DELETE FROM Table_Cycle"));
    sql(QStringLiteral("DELETE FROM Table_Seans"));

    const ImportResult first = import();
    EXPECT_EQ(first.outcome, ImportOutcome::Done) << first.message.toStdString();
    EXPECT_EQ(first.imported, 2);
    EXPECT_EQ(count(QStringLiteral("Table_Out")), 2);
    EXPECT_EQ(content(), before);

    const ImportResult second = import();
    EXPECT_EQ(second.imported, 0);
    EXPECT_EQ(second.present, 2);
    EXPECT_EQ(content(), before);

    EXPECT_EQ(ResultImporter(DbConnection::main()).run(DbConnection::directory(), {}).outcome,
              ImportOutcome::OwnDatabase);
    EXPECT_EQ(ResultImporter(DbConnection::main())
                  .run(DbConnection::directory() + QStringLiteral("/../ZEV7DBASE/."), {})
                  .outcome,
              ImportOutcome::OwnDatabase);
    EXPECT_EQ(content(), before);
}

TEST_F(ResultImportTest, LegacyParadoxTablesImportWithTheirDatesTimesAndTexts) {
    storeSourceCycles();
    const QStringList before = content();
    exportParadox();
    emptyOwnDatabase();

    const ImportResult r = import();
    ASSERT_EQ(r.outcome, ImportOutcome::Done) << r.message.toStdString();
    EXPECT_FALSE(r.oldLayout);
    EXPECT_EQ(r.imported, 2);
    EXPECT_EQ(r.failed, 0) << r.error.toStdString();
    EXPECT_EQ(content(), before);
    EXPECT_EQ(import().imported, 0);
    EXPECT_EQ(content(), before);
}

TEST_F(ResultImportTest, DamagedOrForeignSourcesAreRefusedBeforeAnythingIsWritten) {
    storeSourceCycles();
    exportParadox();
    emptyOwnDatabase();
    const auto refusal = [this] {
        const ImportResult r = import();
        EXPECT_EQ(r.outcome, ImportOutcome::Refused);
        EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 0);
        return r.message;
    };

    TableLayout lacking = installedLayout(QStringLiteral("Table_Seans"));
    lacking.removeLast();
    ASSERT_TRUE(writeParadoxTable(paradoxPath("Table_Seans"), lacking, {}));
    EXPECT_EQ(refusal(), QStringLiteral("Table_Seans.db : Структура таблицы неверна!"));

    TableLayout shortText = installedLayout(QStringLiteral("Table_Seans"));
    ASSERT_TRUE(writeParadoxTable(paradoxPath("Table_Seans"), shortText, {}));
    shortText = installedLayout(QStringLiteral("Table_Out"));
    shortText[1].size = 10;
    ASSERT_TRUE(writeParadoxTable(paradoxPath("Table_Out"), shortText, {}));
    EXPECT_EQ(refusal(), QStringLiteral("Table_Out.db : Структура таблицы неверна!"));

    QFile garbage(paradoxPath("Table_Out"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(3000, 'x'));
    garbage.close();
    EXPECT_TRUE(
        refusal().startsWith(QStringLiteral("Table_Out.db : Структура таблицы неверна!\n")));

    ASSERT_TRUE(QFile::remove(paradoxPath("Table_Cycle")));
    EXPECT_EQ(refusal(), QStringLiteral("Файл Table_Cycle.db не найден!"));
}

// A file of this version names each cycle's station; one of the version before stations has
// none, and its cycles read as the importing station's.
TEST_F(ResultImportTest, EveryCycleKeepsItsStationAndAnOlderFileLeavesItEmpty) {
    storeSourceCycles();
    sql(QStringLiteral("UPDATE Table_Cycle SET STATION='Тольятти' WHERE CYCLE_ID=1"));
    copyDatabaseAsSource();
    emptyOwnDatabase();
    const QString stations =
        QStringLiteral("SELECT STATION FROM Table_Cycle ORDER BY DATE_ON, CYCLE_ID");
    ImportResult r = import();
    ASSERT_EQ(r.outcome, ImportOutcome::Done) << r.message.toStdString();
    EXPECT_EQ(r.imported, 2);
    EXPECT_EQ(rows(stations), (QStringList{"Тольятти", "NULL"}));
    // Another station's cycle of the same numbers and second is not the one imported.
    sql(QStringLiteral("UPDATE Table_Cycle SET STATION='Сызрань' WHERE STATION='Тольятти'"));
    r = import();
    ASSERT_EQ(r.outcome, ImportOutcome::Done) << r.message.toStdString();
    EXPECT_EQ(r.imported, 1);
    EXPECT_EQ(rows(stations), (QStringList{"Сызрань", "Тольятти", "NULL"}));

    const auto alterSource = [this](const QStringList& statements) {
        const QString name = QStringLiteral("ZEV7_test_source");
        {
            QSqlDatabase file = QSqlDatabase::addDatabase(sqliteDialect().driverName(), name);
            file.setDatabaseName(source_.filePath(QStringLiteral("ZEV7.sqlite")));
            ASSERT_TRUE(file.open());
            for (const QString& statement : statements) {
                ASSERT_TRUE(execSql(file, statement)) << statement.toStdString();
            }
        }
        QSqlDatabase::removeDatabase(name);
    };
    alterSource({QStringLiteral("DROP INDEX Table_Cycle_Station"),
                 QStringLiteral("ALTER TABLE Table_Cycle DROP COLUMN STATION")});
    emptyOwnDatabase();
    r = import();
    ASSERT_EQ(r.outcome, ImportOutcome::Done) << r.message.toStdString();
    EXPECT_EQ(r.imported, 2);
    EXPECT_EQ(rows(stations), (QStringList{"NULL", "NULL"}));

    // Only a column added later may be missing.
    alterSource({QStringLiteral("ALTER TABLE Table_Cycle DROP COLUMN IN_TELNUM")});
    EXPECT_EQ(import().outcome, ImportOutcome::Refused);
}

// The older layout: a count row and a percentage row per result parameter, settings under
// their old numbers; the maps put them where they belong now.
TEST_F(ResultImportTest, TheOlderLayoutIsConvertedWithTheParameterMaps) {
    storeSourceCycles();
    exportParadox();
    emptyOwnDatabase();
    const TableLayout oldResCycle{{"CYCLE_ID", FieldType::Integer, 4},
                                  {"PARAM_RES_ID", FieldType::Integer, 4},
                                  {"PARAM_RESCYC_ID", FieldType::Integer, 4},
                                  {"RESCYC_VALUE", FieldType::Real, 8}};
    // Old 1 attempts, old 11 losses, old 3 answer signal too long.
    ASSERT_TRUE(writeParadoxTable(paradoxPath("Table_ResCycle"), oldResCycle,
                                  {{1, 1, 1, 3.0},
                                   {1, 1, 2, 100.0},
                                   {1, 11, 1, 1.0},
                                   {1, 11, 2, 33.3},
                                   {1, 3, 1, 1.0},
                                   {1, 3, 2, 33.3}}));
    const TableLayout oldResSeans{
        {"CYCLE_ID", FieldType::Integer, 4}, {"SEANS_ID", FieldType::Integer, 4},
        {"RES_ATT", FieldType::Real, 8},     {"RES_AS_LEV", FieldType::Real, 8},
        {"RES_AS_DEL", FieldType::Real, 8},  {"RES_DC_LEV", FieldType::Real, 8},
        {"RES_DC_DEL", FieldType::Real, 8}};
    ASSERT_TRUE(writeParadoxTable(paradoxPath("Table_ResSeans"), oldResSeans,
                                  {{1, 1, 10.0, -12.0, 0.5, -15.0, 0.7}}));
    // Old settings 34 (minimum attempts) and 1 (maximum attempts) of cycle 1.
    ASSERT_TRUE(writeParadoxTable(paradoxPath("Table_Sett_Cycle_Dec"),
                                  installedLayout(QStringLiteral("Table_Sett_Cycle_Dec")),
                                  {{1, 34, 3.0}, {1, 1, 8.0}}));

    const ImportResult r = import();
    ASSERT_EQ(r.outcome, ImportOutcome::Done) << r.message.toStdString();
    EXPECT_TRUE(r.oldLayout);
    EXPECT_EQ(r.imported, 2);
    // The imported cycles are numbered after the ones deleted before.
    const QString first =
        QStringLiteral(" WHERE CYCLE_ID=(SELECT MIN(CYCLE_ID) FROM Table_Cycle) AND ");
    EXPECT_EQ(rows(QStringLiteral("SELECT PARAM_RES_ID, RESCYC_VALUE_CNT, RESCYC_VALUE_PERC FROM "
                                  "Table_ResCycle%1PARAM_RES_ID IN (1,3,6,14) ORDER BY 1")
                       .arg(first)),
              (QStringList{"1|3|100", "3|1|33.3", "6|0|0", "14|1|33.3"}));
    EXPECT_EQ(count(QStringLiteral("Table_ResCycle"),
                    QStringLiteral("CYCLE_ID=(SELECT MAX(CYCLE_ID) FROM Table_Cycle)")),
              0);
    EXPECT_EQ(rows(QStringLiteral("SELECT PARAM_CYCLE_ID, SETCYC_VALUE FROM Table_Sett_Cycle_Dec"
                                  "%1PARAM_CYCLE_ID IN (1,2,5) ORDER BY 1")
                       .arg(first)),
              (QStringList{"1|3", "2|8", "5|NULL"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT RES_ATT, RES_AS_LEV, RES_DC_LEV FROM Table_ResSeans")),
              QStringList{"10|-12|-15"});
}

}  // namespace
}  // namespace zev7::testing
