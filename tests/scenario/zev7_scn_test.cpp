// zev7-scn end to end: the built program on real files.
#include "scenario/scenario_test_support.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QTemporaryDir>

namespace zev7 {
namespace {

using test::readAll;
using test::writeAll;

constexpr int kProcessTimeoutMs = 30000;

struct ScnRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ScnRun scn(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(ZEV7_SCN_PATH), args);
    ScnRun r;
    if (!p.waitForFinished(kProcessTimeoutMs) || p.exitStatus() != QProcess::NormalExit) {
        return r;
    }
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct ScnTool : ::testing::Test {
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("x.scn"));
};

TEST_F(ScnTool, BuildsTheDemoScenarioAndShowsIt) {
    ASSERT_EQ(scn({"new", file}).exitCode, 0);
    QByteArray bytes = readAll(file);
    ASSERT_EQ(bytes.size(), 357);
    EXPECT_EQ(bytes.left(6), QByteArray("\x05V2.08"));

    ASSERT_EQ(scn({"set-out", file, "-/-/-/-/-/1111111/-"}).exitCode, 0);
    ASSERT_EQ(scn({"add-cycle", file, "-/-/-/-/-/2222222/-"}).exitCode, 0);
    EXPECT_EQ(readAll(file).size(), 357 + 691);

    ScnRun show = scn({"show", file});
    ASSERT_EQ(show.exitCode, 0) << show.err.toStdString();
    for (const char* expected : {
             "Версия файла: V2.08",
             "Исходящий номер: -/-/-/-/-/P1111111/-",
             "Количество исполнений сценария: 1",
             "Цикл 1: -/-/-/-/-/P2222222/-",
             "состояние: 0 (ожидает)",
             "не менее 100, не более 1000",
             "норма КПВ, %: 3.00 при 100 попытках, 2.00 при 1000 попытках",
             "ОС -17, СКПВ -17 (распознавание СКПВ: вкл), АО -27",
             "частота 1020 Гц",
             "расчетная длительность, часы:мин: 10:44",
         }) {
        EXPECT_TRUE(show.out.contains(u(expected))) << expected << "\n" << show.out.toStdString();
    }

    ASSERT_EQ(scn({"set", file, "--cycle", "1", "minAttempts=5", "maxAttempts=20"}).exitCode, 0);
    ASSERT_EQ(scn({"set", file, "runCount=3", "repeatMode=1", "repeatInterval=90",
                   "baseTime=08.12.26 10:00"})
                  .exitCode,
              0);
    ASSERT_EQ(scn({"set", file, "--cycle", "1", "startFrom=08.12.26 12:00",
                   "startUntil=08.12.26 18:30", "aaFrequency=890"})
                  .exitCode,
              0);
    show = scn({"show", file});
    for (const char* expected : {
             "не менее 5, не более 20",
             "Количество исполнений сценария: 3",
             "Режим повтора: 1 (Автоповтор по завершении исполнения)",
             "Интервал повтора сценария: 01:30",
             "Базовое время: 08.12.26 10:00",
             "интервал начала цикла: с 08.12.26 12:00 по 08.12.26 18:30",
             "частота 890 Гц",
             "расчетная длительность, часы:мин: 00:13",
         }) {
        EXPECT_TRUE(show.out.contains(u(expected))) << expected << "\n" << show.out.toStdString();
    }
}

// Each refusal prints the system's message, exits non-zero and leaves the file as it was.
TEST_F(ScnTool, RefusalsLeaveTheFileUnchanged) {
    ASSERT_EQ(scn({"new", file}).exitCode, 0);
    ASSERT_EQ(scn({"set-out", file, "-/-/-/-/-/1111111/-"}).exitCode, 0);
    ASSERT_EQ(scn({"add-cycle", file, "-/-/-/-/-/2222222/-"}).exitCode, 0);
    const QByteArray before = readAll(file);

    const std::pair<QStringList, const char*> refused[] = {
        {{"add-cycle", file, "-/-/-/-/-/12#/-"}, "Неверный символ!"},
        {{"add-cycle", file, "-/-/-/-/-/T1111111/-"},
         "Телефонный номер исходящей совпадает с\nтелефонным номером цикла"},
        {{"add-cycle", file, "-/-/-/-/P2/1/-"}, "Не задан код города!"},
        {{"add-cycle", file, "-/-/-/-/-/-/-"}, "Не задан номер на АТС!"},
        {{"add-cycle", file, "1/2/3"}, "семью полями"},
        {{"set-out", file, "-/-/-/-/-/2222222/-"}, "совпадает"},
        {{"set", file, "--cycle", "1", "minAttempts=0"}, "допустимо от 1 до 10000"},
        {{"set", file, "--cycle", "1", "maxAttempts=20", "minAttempts=50"}, "не может быть"},
        {{"set", file, "--cycle", "2", "pause=5"}, "Нет цикла 2"},
        {{"set", file, "aaFrequency=1800"}, "1500 и 2100"},
        {{"set", file, "baseTime=tomorrow"}, "дд.мм.гг чч:мм"},
        {{"set", file, "noSuchField=1"}, "Неизвестное поле"},
    };
    for (const auto& [args, message] : refused) {
        const ScnRun r = scn(args);
        EXPECT_NE(r.exitCode, 0) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(u(message))) << r.err.toStdString();
        EXPECT_EQ(readAll(file), before) << args.join(' ').toStdString();
    }
}

