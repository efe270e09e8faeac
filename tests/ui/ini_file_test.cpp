#include "core/ini_file.h"
#include "support/file_size_limit.h"
#include "ui/frame/mdi_child.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

namespace zev7 {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(IniFile, CyrillicSectionsStayReadableAndValuesKeepTheirTypes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ZEV7.ini");
    IniFile ini(path);
    ini.writeInt("ВЕРСА-ТЛ", "FormPort3", 1);
    ini.writeDouble("Порт:3", "Scale", 2.5);
    ini.writeBool("Порт:3", "Graph1", true);
    ini.writeString("Порт:3", "Name", "Лаборатория");
    ASSERT_TRUE(ini.save());

    const QString text = QString::fromUtf8(readAll(path));
    EXPECT_TRUE(text.contains("[Порт:3]"));
    EXPECT_TRUE(text.contains("[ВЕРСА-ТЛ]\nFormPort3=1"));

    IniFile back(path);
    ASSERT_TRUE(back.load());
    EXPECT_EQ(back.readInt("версА-тл", "formport3"), 1);
    EXPECT_DOUBLE_EQ(back.readDouble("Порт:3", "Scale"), 2.5);
    EXPECT_TRUE(back.readBool("Порт:3", "Graph1"));
    EXPECT_EQ(back.readString("Порт:3", "Name"), "Лаборатория");
    EXPECT_EQ(back.readInt("Порт:3", "Missing", 7), 7);
}

TEST(IniFile, MissingOrDamagedFileReadsAsDefaults) {
    QTemporaryDir dir;
    IniFile missing(dir.filePath("ZEV7.ini"));
    EXPECT_FALSE(missing.load());
    EXPECT_EQ(missing.readInt("ВЕРСА-ТЛ", "FormPort1", 0), 0);

    const QString path = dir.filePath("bad.ini");
    const char damaged[] =
        "\x00\xff\xfe[[[\nFormPort1=1\n[ВЕРСА-ТЛ\n=5\n[Порт:1]\nLeft=abc\nTop=12\nW";
    writeAll(path, QByteArray(damaged, sizeof(damaged) - 1));
    IniFile bad(path);
    EXPECT_TRUE(bad.load());
    EXPECT_EQ(bad.readInt("ВЕРСА-ТЛ", "FormPort1", 0), 0);  // the key stood outside any section
    EXPECT_EQ(bad.readInt("Порт:1", "Left", -1), -1);
    EXPECT_EQ(bad.readInt("Порт:1", "Top", -1), 12);
}

TEST(IniFile, FailedWriteKeepsThePreviousFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ZEV7.ini");
    IniFile ini(path);
    ini.writeInt("ВЕРСА-ТЛ", "FormPort1", 1);
    ASSERT_TRUE(ini.save());
    const QByteArray good = readAll(path);

    ini.setPath(dir.filePath("no/such/dir/ZEV7.ini"));
    ini.writeInt("ВЕРСА-ТЛ", "FormPort1", 0);
    EXPECT_FALSE(ini.save());
    EXPECT_EQ(readAll(path), good);
}

TEST(IniFile, AFullDiskKeepsThePreviousFileAndIsToldOnce) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ZEV7.ini");
    IniFile ini(path);
    ini.writeInt("ВЕРСА-ТЛ", "FormPort1", 1);
    ASSERT_TRUE(ini.save());
    const QByteArray good = readAll(path);

