#include "app/command_line.h"
#include "app/port_list.h"
#include "app/qt_translations.h"
#include "app/single_instance.h"
#include "core/install_layout.h"
#include "core/program_dir.h"
#include "engine/registry/port_registry.h"
#include "support/temp_home.h"
#include "ui/ui_test_support.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QFile>
#include <QMessageBox>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTranslator>

namespace zev7 {
namespace {

TEST(SingleInstanceTest, SecondCopyIsRefusedAndTheFirstKeepsItsMarker) {
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    ASSERT_EQ(first.acquire(), SingleInstance::Result::Acquired);
    {
        SingleInstance second(dir.path());
        EXPECT_EQ(second.acquire(), SingleInstance::Result::AlreadyRunning);
    }
    EXPECT_TRUE(QFile::exists(first.lockPath()));
    SingleInstance third(dir.path());
    EXPECT_EQ(third.acquire(), SingleInstance::Result::AlreadyRunning);
}

TEST(SingleInstanceTest, MarkerOfAKilledCopyIsTakenOver) {
    QTemporaryDir dir;
    QFile marker(dir.filePath(QString::fromLatin1(kInstanceLockName)));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    // A process number no live process can have, on this machine, days ago.
    marker.write("2147483646\nzev7\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    marker.close();
    SingleInstance next(dir.path());
    EXPECT_EQ(next.acquire(), SingleInstance::Result::Acquired);
}

TEST(PortListTest, PortsThatOpenAndPortsOfOurThreadsAreListed) {
    PortRegistry registry;
    registry.setRunState(4, PortRunState::InUse);  // our thread holds it: it does not open
    registry.setRunState(9, PortRunState::Free);   // another program took it since
    PortList list(registry, [](int port) {
        return port == 2   ? PortPresence::Free
               : port <= 9 ? PortPresence::Busy
                           : PortPresence::Absent;
    });
    list.build();
    EXPECT_EQ(list.ports(), (QList<int>{2, 4}));
    EXPECT_EQ(registry.runState(9), PortRunState::Absent);
    EXPECT_EQ(registry.runState(4), PortRunState::InUse);
    EXPECT_EQ(PortList::portOfItem(PortList::itemText(4)), 4);
    EXPECT_EQ(PortList::portOfItem(QStringLiteral("Порт:")), 0);
}

TEST(CommandLineTest, ScheduleFileIsRecordedInAnyCaseAndWindowsAreRequested) {
    test::TempHome home;
    QFile schedule(home.filePath(QStringLiteral("night.lst")));
    ASSERT_TRUE(schedule.open(QIODevice::WriteOnly));
    schedule.close();
    QStringList errors;
    auto line = parseCommandLine({QStringLiteral("night.lst"), QStringLiteral("--open"),
                                  QStringLiteral("1:demo.scn"), QStringLiteral("--answer=2")},
                                 errors);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->batchList, schedule.fileName());
    ASSERT_EQ(line->windows.size(), 2u);
    EXPECT_EQ(line->windows[0].scenario, QStringLiteral("demo.scn"));
    EXPECT_TRUE(line->windows[1].answer);
    // A missing schedule is no schedule; a wrong port is an error.
    EXPECT_TRUE(parseCommandLine({QStringLiteral("other.LST")}, errors)->batchList.isEmpty());
    EXPECT_FALSE(parseCommandLine({QStringLiteral("--open"), QStringLiteral("65")}, errors));
}

TEST(CommandLineTest, HelpAndVersionAreAnsweredBeforeAnythingStarts) {
    const char* help[] = {"zev7", "--open", "1", "--help"};
    const auto text = informationRequested(4, help);
    ASSERT_TRUE(text.has_value());
    EXPECT_TRUE(text->contains(QStringLiteral("ZEV7_HOME")));
    EXPECT_TRUE(text->contains(QStringLiteral("~/.local/share/zev7")));
    const char* version[] = {"zev7", "-v"};
    EXPECT_TRUE(informationRequested(2, version)->startsWith(QStringLiteral("zev7 2.")));
    const char* plain[] = {"zev7", "night.lst"};
    EXPECT_FALSE(informationRequested(2, plain).has_value());
}

// The installation is found from the executable's folder; a build tree is none.
TEST(ProgramDirTest, InstalledDataIsFoundBesideBinAndBuildTreesHaveNone) {
    QTemporaryDir prefix;
    QDir root(prefix.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("bin")) &&
                root.mkpath(QStringLiteral("share/zev7/help")));
    const QString bin = root.filePath(QStringLiteral("bin"));
    EXPECT_TRUE(installedDataDir(bin).isEmpty());
    QFile index(root.filePath(QStringLiteral("share/zev7/help/index.html")));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.close();
    EXPECT_EQ(installedDataDir(bin), root.filePath(QStringLiteral("share/zev7")));
    EXPECT_TRUE(installedDataDir(test::uiApp().applicationDirPath()).isEmpty());
}

TEST(QtTranslationsTest, StandardButtonsSpeakRussian) {
    QApplication& app = test::uiApp();
    QTranslator* russian = installQtRussian(app);
    ASSERT_NE(russian, nullptr) << "qt6-translations-l10n is not installed";
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Внимание!"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Да"));
    EXPECT_EQ(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Нет"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove(u'&'), QStringLiteral("Отмена"));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Внимание!"));
    QCoreApplication::removeTranslator(russian);
    delete russian;
}

}  // namespace
}  // namespace zev7
