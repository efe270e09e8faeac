// Choosing the results database: "[База данных]" of ZEV7.ini and the tools' addresses read into
// the same place, every bad value refused with its message, and the check of a place.
#include "db/db_location.h"
#include "core/ini_file.h"
#include "db/db_probe.h"
#include "db_fixture.h"

namespace zev7::testing {
namespace {

DbLocation server(const QString& host, int port, const QString& name, const QString& user) {
    DbLocation loc;
    loc.driver = DbLocation::Driver::Postgres;
    loc.host = host;
    loc.port = port;
    loc.name = name;
    loc.user = user;
    return loc;
}

// A file in memory: an IniFile without a path reads every key as its default.
IniFile memoryIni() {
    return IniFile(QStringLiteral("memory.ini"));
}

IniFile iniWith(const QByteArray& section) {
    IniFile ini = memoryIni();
    ini.parse("[Ports]\nCOM1=dev/x\n[База данных]\n" + section);
    return ini;
}

TEST(DbLocation, RoundTripsThroughIniAndAddress) {
    const QList<DbLocation> places = {
        server(QStringLiteral("db.example.org"), 5433, QStringLiteral("zev7"),
               QStringLiteral("ops")),
        server({}, 0, QStringLiteral("zev7_test"), {}),
        server(QStringLiteral("::1"), 5432, QStringLiteral("результаты 2026"),
               QStringLiteral("оператор")),
        server({}, 0, {}, {}),
    };
    for (DbLocation place : places) {
        const QString url = place.url();
        QString error;
        const auto back = DbLocation::fromUrl(url, &error);
        ASSERT_TRUE(back) << url.toStdString() << ": " << error.toStdString();
        EXPECT_EQ(*back, place) << url.toStdString();

        place.station = QStringLiteral("Узел-3");
        IniFile ini = memoryIni();
        place.toIni(ini);
        IniFile reread = memoryIni();
        reread.parse(ini.toText());
        const auto fromFile = DbLocation::fromIni(reread, &error);
        ASSERT_TRUE(fromFile) << error.toStdString();
        EXPECT_EQ(*fromFile, place);
        EXPECT_EQ(DbLocation::fromOptions(place.toOptions()), place);
    }
    EXPECT_EQ(server(QStringLiteral("h"), 5433, QStringLiteral("n"), QStringLiteral("u")).url(),
              QStringLiteral("postgresql://u@h:5433/n"));
    EXPECT_EQ(DbLocation::fromUrl(QStringLiteral("postgres://u@h/n"), nullptr)->url(),
              QStringLiteral("postgresql://u@h/n"));
}

TEST(DbLocation, NothingWrittenMeansTheFileBesideTheProgram) {
    QString error;
    for (const QByteArray& section : {QByteArray(), QByteArray("Driver=\n"),
                                      QByteArray("driver = sqlite\nHost=ignored\nPort=bad\n")}) {
        const auto loc = DbLocation::fromIni(iniWith(section), &error);
        ASSERT_TRUE(loc) << error.toStdString();
        EXPECT_FALSE(loc->onServer());
        EXPECT_TRUE(loc->toOptions().server.isEmpty());
    }
    EXPECT_FALSE(DbLocation::fromUrl(QStringLiteral("SQLite"), &error)->onServer());
    // A connection's own settings (time-outs, commit safety) stay as they were.
    DbOptions base;
    base.busyTimeoutMs = 7;
    EXPECT_EQ(server({}, 0, QStringLiteral("n"), {}).toOptions(base).busyTimeoutMs, 7);
}

TEST(DbLocation, BadValuesAreRefusedWithTheirReason) {
    struct Case {
        QByteArray section;
        const char* says;
    };
    const Case iniCases[] = {
        {"Driver=Oracle\n", "Неизвестный драйвер БД \"Oracle\""},
        {"Driver=PostgreSQL\nPort=0\n", "Порт сервера БД \"0\""},
        {"Driver=PostgreSQL\nPort=65536\n", "Порт сервера БД \"65536\""},
        {"Driver=PostgreSQL\nPort=54x\n", "Порт сервера БД \"54x\""},
        {"Driver=PostgreSQL\nHost=db host\n", "Недопустимое имя сервера БД"},
        {"Driver=PostgreSQL\nName=" + QByteArray(64, 'n') + "\n", "Недопустимое имя базы данных"},
        {"Station=" + QByteArray(21, 's') + "\n", "Недопустимое имя станции"},
        {"Station=a\x01"
         "b\n",
         "Недопустимое имя станции"},
    };
    for (const Case& c : iniCases) {
        QString error;
        EXPECT_FALSE(DbLocation::fromIni(iniWith(c.section), &error)) << c.section.constData();
        EXPECT_TRUE(error.startsWith(QStringLiteral("ZEV7.ini, раздел [База данных]: ")));
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.says))) << error.toStdString();
    }
    const std::pair<const char*, const char*> urlCases[] = {
        {"mysql://h/n", "Недопустимый адрес БД"},
        {"postgresql://u:secret@h/n", "Пароль в адресе БД не указывается"},
        {"postgresql://h:99999/n", "Порт сервера БД \"99999\""},
        {"postgresql://h:/n", "Недопустимый адрес БД"},
        {"postgresql://h/n?sslmode=disable", "Недопустимый адрес БД"},
        {"postgresql://h/n/x", "Недопустимый адрес БД"},
        {"postgresql://h/%01", "Недопустимое имя базы данных"},
        {"", "Недопустимый адрес БД"},
    };
    for (const auto& [url, says] : urlCases) {
        QString error;
        EXPECT_FALSE(DbLocation::fromUrl(QString::fromUtf8(url), &error)) << url;
        EXPECT_TRUE(error.contains(QString::fromUtf8(says))) << url << ": " << error.toStdString();
    }
}

