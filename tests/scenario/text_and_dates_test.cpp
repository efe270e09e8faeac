#include "core/text_codec.h"
#include "scenario/ole_date.h"
#include "scenario/records.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace zev7 {
namespace {

TEST(TextCodec, RoundTripsRussianThroughWindows1251) {
    const QString text = QString::fromUtf8("Ошибка! № на АТС");
    const QByteArray bytes = toCp1251(text);
    EXPECT_EQ(bytes.toHex(), QByteArray("cef8e8e1eae02120b920ede020c0d2d1"));
    EXPECT_EQ(fromCp1251(bytes), text);
}

TEST(TextCodec, FixedFieldsStopAtNulAndAlwaysKeepOne) {
    char field[kNumberFieldSize];
    setFieldText(field, QStringLiteral("P123"));
    EXPECT_EQ(fieldText(field), QStringLiteral("P123"));
    EXPECT_EQ(field[4], '\0');
    EXPECT_EQ(field[19], '\0');

    setFieldText(field, QString(30, QLatin1Char('7')));
    EXPECT_EQ(fieldText(field).size(), 19);
    EXPECT_EQ(field[19], '\0');

    // A field written by someone else without a terminator ends at the field's end.
    std::memset(field, '5', sizeof field);
    EXPECT_EQ(fieldText(field).size(), 20);
}

TEST(OleDate, CountsDaysFromTheLastDaysOf1899) {
    EXPECT_DOUBLE_EQ(toOleDate(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), 0.0);
    EXPECT_DOUBLE_EQ(toOleDate(QDateTime(QDate(1900, 1, 1), QTime(18, 0))), 2.75);
    EXPECT_EQ(fromOleDate(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));

    const QDateTime t(QDate(2026, 12, 8), QTime(10, 15, 42, 500));
    EXPECT_EQ(fromOleDate(toOleDate(t)), t);
    EXPECT_FALSE(fromOleDate(std::numeric_limits<double>::quiet_NaN()).isValid());
}

TEST(OleDate, ProgramFormats) {
    const QDateTime t(QDate(2026, 3, 4), QTime(7, 5, 9));
    EXPECT_EQ(formatDateTimeMinutes(t), QStringLiteral("04.03.26 07:05"));
    EXPECT_EQ(formatDateTimeSeconds(t), QStringLiteral("04.03.26 07:05:09"));
    EXPECT_EQ(formatDate(t.date()), QStringLiteral("04.03.2026"));
    EXPECT_EQ(formatTime(t.time()), QStringLiteral("07:05:09"));

    EXPECT_EQ(parseDateTimeMinutes(QStringLiteral("08.12.26 10:00")),
              QDateTime(QDate(2026, 12, 8), QTime(10, 0)));
    EXPECT_FALSE(parseDateTimeMinutes(QStringLiteral("31.02.26 10:00")).isValid());
    EXPECT_FALSE(parseDateTimeMinutes(QStringLiteral("08.12.26 25:00")).isValid());
    EXPECT_FALSE(parseDateTimeMinutes(QStringLiteral("tomorrow")).isValid());
}

TEST(UserMessages, RecordingAnswersFromItsQueueThenTheDefault) {
    RecordingMessages messages;
    messages.queueAnswer(true);
    EXPECT_TRUE(messages.askYesNo(QStringLiteral("first")));
    EXPECT_FALSE(messages.askYesNo(QStringLiteral("second")));
    messages.error(QStringLiteral("boom"));
    const auto entries = messages.entries();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_TRUE(entries[0].question);
    EXPECT_EQ(entries[0].caption, QString::fromUtf8("Внимание!"));
    EXPECT_EQ(entries[2].caption, QString::fromUtf8("Ошибка!"));
    EXPECT_EQ(entries[2].icon, MessageIcon::Error);
}

}  // namespace
}  // namespace zev7
