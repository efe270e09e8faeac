// "zev7-db import": the window's import on a server, its refusals as messages and exit codes.
#include "core/port_run_marker.h"
#include "core/program_dir.h"
#include "import_fixture.h"
#include "support/tool_run.h"

namespace zev7::testing {
namespace {

class Zev7DbImport : public ResultImportTest {
protected:
    using Run = ToolRun;
    Run run() {
        return runTool(QStringLiteral(ZEV7_DB_PATH), {QStringLiteral("--home"), programDir(),
                                                      QStringLiteral("import"), source_.path()});
    }
};

TEST_F(Zev7DbImport, ImportsRefusesDamageAndWaitsForThePorts) {
    storeSourceCycles();
    exportParadox();
    emptyOwnDatabase();
    QFile cycles(paradoxPath("Table_Cycle"));
    ASSERT_TRUE(cycles.open(QIODevice::ReadOnly));
    const QByteArray good = cycles.readAll();
    cycles.close();

    // Cut to 88 bytes: refused at once, the file named.
    ASSERT_TRUE(cycles.open(QIODevice::WriteOnly | QIODevice::Truncate));
    cycles.write(good.left(88));
    cycles.close();
    Run r = run();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(
        r.err.contains(QStringLiteral("Table_Cycle.db : Структура таблицы неверна!\n"
                                      "файл обрезан: 88 байт")))
        << r.err.toStdString();
    EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 0);

    ASSERT_TRUE(cycles.open(QIODevice::WriteOnly | QIODevice::Truncate));
    cycles.write(good);
    cycles.close();
    {
        ASSERT_TRUE(ensureProgramFolders());
        PortRunMarker port(3);
        ASSERT_TRUE(port.acquire());
        r = run();
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("COM3"))) << r.err.toStdString();
        EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 0);
    }

    r = run();
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Проверка Table_Cycle.db...")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("[100%] Ввод циклов...")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Циклов в источнике: 2, введено: 2")));
    EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 2);
}

}  // namespace
}  // namespace zev7::testing
