// zev7 in batch mode as a scheduler sees it: the exit code and the log "ZEV7.end", also when
// the program cannot start at all.
#include "core/text_codec.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace zev7 {
namespace {

constexpr int kProcessTimeoutMs = 60000;

class Zev7Batch : public ::testing::Test {
protected:
    void write(const QString& name, const QByteArray& bytes) {
        QFile f(home_.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    QString log() const {
        QFile f(home_.filePath(QStringLiteral("ZEV7.end")));
        return f.open(QIODevice::ReadOnly) ? fromCp1251(f.readAll()) : QString();
    }

    // zev7 on the schedule "sched.lst" of the home; its exit code (-1 when it hung or crashed).
    int run(const QString& timeScale = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZEV7_HOME"), home_.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.remove(QStringLiteral("ZEV7_TIME_SCALE"));
        if (!timeScale.isEmpty()) {
            env.insert(QStringLiteral("ZEV7_TIME_SCALE"), timeScale);
        }
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ZEV7_PATH), {QStringLiteral("sched.lst")});
        if (!p.waitForFinished(kProcessTimeoutMs) || p.exitStatus() != QProcess::NormalExit) {
            p.kill();
            p.waitForFinished();
            return -1;
        }
        return p.exitCode();
    }

    QTemporaryDir home_;
    const QString oldSuccess_ = QStringLiteral("Пакетный режим: Успешно завершен. \r\n");
};

TEST_F(Zev7Batch, AScheduleOfNothingIsNoSuccess) {
    write(QStringLiteral("ZEV7.end"), toCp1251(oldSuccess_));
    write(QStringLiteral("sched.lst"), "CLOSE l p1.scn r1.html\r\n");
    EXPECT_EQ(run(), 12);
    EXPECT_TRUE(log().endsWith(
        QStringLiteral("Пакетный режим: Нарушена структура файла расписания ZEV.lst \r\n")))
        << log().toStdString();
    EXPECT_FALSE(log().contains(QStringLiteral("Успешно")));
}

TEST_F(Zev7Batch, AStartThatFailsReplacesThePreviousRunsLog) {
    write(QStringLiteral("ZEV7.end"), toCp1251(oldSuccess_));
    write(QStringLiteral("sched.lst"), "CLOSE 1 p1.scn r1.html\r\n");
    EXPECT_EQ(run(QStringLiteral("fast")), 2);
    const QString text = log();
    EXPECT_FALSE(text.contains(QStringLiteral("Успешно"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("fast"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("Пакетный режим: Закрытие программы. \r\n")));
}

}  // namespace
}  // namespace zev7