// Option over environment over ZEV7.ini of the program directory over the file.
class DbLocationOrder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        IniFile ini(programPath(QString::fromLatin1(kConfigFileName)));
        ini.parse("[База данных]\nDriver=PostgreSQL\nHost=ini-host\nName=ini\nStation=ЦУС-1\n");
        ASSERT_TRUE(ini.save());
    }
    void TearDown() override { qunsetenv(kDbUrlEnvironment); }

    test::TempHome home_;
};

TEST_F(DbLocationOrder, OptionBeatsEnvironmentBeatsIni) {
    QString error;
    EXPECT_EQ(DbLocation::forTool({}, {}, &error)->url(),
              QStringLiteral("postgresql://ini-host/ini"));
    qputenv(kDbUrlEnvironment, "postgresql://env-host/env");
    const auto fromEnvironment = DbLocation::forTool({}, {}, &error);
    EXPECT_EQ(fromEnvironment->url(), QStringLiteral("postgresql://env-host/env"));
    EXPECT_EQ(fromEnvironment->station, QStringLiteral("ЦУС-1"));
    const auto fromOption =
        DbLocation::forTool(QStringLiteral("sqlite"), QStringLiteral("Узел-2"), &error);
    EXPECT_FALSE(fromOption->onServer());
    EXPECT_EQ(fromOption->station, QStringLiteral("Узел-2"));

    qputenv(kDbUrlEnvironment, "postgresql://u:pw@h/n");
    EXPECT_FALSE(DbLocation::forTool({}, {}, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Переменная ZEV7_DB: "))) << error.toStdString();
    EXPECT_FALSE(DbLocation::forTool(QStringLiteral("sqlite"), QString(30, u'x'), &error));
}

// The check of the settings dialog: the place's engine answers, or the reason why not; a file
// that is not there is not made by looking.
class DbProbe : public DbTest {};

TEST_F(DbProbe, TellsTheEngineOrTheReason) {
    const DbProbeResult here = probeDatabase(DbConnection::options());
    EXPECT_TRUE(here.ok) << here.text.toStdString();
    EXPECT_TRUE(here.text.startsWith(onServer() ? QStringLiteral("PostgreSQL ")
                                                : QStringLiteral("SQLite ")))
        << here.text.toStdString();

    DbOptions nowhere = DbConnection::options();
    if (onServer()) {
        // Nobody listens on port 1: refused at once.
        DbLocation place = DbLocation::fromOptions(nowhere);
        place.host = QStringLiteral("127.0.0.1");
        place.port = 1;
        nowhere = place.toOptions(nowhere);
    } else {
        DbConnection::shutdown();
        ASSERT_TRUE(QFile::remove(DbConnection::filePath()));
    }
    DbProbeThread probe(nowhere);
    probe.start();
    ASSERT_TRUE(probe.wait());
    EXPECT_FALSE(probe.result().ok);
    EXPECT_FALSE(probe.result().text.isEmpty());
    if (!onServer()) {
        EXPECT_FALSE(QFile::exists(DbConnection::filePath()));
    }
}

// Settings that do not read switch the database part off: a writer gets no connection at all,
// never the file in place of the server that was meant.
TEST_F(DbProbe, RefusedDatabaseOpensNothing) {
    DbConnection::refuse(QStringLiteral("bad settings"));
    EXPECT_FALSE(DbConnection::forThisThread().isOpen());
    EXPECT_EQ(DbConnection::lastOpenError(), QStringLiteral("bad settings"));
    ASSERT_TRUE(DbConnection::setup(&messages_, DbConnection::options()));
    EXPECT_TRUE(DbConnection::forThisThread().isOpen());
}

}  // namespace
}  // namespace zev7::testing