// Insert, delete and the incoming-number editor on a scenario part of whose run is finished.
TEST_F(ScnTool, EditsCyclesKeepingTheFinishedCount) {
    ASSERT_EQ(scn({"new", file}).exitCode, 0);
    ASSERT_EQ(scn({"set-out", file, "-/-/-/-/-/1111111/-"}).exitCode, 0);
    // Inserting into an empty scenario stands for its one empty row.
    ASSERT_EQ(scn({"insert-cycle", file, "1", "-/-/-/-/-/3333333/-"}).exitCode, 0);
    ASSERT_EQ(scn({"insert-cycle", file, "1", "-/-/-/-/-/2222222/-"}).exitCode, 0);
    ASSERT_EQ(scn({"set", file, "--cycle", "1", "state=3", "minAttempts=7"}).exitCode, 0);
    ASSERT_EQ(scn({"set", file, "--cycle", "2", "numEnum[5]=3333335:1"}).exitCode, 0);
    ASSERT_EQ(scn({"set", file, "finishedCycles=1"}).exitCode, 0);

    ScnRun show = scn({"show", file});
    EXPECT_TRUE(show.out.contains(u("Цикл 1: -/-/-/-/-/P2222222/-"))) << show.out.toStdString();
    EXPECT_TRUE(show.out.contains(u("Цикл 2: -/-/-/-/-/P3333333/-")));

    // Refusals: no such cycle, a wrong number, the port's own number.
    const QByteArray before = readAll(file);
    const std::pair<QStringList, const char*> refused[] = {
        {{"insert-cycle", file, "3", "-/-/-/-/-/4444444/-"}, "Нет цикла 3: циклов в сценарии: 2"},
        {{"delete-cycle", file, "0"}, "Нет цикла 0"},
        {{"set-in", file, "5", "-/-/-/-/-/4444444/-"}, "Нет цикла 5"},
        {{"set-in", file, "2", "-/-/-/-/P2/-/-"}, "Не задан номер на АТС!"},
        {{"set-in", file, "2", "-/-/-/-/-/T1111111/-"}, "совпадает"},
        {{"insert-cycle", file, "1", "-/-/-/-/-/1111111/-"}, "совпадает"},
    };
    for (const auto& [args, message] : refused) {
        const ScnRun r = scn(args);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(u(message))) << r.err.toStdString();
        EXPECT_EQ(readAll(file), before) << args.join(' ').toStdString();
    }
    EXPECT_EQ(scn({"delete-cycle", file, "one"}).exitCode, 2);

    // A new number on cycle 2: its enumeration goes on from the new number.
    ASSERT_EQ(scn({"set-in", file, "2", "-/-/-/-/-/3333340/-"}).exitCode, 0);
    show = scn({"show", file});
    EXPECT_TRUE(show.out.contains(u("Цикл 2: -/-/-/-/-/P3333340/-")));
    EXPECT_TRUE(show.out.contains(u("P3333340 .. 3333340, шаг 1, номеров 1")))
        << show.out.toStdString();
    EXPECT_TRUE(show.out.contains(u("Завершено циклов: 1")));

    // Deleting the done cycle takes it out of the finished count.
    ASSERT_EQ(scn({"delete-cycle", file, "1"}).exitCode, 0);
    show = scn({"show", file});
    EXPECT_TRUE(show.out.contains(u("Завершено циклов: 0")));
    EXPECT_TRUE(show.out.contains(u("Цикл 1: -/-/-/-/-/P3333340/-")));
    EXPECT_FALSE(show.out.contains(u("Цикл 2:")));

    // Inserting before it copies its settings; the finished count starts again from 0.
    ASSERT_EQ(scn({"set", file, "--cycle", "1", "state=3", "minAttempts=9"}).exitCode, 0);
    ASSERT_EQ(scn({"set", file, "finishedCycles=1"}).exitCode, 0);
    ASSERT_EQ(scn({"insert-cycle", file, "1", "-/-/-/-/-/5555555/-"}).exitCode, 0);
    show = scn({"show", file});
    EXPECT_TRUE(show.out.contains(u("Завершено циклов: 0")));
    EXPECT_TRUE(show.out.contains(u("Цикл 1: -/-/-/-/-/P5555555/-\n  состояние: 0 (ожидает)")))
        << show.out.toStdString();
    EXPECT_EQ(show.out.count(u("не менее 9,")), 2);

    // The last cycle going leaves a new scenario.
    ASSERT_EQ(scn({"delete-cycle", file, "2"}).exitCode, 0);
    ASSERT_EQ(scn({"delete-cycle", file, "1"}).exitCode, 0);
    EXPECT_EQ(readAll(file).size(), 357);
}

TEST_F(ScnTool, BadFilesAndCommandLines) {
    QByteArray old = QByteArray("\x05V2.00") + QByteArray(351, '\0');
    ASSERT_TRUE(writeAll(file, old));
    ScnRun r = scn({"show", file});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(
        r.err.contains(u(":   [V2.00]\nне совпадает с версией программы ВЕРСА-ТЛ:   "
                         "[V2.08]")))
        << r.err.toStdString();
    r = scn({"add-cycle", file, "-/-/-/-/-/2222222/-"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(readAll(file), old);

    r = scn({"show", dir.filePath(QStringLiteral("missing.scn"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(u("Не могу открыть файл сценария")));

    r = scn({"new", dir.filePath(QStringLiteral("no-folder/x.scn"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(u("Не могу записать файл сценария")));

    EXPECT_EQ(scn({}).exitCode, 2);
    EXPECT_EQ(scn({"frobnicate", file}).exitCode, 2);
    EXPECT_EQ(scn({"set", file, "--cycle"}).exitCode, 2);
}

}  // namespace
}  // namespace zev7
