// Sources that arrive damaged or made to fool the import: Paradox tables cut short or
// overwritten, database files that are none, views that never end, texts of megabytes. Each is
// refused whole with the name of the file at fault and what is wrong with it, and the own
// database stays exactly as it was. Also: stopping at once, and Russian text under a West
// European code page.
#include "dbtransfer/engine_problem.h"
#include "dbtransfer/paradox_table.h"
#include "import_fixture.h"

#include "core/strings.h"

#include <QSqlError>
#include <QtEndian>
#include <random>

namespace zev7::testing {
namespace {

class DamagedSourceTest : public ResultImportTest {
protected:
    void SetUp() override {
        ResultImportTest::SetUp();
        storeSourceCycles();
    }

    QByteArray bytes(const char* table) const {
        QFile f(paradoxPath(table));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const char* table, const QByteArray& content) const {
        QFile f(paradoxPath(table));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }
    // Where the first record of the first data block begins.
    static int firstRecord(const QByteArray& file) {
        return qFromLittleEndian<quint16>(file.constData() + 2) + 6;
    }

    // The import refuses: the first line names the table's file, the second says what is wrong,
    // and the own database is what it was.
    void expectRefused(const char* table, const QString& problem) {
        const QStringList before = dump();
        const ImportResult r = import();
        EXPECT_EQ(r.outcome, ImportOutcome::Refused) << table;
        const QStringList lines = r.message.split(QLatin1Char('\n'));
        EXPECT_EQ(lines.value(0),
                  QLatin1String(table) + QStringLiteral(".db : ") + txt(str::ImportBadStructure));
        EXPECT_TRUE(lines.value(1).startsWith(problem)) << r.message.toStdString();
        EXPECT_EQ(dump(), before);
    }
};

TEST_F(DamagedSourceTest, CutOrOverwrittenParadoxTablesAreRefusedNamingTheFile) {
    exportParadox();
    emptyOwnDatabase();
    const QByteArray resSeans = bytes("Table_ResSeans");
    const QByteArray seans = bytes("Table_Seans");
    const QByteArray cycle = bytes("Table_Cycle");
    const QByteArray out = bytes("Table_Out");
    const auto patched = [](QByteArray file, int at, const QByteArray& with) {
        file.replace(at, with.size(), with);
        return file;
    };
    const auto word = [](int value) {
        QByteArray w(2, '\0');
        qToLittleEndian<quint16>(static_cast<quint16>(value), w.data());
        return w;
    };

    // Its header still counts every record.
    write("Table_ResSeans", resSeans.left(firstRecord(resSeans) + 2 * 32));
    expectRefused("Table_ResSeans", QStringLiteral("файл обрезан"));
    // Forty bytes of 0xFF over the records: levels that are no numbers.
    write("Table_ResSeans", patched(resSeans, firstRecord(resSeans) + 3, QByteArray(40, '\xFF')));
    expectRefused("Table_ResSeans", QStringLiteral("запись"));
    // A record size smaller than its fields: read past the record as levels of -1e-69 dBm.
    write("Table_ResSeans", patched(resSeans, 0, word(8)));
    expectRefused("Table_ResSeans", QStringLiteral("размер записи 8 байт"));
    write("Table_ResSeans", resSeans);

    write("Table_Seans", seans.left(firstRecord(seans) + 50));
    expectRefused("Table_Seans", QStringLiteral("файл обрезан"));
    // A record of zero bytes: every field empty.
    write("Table_Seans", patched(seans, firstRecord(seans) + 36, QByteArray(36, '\0')));
    expectRefused("Table_Seans", QStringLiteral("запись 2: поле CYCLE_ID пусто"));
    write("Table_Seans", patched(seans, firstRecord(seans) - 2, word(5)));
    expectRefused("Table_Seans", QStringLiteral("блок 1 поврежден"));
    write("Table_Seans", seans);

    // The header's record count -1: damaged, not an empty table.
    write("Table_Cycle", patched(cycle, 6, QByteArray(4, '\xFF')));
    expectRefused("Table_Cycle", QStringLiteral("неверное число записей"));
    // 88 bytes: the file the library read for ever.
    write("Table_Cycle", cycle.left(88));
    expectRefused("Table_Cycle", QStringLiteral("файл обрезан: 88 байт"));
    // The first block names itself as the next one: a chain without end.
    write("Table_Cycle", patched(cycle, firstRecord(cycle) - 6, word(1)));
    expectRefused("Table_Cycle", QStringLiteral("цепочка блоков разорвана"));
    write("Table_Cycle", patched(cycle, 0x78, QByteArray(1, '\x07')));
    expectRefused("Table_Cycle", QStringLiteral("поле 1: неизвестный тип 7"));
    write("Table_Cycle", cycle);

    write("Table_Out", patched(out, 2, word(0xFFFF)));
    expectRefused("Table_Out", QStringLiteral("файл обрезан"));
    write("Table_Out", patched(out, 2, word(0x80)));
    expectRefused("Table_Out", QStringLiteral("неверный размер заголовка (128 байт)"));
    write("Table_Out", patched(out, 0x21, word(300)));
    expectRefused("Table_Out", QStringLiteral("неверное число полей"));
    write("Table_Out", out);

    // Whole again, the same source imports.
    EXPECT_EQ(import().imported, 2);
}

// Forty-five files made from the good ones by cutting, overwriting and flipping bytes of
// header and blocks: each is refused naming itself, or imported with every cycle whole. Run
// under valgrind or the sanitizer build, no byte is read that the file does not have.
TEST_F(DamagedSourceTest, FortyFiveMutatedParadoxFilesAreRefusedOrImportedWhole) {
    exportParadox();
    emptyOwnDatabase();
    const char* tables[] = {"Table_Cycle", "Table_Seans", "Table_ResSeans", "Table_Out",
                            "Table_ResCycle"};
    std::mt19937 random(2207);
    int refused = 0;
    for (int m = 0; m < 45; ++m) {
        const char* table = tables[m % 5];
        const QByteArray good = bytes(table);
        QByteArray bad = good;
        const auto at = [&](qsizetype limit) {
            return static_cast<int>(random() % static_cast<quint32>(std::max<qsizetype>(1, limit)));
        };
        switch (m % 3) {
            case 0:  // cut anywhere
                bad.truncate(at(good.size()));
                break;
            case 1:  // a few bytes of the header changed
                for (int k = 0; k < 1 + m % 4; ++k) {
                    bad[at(0x80 + 2 * 12)] = static_cast<char>(random());
                }
                break;
            default: {  // a run of 0xFF or 0x00 over a block
                const int length = 8 + at(60);
                bad.replace(firstRecord(good) - 6 + at(good.size() - firstRecord(good)), length,
                            QByteArray(length, m % 2 ? '\xFF' : '\0'));
                bad.truncate(good.size());
                break;
            }
        }
        write(table, bad);
        const ImportResult r = import();
        if (r.outcome == ImportOutcome::Refused) {
            ++refused;
            // The file itself, or the cycles' table when a changed number no longer matches.
            EXPECT_TRUE(r.message.contains(QLatin1String(table) + QStringLiteral(".db")))
                << m << ": " << r.message.toStdString();
            EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 0) << m;
        } else {
            EXPECT_EQ(r.outcome, ImportOutcome::Done) << m;
            for (const QString& id : rows(QStringLiteral("SELECT CYCLE_ID FROM Table_Cycle"))) {
                bool whole = false;
                EXPECT_TRUE(wholeOrGone(id.toInt(), &whole)) << m;
            }
        }
        emptyOwnDatabase();
        write(table, good);
    }
    EXPECT_GE(refused, 20);
}

TEST_F(DamagedSourceTest, CraftedDatabaseFilesAreRefusedWithoutTheEnginesWords) {
    copyDatabaseAsSource();
    emptyOwnDatabase();
    const QString path = source_.filePath("ZEV7.sqlite");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray good = file.readAll();
    file.close();
    const QStringList before = dump();
    const auto refusal = [&] {
        const ImportResult r = import();
        EXPECT_EQ(r.outcome, ImportOutcome::Refused);
        EXPECT_EQ(dump(), before);
        return r.message;
    };
    const auto replaceWith = [&](const QByteArray& content) {
        QFile::remove(path);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    };
    const QString notDatabase = QStringLiteral("ZEV7.sqlite : Файл не является БД ZEV7!");

    replaceWith({});
    EXPECT_EQ(refusal(), notDatabase + QStringLiteral("\nфайл пуст"));
    QFile::remove(path);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path));
    EXPECT_EQ(refusal(), notDatabase + QStringLiteral("\nфайл пуст"));
    replaceWith(QByteArray(8192, '\x5A'));
    EXPECT_EQ(refusal(), notDatabase + QStringLiteral("\nфайл не является базой данных (код 26)"));

    // Crafted with the engine: each change to a good copy.
    const auto crafted = [&](const QStringList& statements) {
        replaceWith(good);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "craft");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        for (const QString& s : statements) {
            QSqlQuery q(db);
            EXPECT_TRUE(q.exec(s)) << q.lastError().text().toStdString();
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("craft");
    };
    // A view that never ends where the cycles should be.
    crafted({"ALTER TABLE Table_Cycle RENAME TO Cycles",
             "CREATE VIEW Table_Cycle AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 "
             "FROM r) SELECT n AS CYCLE_ID, OUT_ID, IN_ID, DATE_ON, TIME_ON, DAY_WEEK_ON_ID, "
             "DATE_OFF, TIME_OFF, DAY_WEEK_OFF_ID, STATE_ID, OUT_TELNUM, IN_TELNUM FROM r, "
             "Cycles"});
    EXPECT_EQ(refusal(), QStringLiteral("ZEV7.sqlite, Table_Cycle : Структура таблицы неверна!\n"
                                        "это представление, а не таблица"));
    // 50 000 004 characters in a 20-character number part.
    crafted(
        {"UPDATE Table_Out SET NUM_ON_ATX = replace(hex(zeroblob(25000002)), '0', 'x') "
         "WHERE OUT_ID = 2"});
    EXPECT_EQ(refusal(), QStringLiteral("ZEV7.sqlite, Table_Out : Структура таблицы неверна!\n"
                                        "запись 2: поле NUM_ON_ATX длиннее 20 символов"));
    crafted({"UPDATE Table_Cycle SET STATE_ID = 'abc' WHERE CYCLE_ID = 2"});
    EXPECT_EQ(refusal(), QStringLiteral("ZEV7.sqlite, Table_Cycle : Структура таблицы неверна!\n"
                                        "запись 2: неверное значение поля STATE_ID"));
    crafted({"UPDATE Table_Seans SET DAY_WEEK_ID = 9 WHERE SEANS_ID = 1 AND CYCLE_ID = 1"});
    EXPECT_TRUE(refusal().endsWith(QStringLiteral("неверное значение поля DAY_WEEK_ID")));
    crafted(
        {"INSERT INTO Table_ResSeans SELECT 99, SEANS_ID, RES_ATT, RES_AS_LEV, RES_DC_LEV "
         "FROM Table_ResSeans LIMIT 1"});
    EXPECT_TRUE(refusal().endsWith(QStringLiteral("цикла 99 нет в Table_Cycle")));
    crafted({"DROP TABLE Table_Seans"});
    EXPECT_EQ(refusal(), QStringLiteral("ZEV7.sqlite : Таблица Table_Seans не найдена!"));

    replaceWith(good);
    EXPECT_EQ(import().imported, 2);
}

