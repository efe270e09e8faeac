#include "app_test_support.h"

#include "app/configuration_sets.h"
#include "core/strings.h"
#include "support/file_size_limit.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>

namespace zev7::apptest {
namespace {

class Configuration : public MainWindowFixture {
protected:
    void writeIni(const QByteArray& text) {
        QFile f(ConfigurationSets::configFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        f.close();
        ini.load();
    }
    static QString configFileName() {
        return QFileInfo(ConfigurationSets::configFile()).fileName();
    }
    QByteArray readIni() const {
        QFile f(ConfigurationSets::configFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(Configuration, SavedPortThatNoLongerExistsIsSkippedSilently) {
    present = 4;
    ports.build();
    writeIni("[ВЕРСА-ТЛ]\nFormPort2=1\nFormPort5=1\n");
    config->restoreLayout();
    EXPECT_EQ(form->openPorts(), QList<int>{2});
    EXPECT_EQ(messages.count(), 0);
}

TEST_F(Configuration, MissingOrDamagedFileOpensNothing) {
    config->restoreLayout();
    writeIni("\x01\xff[ВЕРСА-ТЛ\nFormPort=x\n=\nFormPort3=abc\n");
    config->restoreLayout();
    EXPECT_TRUE(form->openPorts().isEmpty());
}

TEST_F(Configuration, SavedSetReopensItsWindowsAndSectionNamesStayReadable) {
    form->openPortWindow(3);
    form->openPortWindow(7);
    const QString set = programPath(QStringLiteral("CFG/lab1.cfg"));
    ASSERT_TRUE(config->saveConfiguration(set));
    EXPECT_EQ(form->childWindowCount(), 0);
    QFile saved(set);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    EXPECT_TRUE(text.contains(QStringLiteral("[ВЕРСА-ТЛ]").toUtf8())) << text.toStdString();
    EXPECT_TRUE(text.contains("FormPort3=1"));
    ASSERT_TRUE(config->loadConfiguration(set));
    EXPECT_EQ(form->openPorts(), (QList<int>{3, 7}));
}

TEST_F(Configuration, LoadedSetTakesEffectAndAFullDiskKeepsTheFilesAndSaysSo) {
    const QString set = programPath(QStringLiteral("CFG/lab2.cfg"));
    QByteArray big = "[ВЕРСА-ТЛ]\nFormPort4=1\n";
    for (int port = 1; port <= 64; ++port) {
        big += QStringLiteral("[Порт:%1]\nLeft=%1\n").arg(port).toUtf8();
    }
    {
        QFile f(set);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(big);
    }
    writeIni("[ВЕРСА-ТЛ]\nFormPort2=1\n");
    const QByteArray before = readIni();
    const QString saved = programPath(QStringLiteral("CFG/lab3.cfg"));
    const int result = test::runWithFileSizeLimit(before.size() + 10, [&] {
        const bool loaded = config->loadConfiguration(set);
        const bool written = config->saveConfiguration(saved);
        const QStringList t = messages.texts();
        return !loaded && !written && t.size() == 2 && t[0].contains(configFileName()) &&
                       t[1].contains(QStringLiteral("lab3.cfg"))
                   ? 0
                   : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(readIni(), before);
    EXPECT_FALSE(QFile::exists(saved));

    // With room on the disk the set replaces the file and its layout is the one applied.
    ASSERT_TRUE(config->loadConfiguration(set));
    EXPECT_EQ(readIni(), big);
    EXPECT_EQ(form->openPorts(), QList<int>{4});
    EXPECT_EQ(ini.readInt(QStringLiteral("Порт:9"), QStringLiteral("Left")), 9);
}

// The database belongs to the station: a set made at another station does not move it.
TEST_F(Configuration, LoadedSetKeepsTheStationsDatabase) {
    writeIni("[База данных]\nDriver=PostgreSQL\nHost=here\nStation=A\n[ВЕРСА-ТЛ]\nFormPort2=1\n");
    const QString set = programPath(QStringLiteral("CFG/other.cfg"));
    {
        QFile f(set);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[База данных]\nDriver=SQLite\nStation=B\n[ВЕРСА-ТЛ]\nFormPort4=1\n");
    }
    ASSERT_TRUE(config->loadConfiguration(set));
    const QString section = QStringLiteral("База данных");
    IniFile written(ConfigurationSets::configFile());
    ASSERT_TRUE(written.load());
    EXPECT_EQ(written.readString(section, QStringLiteral("Driver")), QStringLiteral("PostgreSQL"));
    EXPECT_EQ(written.readString(section, QStringLiteral("Host")), QStringLiteral("here"));
    EXPECT_EQ(written.readString(section, QStringLiteral("Station")), QStringLiteral("A"));
    EXPECT_EQ(written.readInt(QStringLiteral("ВЕРСА-ТЛ"), QStringLiteral("FormPort4")), 1);
}

TEST_F(Configuration, RestoreLeavesTheFileByteForByteUnchanged) {
    writeIni("[ВЕРСА-ТЛ]\r\nFormPort1=1\r\n; the user's note\r\n\r\n[Порт:1]\r\nLeft=7\r\n");
    const QByteArray before = readIni();
    config->restoreLayout();
    form->openPortWindow(2);
    config->restoreConfiguration();
    EXPECT_EQ(readIni(), before);
    EXPECT_EQ(windows.defaulted, (std::set<int>{1, 2}));
}

TEST_F(Configuration, LoadedSetMadeApartRulesTheWindowsAndSurvivesTheExit) {
    form->openPortWindow(1);
    // A set written elsewhere (another station's file), not the one the program just saved.
    const QString set = programPath(QStringLiteral("CFG/only3.cfg"));
    QFile f(set);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("[ВЕРСА-ТЛ]\nFormPort1=0\nFormPort3=1\n").toUtf8());
    f.close();
    ASSERT_TRUE(config->loadConfiguration(set));
    EXPECT_EQ(form->openPorts(), QList<int>{3});
    config->saveLayout();
    const QByteArray text = readIni();
    EXPECT_TRUE(text.contains("FormPort3=1")) << text.toStdString();
    EXPECT_TRUE(text.contains("FormPort1=0")) << text.toStdString();
}

TEST_F(Configuration, SchemeAndDatabaseWindowsAreReopenedByTheirFlags) {
    int opened = 0;
    for (const char* item : {"NShemaScen", "N14"}) {
        const QString name = QString::fromLatin1(item) == QLatin1String("N14")
                                 ? QStringLiteral("TForm_InterfaceBD")
                                 : QStringLiteral("TFTestScenar");
        form->provideWindow(item, [this, name, &opened] {
            auto* w = new MdiChild(name, 17, &ini);
            w->setObjectName(name);
            form->addChildWindow(w);
            ++opened;
        });
    }
    form->findChild<QAction*>(QStringLiteral("NShemaScen"))->trigger();
    config->saveLayout();
    const QByteArray text = readIni();
    EXPECT_TRUE(text.contains("FTestScenar=1")) << text.toStdString();
    EXPECT_TRUE(text.contains("Form_InterfaceBD=0")) << text.toStdString();
    EXPECT_EQ(form->childWindowCount(), 0);
    config->restoreLayout();
    EXPECT_NE(form->childWindow(QStringLiteral("TFTestScenar")), nullptr);
    EXPECT_EQ(form->childWindow(QStringLiteral("TForm_InterfaceBD")), nullptr);
    EXPECT_EQ(opened, 2);
}

}  // namespace
}  // namespace zev7::apptest
