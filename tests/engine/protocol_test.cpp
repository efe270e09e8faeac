#include "engine/protocol/port_protocol.h"
#include "engine/protocol/protocol_file.h"
#include "engine/protocol/protocol_line.h"
#include "scenario/port_event.h"
#include "support/temp_home.h"

#include "core/clocks.h"
#include "core/text_codec.h"

#include "support/file_size_limit.h"
#include "support/recording_messages.h"
#include "support/recording_port_view.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace zev7 {
namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(9, 5, 7));

QString u(const char* text) {
    return QString::fromUtf8(text);
}

TEST(ProtocolLine, PortAndCycleEvents) {
    EXPECT_EQ(protocolLine(kNow, 3, eventMessage(PortEvent::ScenarioStarted, 0, QString())),
              u("08.12.26 09:05:07 Порт: 3 Сценарий запущен!"));
    EXPECT_EQ(
        protocolLine(kNow, 12, eventMessage(PortEvent::CycleStarted, 2, "-/-/-/-/-/2222222/-")),
        u("08.12.26 09:05:07 Порт: 12 Цикл 2 -/-/-/-/-/2222222/- отработка начата!"));
    // No cycle current: number 0 and "-".
    EXPECT_EQ(eventMessage(PortEvent::CycleFinished, 0, "ignored"), u("Цикл 0 - завершен!"));
    // Texts with line breaks stay on one line.
    EXPECT_EQ(protocolLine(kNow, 1, eventMessage(PortEvent::NoAnswer, 0, QString())),
              u("08.12.26 09:05:07 Порт: 1 Нет ответа !  Возможно модем отключен!"));
    EXPECT_EQ(eventMessage(PortEvent::CycleCancelledFrequency, 4, "N"),
              u("Цикл 4 N отменен ! Частота сигнала автоответчика \n не соответствует "
                "диапазону рабочих частот модема!"));
    EXPECT_EQ(protocolLine(kNow, 1, u("Ошибка!\r\nПорт занят")),
              u("08.12.26 09:05:07 Порт: 1 Ошибка!Порт занят"));
}

class ProtocolFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home_.isValid()); }

    QByteArray read(int port) {
        QFile f(protocolFilePath(port));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    test::TempHome home_;
};

TEST_F(ProtocolFileTest, AppendsWindows1251LinesWithABlankPerPort) {
    ASSERT_TRUE(QDir(home_.path()).mkpath("Protocol"));
    EXPECT_EQ(protocolFilePath(7), home_.path() + "/Protocol/ProtocolComPort7.txt");
    const QString first =
        protocolLine(kNow, 7, eventMessage(PortEvent::ScenarioStarted, 0, QString()));
    const QString second =
        protocolLine(kNow, 7, eventMessage(PortEvent::ScenarioFinished, 0, QString()));
    EXPECT_EQ(appendProtocolFileLine(7, first), QString());
    EXPECT_EQ(appendProtocolFileLine(7, second), QString());
    EXPECT_EQ(appendProtocolFileLine(8, first), QString());
    EXPECT_EQ(read(7), toCp1251(first) + " \n" + toCp1251(second) + " \n");
    EXPECT_EQ(read(8), toCp1251(first) + " \n");

    EXPECT_TRUE(removeProtocolFile(7));
    EXPECT_FALSE(QFile::exists(protocolFilePath(7)));
    EXPECT_TRUE(removeProtocolFile(7));  // already gone
}

// A protocol that cannot take a line (a missing folder, a full disk) keeps its last whole
// line; the first of a run of failures is reported with the file's name, once.
TEST_F(ProtocolFileTest, LinesTheFileCannotTakeAreReportedOncePerRun) {
    RecordingMessages messages;
    RecordingPortView view;
    ManualClock clock;
    PortProtocol protocol(2, clock, view, messages);
    protocol.AppendProtocolLine(u("первая"));
    protocol.AppendProtocolLine(u("вторая"));
    EXPECT_FALSE(QFile::exists(protocolFilePath(2)));
    ASSERT_EQ(messages.count(), 1);
    EXPECT_TRUE(messages.texts()[0].contains(protocolFilePath(2)));

    ASSERT_TRUE(QDir(home_.path()).mkpath("Protocol"));
    protocol.AppendProtocolLine(u("третья"));
    const QByteArray before = read(2);
    const int result = test::runWithFileSizeLimit(before.size() + 10, [&] {
        RecordingMessages inChild;
        PortProtocol full(2, clock, view, inChild);
        full.AppendProtocolLine(u("строка длиннее десяти байт"));
        full.AppendProtocolLine(u("и еще одна"));
        return inChild.count() == 1 && inChild.texts()[0].contains(protocolFilePath(2)) ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(read(2), before);
    EXPECT_EQ(messages.count(), 1);
}

}  // namespace
}  // namespace zev7