TEST_F(DamagedSourceTest, StoppingEndsTheChecksAtOnceAndTheCopyWithWholeCycles) {
    exportParadox();
    emptyOwnDatabase();
    const QStringList before = dump();
    ImportCallbacks during;
    during.interrupted = [] { return true; };
    ImportResult r = import(during);
    EXPECT_TRUE(r.interrupted);
    EXPECT_EQ(r.outcome, ImportOutcome::Done);
    EXPECT_EQ(dump(), before);

    // Stopped after the first cycle of the copy.
    bool copying = false;
    int asked = 0;
    ImportCallbacks copy;
    copy.progress = [&](int, const QString& stage) { copying = stage == txt(str::ImportCopying); };
    copy.interrupted = [&] { return copying && ++asked > 1; };
    r = import(copy);
    EXPECT_TRUE(r.interrupted);
    EXPECT_LT(r.imported, 2);
    for (const QString& id : rows(QStringLiteral("SELECT CYCLE_ID FROM Table_Cycle"))) {
        bool whole = false;
        EXPECT_TRUE(wholeOrGone(id.toInt(), &whole));
    }

    // A database file is stopped inside the engine's reading.
    emptyOwnDatabase();
    storeSourceCycles();
    copyDatabaseAsSource();
    emptyOwnDatabase();
    r = import(during);
    EXPECT_TRUE(r.interrupted);
    EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 0);
}