    const int result = test::runWithFileSizeLimit(good.size(), [&] {
        QStringList told;
        ini.saveFailed = [&](const QString& file, const QString& error) {
            told << file + u' ' + error;
        };
        for (int port = 1; port <= 64; ++port) {
            ini.writeInt(QStringLiteral("Порт:%1").arg(port), "Left", port);
        }
        const bool first = ini.save();
        const bool second = ini.save();
        return !first && !second && told.size() == 1 && told[0].startsWith(path) &&
                       !ini.lastError().isEmpty()
                   ? 0
                   : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(readAll(path), good);
}

// A file grown to hundreds of thousands of sections (a faulty tool, a script gone wrong) opens
// and saves in time in proportion to its size; this program's time limit is set in the folder's
// CMakeLists.txt.
TEST(IniFile, HugeFileReadsAndWritesBackWhole) {
    constexpr int kSections = 200000;
    QTemporaryDir dir;
    const QString path = dir.filePath("ZEV7.ini");
    QByteArray text;
    for (int i = 0; i < kSections; ++i) {
        text += "[P" + QByteArray::number(i) + "]\n";
        if (i % 10 == 0) {
            text += "Left=" + QByteArray::number(i) + '\n';
        }
    }
    text += "[p7]\nleft=70\nTop=5\n";  // the same section and key again, in other letters
    for (int k = 0; k < 40; ++k) {
        text += "[Many]\nK" + QByteArray::number(k) + '=' + QByteArray::number(k) + '\n';
    }
    text += "[MANY]\nk5=again\n";
    ASSERT_LT(text.size(), IniFile::kMaxFileBytes);
    writeAll(path, text);

    IniFile ini(path);
    ASSERT_TRUE(ini.load());
    EXPECT_EQ(ini.sectionNames().size(), kSections + 1);
    EXPECT_EQ(ini.readInt("p199990", "LEFT"), 199990);
    EXPECT_EQ(ini.readInt("P7", "Left"), 70);
    EXPECT_EQ(ini.readInt("P7", "Top"), 5);
    EXPECT_EQ(ini.readString("many", "K5"), "again");
    EXPECT_EQ(ini.readInt("many", "k39"), 39);
    for (int i = 0; i < kSections; i += 2) {
        ini.writeInt(QStringLiteral("P%1").arg(i), "Width", i);
    }
    ini.eraseSection("P1");
    ASSERT_TRUE(ini.save());

    IniFile back(path);
    ASSERT_TRUE(back.load());
    EXPECT_EQ(back.sectionNames().size(), kSections);
    EXPECT_EQ(back.readInt("P199998", "Width"), 199998);
    EXPECT_EQ(back.readInt("P3", "Width", -1), -1);
    EXPECT_FALSE(back.hasSection("P1"));
    EXPECT_EQ(back.readInt("P20", "Left"), 20);
    EXPECT_EQ(back.toText(), ini.toText());
}

TEST(MdiChild, PlacementComesBackUnderItsCaptionAndSwitchedOffFileGivesDefaults) {
    test::uiApp();
    QTemporaryDir dir;
    IniFile ini(dir.filePath("ZEV7.ini"));
    {
        MdiChild w("Порт:5", 20, &ini);
        w.setGeometry(30, 40, 300, 200);
        w.saveLayout();
    }
    IniFile back(dir.filePath("ZEV7.ini"));
    ASSERT_TRUE(back.load());
    MdiChild again("Порт:5", 20, &back);
    again.restoreLayout();
    EXPECT_EQ(again.geometry().size(), QSize(300, 200));

    const QByteArray before = readAll(back.path());
    back.setPath({});  // the default arrangement: nothing read, nothing written
    MdiChild fresh("Порт:5", 20, &back);
    fresh.resize(111, 99);
    fresh.restoreLayout();
    fresh.saveLayout();
    EXPECT_EQ(fresh.size(), QSize(111, 99));
    EXPECT_EQ(readAll(dir.filePath("ZEV7.ini")), before);
}

// The program closed with a maximised port window: every window keeps where it stood, and the
// maximised one opens maximised again and goes back to its place when restored.
TEST(MdiChild, AMaximisedWindowKeepsItsOwnAndTheOthersPlaces) {
    test::uiApp();
    QTemporaryDir dir;
    IniFile ini(dir.filePath("ZEV7.ini"));
    const QRect first(10, 20, 300, 200);
    const QRect second(320, 30, 310, 210);
    {
        QMdiArea area;
        area.resize(1000, 700);
        area.show();
        QMdiSubWindow* one = area.addSubWindow(new MdiChild("Порт:1", 17, &ini));
        QMdiSubWindow* two = area.addSubWindow(new MdiChild("Порт:2", 17, &ini));
        one->show();
        two->show();
        one->setGeometry(first);
        two->setGeometry(second);
        area.setActiveSubWindow(one);
        one->showMaximized();
        area.closeAllSubWindows();  // as at the program's end
    }
    IniFile back(dir.filePath("ZEV7.ini"));
    ASSERT_TRUE(back.load());
    EXPECT_EQ(back.readInt("Порт:1", "WindowState"), 2);
    for (const auto& [section, place] : {std::pair{"Порт:1", first}, std::pair{"Порт:2", second}}) {
        EXPECT_EQ(QRect(back.readInt(section, "Left"), back.readInt(section, "Top"),
                        back.readInt(section, "Width"), back.readInt(section, "Height")),
                  place)
            << section;
    }

    QMdiArea area;
    area.resize(1000, 700);
    area.show();
    auto* again = new MdiChild("Порт:1", 17, &back);
    QMdiSubWindow* frame = area.addSubWindow(again);
    frame->show();
    again->restoreLayout();
    EXPECT_TRUE(frame->isMaximized());
    frame->showNormal();
    EXPECT_EQ(frame->geometry(), first);
}

}  // namespace
}  // namespace zev7
