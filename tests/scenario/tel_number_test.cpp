#include "scenario/tel_number.h"

#include "core/strings.h"
#include "core/text_codec.h"
#include "scenario/scenario_templates.h"
#include "scenario/scenario_test_support.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>

namespace zev7 {
namespace {

using test::makeNumber;

TEST(TelNumber, DisplayTextJoinsTheFieldsAndEmptyFieldsAreDashes) {
    TelNumber n = makeNumber({"P8W", "-", "(495)", "-", "P123", "P4567", "-"});
    EXPECT_EQ(numberText(n), QStringLiteral("P8W/-/(495)/-/P123/P4567/-"));
    EXPECT_EQ(JoinNumber(n, QStringLiteral(" ")), QStringLiteral("P8W - (495) - P123 P4567 -"));

    clearNumber(n);
    EXPECT_EQ(numberText(n), QStringLiteral("-/-/-/-/-/-/-"));
    // The display text is rebuilt over a zero-filled block: no tail of the longer old text.
    EXPECT_EQ(n.text[13], '\0');
    EXPECT_EQ(n.text[139], '\0');
}

TEST(TelNumber, DialCharsKeepOnlyWhatTheModemDials) {
    EXPECT_EQ(DialChars(QStringLiteral("-")), QString());
    EXPECT_EQ(DialChars(QString()), QString());
    EXPECT_EQ(DialChars(QStringLiteral("(495)")), QStringLiteral("495"));
    EXPECT_EQ(DialChars(QStringLiteral("P8W,1!")), QStringLiteral("81"));
    EXPECT_EQ(DialChars(QStringLiteral("t12#*abcd")), QStringLiteral("12#*ABCD"));
}

TEST(TelNumber, SameNumberComparesOnlyTheDialledCodeAndNumber) {
    const TelNumber out = makeNumber({"-", "-", "(495)", "-", "P123", "P4567", "-"});
    const TelNumber in = makeNumber({"-", "-", "P495", "-", "P123", "T4567", "-"});
    EXPECT_TRUE(SameNumber(out, in));

    // Pre-dial fields and the digits after the number do not make another line.
    const TelNumber viaPrefix = makeNumber({"P8W", "P9", "P495", "-", "P123", "T4567", "P55"});
    EXPECT_TRUE(SameNumber(out, viaPrefix));

    const TelNumber other = makeNumber({"-", "-", "P495", "-", "P123", "T4568", "-"});
    EXPECT_FALSE(SameNumber(out, other));
}

TEST(TelNumber, CheckNumberNamesTheMissingPartInTheRightWording) {
    RecordingMessages messages;
    const TelNumber noNumber = makeNumber({"-", "-", "-", "-", "-", "-", "-"});
    EXPECT_FALSE(CheckNumber(noNumber, NumberRole::Incoming, messages));
    EXPECT_FALSE(CheckNumber(noNumber, NumberRole::Outgoing, messages));

    const TelNumber noCity = makeNumber({"-", "-", "-", "-", "P2", "P1111111", "-"});
    EXPECT_FALSE(CheckNumber(noCity, NumberRole::Incoming, messages));
    EXPECT_FALSE(CheckNumber(noCity, NumberRole::Outgoing, messages));

    const TelNumber noExchange = makeNumber({"-", "-", "(495)", "-", "-", "P1111111", "-"});
    EXPECT_FALSE(CheckNumber(noExchange, NumberRole::Incoming, messages));
    EXPECT_FALSE(CheckNumber(noExchange, NumberRole::Outgoing, messages));

    ASSERT_EQ(messages.count(), 6);
    const QList<RecordingMessages::Entry> e = messages.entries();
    EXPECT_EQ(e[0].text, QString::fromUtf8("Не задан номер на АТС!"));
    EXPECT_EQ(e[1].text, QString::fromUtf8("Не задан номер на АТС на исходящей станции!"));
    EXPECT_EQ(e[2].text, QString::fromUtf8("Не задан код города!\n Для городского номера код "
                                           "города следует задавать в скобках!"));
    EXPECT_EQ(e[3].text, QString::fromUtf8("Не задан код города на исходящей станции!\n Для "
                                           "городского номера код города следует задавать в "
                                           "скобках!"));
    EXPECT_EQ(e[4].text, QString::fromUtf8("Не задан номер АТС!"));
    EXPECT_EQ(e[5].text, QString::fromUtf8("Не задан номер АТС на исходящей станции!"));
    for (const auto& entry : e) {
        EXPECT_EQ(entry.caption, QString::fromUtf8("Ошибка!"));
        EXPECT_EQ(entry.icon, MessageIcon::Error);
    }

    messages.clear();
    // A local call (neither exchange nor city code) and a full long-distance number pass.
    EXPECT_TRUE(CheckNumber(makeNumber({"-", "-", "-", "-", "-", "P1111111", "-"}),
                            NumberRole::Incoming, messages));
    EXPECT_TRUE(CheckNumber(makeNumber({"-", "-", "(495)", "-", "P2", "P1111111", "-"}),
                            NumberRole::Outgoing, messages));
    EXPECT_EQ(messages.count(), 0);
}

// Batch mode has nobody to read the message: the run must end.
class BatchMessages : public RecordingMessages {
public:
    bool batchMode() const override { return true; }
    void abortBatch(int code) override { abortedWith = code; }
    int abortedWith = 0;
};

TEST(TelNumber, AFailedCheckEndsTheBatch) {
    BatchMessages messages;
    EXPECT_FALSE(CheckNumber(makeNumber({"-", "-", "-", "-", "-", "-", "-"}), NumberRole::Outgoing,
                             messages));
    EXPECT_EQ(messages.abortedWith, -5);
}

TEST(TelNumber, DigitRunIsTheFirstRunOfDecimalDigits) {
    const auto run = firstDigitRun(QStringLiteral("T#0099W5"));
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ(run->position, 2);
    EXPECT_EQ(run->length, 4);
    EXPECT_EQ(run->value, 99);
    EXPECT_FALSE(firstDigitRun(QStringLiteral("PW-")).has_value());
    EXPECT_EQ(enumStartValue(QStringLiteral("-")), 0);
    // A field of 19 digits does not overflow.
    EXPECT_EQ(enumStartValue(QString(19, QLatin1Char('9'))), kMaxDigitRunValue);
}

CycleRecord enumeratedCycle(const char* numOnAtx, std::int32_t end, std::int32_t step) {
    CycleRecord c = templateCycle();
    c.inNumber = makeNumber({"-", "-", "-", "-", "-", numOnAtx, "-"});
    c.numEnum[NUM_ON_ATX].on = 1;
    c.numEnum[NUM_ON_ATX].endValue = end;
    c.numEnum[NUM_ON_ATX].step = step;
    return c;
}

TEST(NumberEnumeration, CountsUpKeepingTheWidthAndRestoresTheFirstNumber) {
    CycleRecord c = enumeratedCycle("P0099", 101, 1);
    EXPECT_EQ(EnumCount(c.numEnum[NUM_ON_ATX], QStringLiteral("P0099")), 3);

    EXPECT_TRUE(NextNumber(c));
    EXPECT_EQ(numberField(c.inNumber, NUM_ON_ATX), QStringLiteral("P0100"));
    EXPECT_EQ(fieldText(c.numEnum[NUM_ON_ATX].savedText), QStringLiteral("P0099"));
    EXPECT_EQ(numberText(c.inNumber), QStringLiteral("-/-/-/-/-/P0100/-"));
    EXPECT_TRUE(NextNumber(c));
    EXPECT_EQ(numberField(c.inNumber, NUM_ON_ATX), QStringLiteral("P0101"));
    EXPECT_FALSE(NextNumber(c));
    EXPECT_EQ(numberField(c.inNumber, NUM_ON_ATX), QStringLiteral("P0099"));
    EXPECT_EQ(numberText(c.inNumber), QStringLiteral("-/-/-/-/-/P0099/-"));
    EXPECT_EQ(fieldText(c.numEnum[NUM_ON_ATX].savedText), QString());
}

TEST(NumberEnumeration, CountsDownAndStopsBeforeANegativeNumber) {
    CycleRecord c = enumeratedCycle("P3W1", 0, -2);
    EXPECT_EQ(EnumCount(c.numEnum[NUM_ON_ATX], QStringLiteral("P3W1")), 2);
    EXPECT_TRUE(NextNumber(c));
    EXPECT_EQ(numberField(c.inNumber, NUM_ON_ATX), QStringLiteral("P1W1"));
    EXPECT_FALSE(NextNumber(c));  // -1 would be below the end and is no number
    EXPECT_EQ(numberField(c.inNumber, NUM_ON_ATX), QStringLiteral("P3W1"));

    // An end below zero written by hand must not put a minus sign into the number.
    CycleRecord odd = enumeratedCycle("P1", -5, -1);
    EXPECT_TRUE(NextNumber(odd));
    EXPECT_EQ(numberField(odd.inNumber, NUM_ON_ATX), QStringLiteral("P0"));
    EXPECT_FALSE(NextNumber(odd));
    EXPECT_EQ(numberField(odd.inNumber, NUM_ON_ATX), QStringLiteral("P1"));
}

TEST(NumberEnumeration, TheRightmostFieldTurnsFastest) {
    CycleRecord c = enumeratedCycle("P10", 11, 1);
    setNumberField(c.inNumber, NUM_ATX, QStringLiteral("P2"));
    c.numEnum[NUM_ATX].on = 1;
    c.numEnum[NUM_ATX].endValue = 3;
    c.numEnum[NUM_ATX].step = 1;
    rebuildNumberText(c.inNumber);
    QStringList seen{numberText(c.inNumber)};
    while (NextNumber(c)) {
        seen << numberText(c.inNumber);
    }
    EXPECT_EQ(seen, (QStringList{"-/-/-/-/P2/P10/-", "-/-/-/-/P2/P11/-", "-/-/-/-/P3/P10/-",
                                 "-/-/-/-/P3/P11/-"}));
    EXPECT_EQ(numberText(c.inNumber), QStringLiteral("-/-/-/-/P2/P10/-"));
}

TEST(NumberEnumeration, FieldsWithoutEnumerationNeverMove) {
    CycleRecord c = templateCycle();
    c.inNumber = makeNumber({"-", "-", "-", "-", "-", "P2222222", "-"});
    EXPECT_FALSE(NextNumber(c));
    EXPECT_EQ(numberText(c.inNumber), QStringLiteral("-/-/-/-/-/P2222222/-"));

    // A step of 0 from a damaged file counts as 1 instead of looping for ever.
    CycleRecord zero = enumeratedCycle("P5", 6, 0);
    EXPECT_TRUE(NextNumber(zero));
    EXPECT_FALSE(NextNumber(zero));
    EXPECT_EQ(EnumCount(zero.numEnum[NUM_ON_ATX], QStringLiteral("P5")), 2);
}

TEST(NumberEnumeration, CountOfASeriesWhoseEndLiesAgainstItsStep) {
    NumEnum e{};
    e.on = 1;
    e.endValue = 50;
    e.step = 1;
    EXPECT_EQ(EnumCount(e, QStringLiteral("P99")), 1);
    e.on = 0;
    EXPECT_EQ(EnumCount(e, QStringLiteral("P99")), 1);
    e.on = 1;
    e.endValue = 10;
    e.step = -3;
    EXPECT_EQ(EnumCount(e, QStringLiteral("P20")), 4);  // 20, 17, 14, 11
}

TEST(DialTime, PulseAndToneDigitsWaitsAndBracketedCodes) {
    EXPECT_DOUBLE_EQ(DialTime(QStringLiteral("P12"), 2.5, 1.0), 3.8);
    EXPECT_DOUBLE_EQ(DialTime(QStringLiteral("T12"), 2.5, 1.0), 2.4);
    EXPECT_DOUBLE_EQ(DialTime(QStringLiteral("P1W2"), 2.5, 1.0), 6.3);
    // 0 is ten pulses; "!" is a flash; "," a pause; tone-only symbols cost nothing in pulse.
    EXPECT_DOUBLE_EQ(DialTime(QStringLiteral("P0"), 2.5, 1.0), 3.75);
    EXPECT_DOUBLE_EQ(DialTime(QStringLiteral("!,#"), 2.5, 3.0), 5.5);
    EXPECT_DOUBLE_EQ(DialTime(QStringLiteral("T#"), 2.5, 1.0), 2.2);
    EXPECT_DOUBLE_EQ(DialTime(QStringLiteral("-/(495)/-"), 2.5, 1.0), 2.0);
}

TEST(DialCommands, AWaitSplitsTheNumberIntoStages) {
    const TelNumber n = makeNumber({"P8W", "-", "(495)", "-", "P123", "P4567", "-"});
    EXPECT_EQ(dialCommands(n), (QStringList{"ATDP8;", "ATDP123P4567;"}));

    // A dialled city code stays; lower case is sent in upper case.
    const TelNumber longDistance = makeNumber({"p8w", "t10", "P495", "-", "P123", "P4567", "-"});
    EXPECT_EQ(dialCommands(longDistance), (QStringList{"ATDP8;", "ATDT10P495P123P4567;"}));

    const TelNumber local = makeNumber({"-", "-", "-", "-", "-", "P2222222", "-"});
    EXPECT_EQ(dialCommands(local), QStringList{"ATDP2222222;"});
}

}  // namespace
}  // namespace zev7