TEST_F(DamagedSourceTest, RussianTextUnderAWestEuropeanCodePageReadsAsRussian) {
    const QStringList before = content();
    ASSERT_EQ(writeResultTablesAsParadox(QDir(source_.path()), 1252), QString());
    emptyOwnDatabase();
    ParadoxTable cycles;
    ASSERT_TRUE(cycles.open(paradoxPath("Table_Cycle")));
    EXPECT_EQ(cycles.textCodePage(), 1251);
    EXPECT_EQ(import().imported, 2);
    EXPECT_EQ(content(), before);

    EXPECT_TRUE(ParadoxTable::looksLikeCp1251(toCp1251(QStringLiteral("Москва 333, АТС-2"))));
    EXPECT_FALSE(ParadoxTable::looksLikeCp1251("Caf\xE9 M\xFCller 333"));
    EXPECT_FALSE(ParadoxTable::looksLikeCp1251("495/111/1111"));
}

// A file answers with SQLite's result codes, a server with its SQLSTATE; both read alike.
TEST(EngineProblem, AFilesCodeAndAServersStateReadAsTheSameWords) {
    const auto error = [](const char* code) {
        return QSqlError({}, {}, QSqlError::StatementError, QString::fromLatin1(code));
    };
    EXPECT_EQ(engineProblemText(error("5"), sqliteDialect()), txt(str::EngineBusy).arg(5));
    EXPECT_EQ(engineProblemText(error("40P01"), postgresDialect()),
              txt(str::EngineBusy).arg(QStringLiteral("40P01")));
    EXPECT_EQ(engineProblemText(error("19"), sqliteDialect()), txt(str::EngineConstraint).arg(19));
    EXPECT_EQ(engineProblemText(error("23505"), postgresDialect()),
              txt(str::EngineConstraint).arg(QStringLiteral("23505")));
    EXPECT_EQ(engineProblemText(error("53100"), postgresDialect()),
              txt(str::EngineFull).arg(QStringLiteral("53100")));
    EXPECT_EQ(
        engineProblemText(QStringLiteral("could not serialize [40001]: COMMIT"), postgresDialect()),
        txt(str::EngineBusy).arg(QStringLiteral("40001")));
}

}  // namespace
}  // namespace zev7::testing
