#include "scenario/number_editor_rules.h"

#include "scenario/scenario_templates.h"
#include "scenario/scenario_test_support.h"
#include "scenario/tel_number.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>

#include <vector>

namespace zev7 {
namespace {

using test::makeNumber;

TEST(TypingCheck, ToneSymbolsOnlyAfterTAndBracketsOnlyInTheCityCode) {
    EXPECT_EQ(cleanTypedField(QStringLiteral("T123#"), NUM_ON_ATX).wrongSymbols, 0);
    EXPECT_EQ(cleanTypedField(QStringLiteral("t1*a"), NUM_ON_ATX).wrongSymbols, 0);
    EXPECT_EQ(cleanTypedField(QStringLiteral("P1W2,3!-"), NUM_ON_ATX).wrongSymbols, 0);
    EXPECT_EQ(cleanTypedField(QStringLiteral("8(495)"), CODE_CITY).wrongSymbols, 0);

    const TypedField beforeT = cleanTypedField(QStringLiteral("#123"), NUM_ON_ATX);
    EXPECT_EQ(beforeT.text, QStringLiteral("123"));
    EXPECT_EQ(beforeT.wrongSymbols, 1);

    // P switches back to pulse: a tone symbol after it is wrong again.
    EXPECT_EQ(cleanTypedField(QStringLiteral("T1P#"), NUM_ON_ATX).text, QStringLiteral("T1P"));

    EXPECT_EQ(cleanTypedField(QStringLiteral("(495)"), NUM_ATX).text, QStringLiteral("495"));
    const TypedField letters = cleanTypedField(QString::fromUtf8("12xЖ3 "), NUM_ON_ATX);
    EXPECT_EQ(letters.text, QStringLiteral("123"));
    EXPECT_EQ(letters.wrongSymbols, 3);
}

TEST(TypingCheck, EveryWrongSymbolIsReported) {
    RecordingMessages messages;
    EXPECT_EQ(typingCheck(QStringLiteral("1#2#"), ADD_CALL, messages), QStringLiteral("12"));
    ASSERT_EQ(messages.count(), 2);
    EXPECT_EQ(messages.entries()[0].text, QString::fromUtf8("Неверный символ!"));
    EXPECT_EQ(messages.entries()[0].caption, QString::fromUtf8("Ошибка!"));
}

TEST(Normalisation, CompletesFieldsAsOkDoes) {
    EXPECT_EQ(normalizeField(QStringLiteral("8(495)")), QStringLiteral("(495)"));
    EXPECT_EQ(normalizeField(QStringLiteral("(495)77")), QStringLiteral("(495)"));
    EXPECT_EQ(normalizeField(QStringLiteral("123")), QStringLiteral("P123"));
    EXPECT_EQ(normalizeField(QStringLiteral("T123#")), QStringLiteral("T123#"));
    EXPECT_EQ(normalizeField(QStringLiteral("p5")), QStringLiteral("p5"));
    EXPECT_EQ(normalizeField(QString()), QStringLiteral("-"));
    EXPECT_EQ(normalizeField(QStringLiteral("-")), QStringLiteral("-"));
    EXPECT_EQ(normalizeField(QStringLiteral("1-2-3")), QStringLiteral("P123"));
    EXPECT_EQ(normalizeField(QStringLiteral("--")), QStringLiteral("-"));
    EXPECT_EQ(normalizeField(QStringLiteral("W5")), QStringLiteral("PW5"));
}

struct EditorFixture : ::testing::Test {
    ScenarHeader header = templateHeader(0);
    std::vector<CycleRecord> cycles{templateCycle(), templateCycle()};
    RecordingMessages messages;

    NumberFields typed(std::initializer_list<const char*> f) {
        NumberFields out;
        int i = 0;
        for (const char* s : f) {
            out[i++] = QString::fromUtf8(s);
        }
        return out;
    }
};

TEST_F(EditorFixture, OkStoresTheNormalisedNumberIntoTheCycle) {
    cycles[0].inNumber = makeNumber({"-", "-", "-", "-", "-", "P2222222", "-"});
    cycles[1].numEnum[NUM_ON_ATX].on = 1;
    NumberFields fields = typed({"", "", "8(495)", "", "123", "1-2-3", "T5#"});
    ASSERT_TRUE(acceptNumberEdit(fields, header, cycles, 1, messages));
    EXPECT_EQ(fields[CODE_CITY], QStringLiteral("(495)"));
    EXPECT_EQ(numberText(cycles[1].inNumber), QStringLiteral("-/-/(495)/-/P123/P123/T5#"));
    EXPECT_EQ(+cycles[1].anyEnum, 1);
    EXPECT_EQ(numberText(header.outNumber), QStringLiteral("-/-/-/-/-/-/-"));
    EXPECT_EQ(messages.count(), 0);
}

TEST_F(EditorFixture, OkUsesTheIncomingWordingAlsoForTheOutgoingNumber) {
    NumberFields fields = typed({"-", "-", "-", "-", "-", "-", "-"});
    EXPECT_FALSE(acceptNumberEdit(fields, header, cycles, -1, messages));
    EXPECT_EQ(messages.texts(), QStringList{QString::fromUtf8("Не задан номер на АТС!")});
}

TEST_F(EditorFixture, NoCycleMayCallTheOutgoingNumber) {
    cycles[0].inNumber = makeNumber({"-", "-", "-", "-", "-", "P1111111", "-"});
    NumberFields fields = typed({"-", "-", "-", "-", "-", "T1111111", "-"});
    EXPECT_FALSE(acceptNumberEdit(fields, header, cycles, -1, messages));
    EXPECT_EQ(messages.texts(),
              QStringList{QString::fromUtf8("Телефонный номер исходящей совпадает с\nтелефонным "
                                            "номером цикла")});

    messages.clear();
    NumberFields other = typed({"-", "-", "-", "-", "-", "2222222", "-"});
    EXPECT_TRUE(acceptNumberEdit(other, header, cycles, -1, messages));
    EXPECT_EQ(numberText(header.outNumber), QStringLiteral("-/-/-/-/-/P2222222/-"));
}

TEST_F(EditorFixture, AFieldThatOutgrowsTheRecordIsRefusedNotCut) {
    NumberFields fields = typed({"-", "-", "-", "-", "-", "1234567890123456789", "-"});
    EXPECT_FALSE(acceptNumberEdit(fields, header, cycles, 0, messages));
    EXPECT_EQ(messages.count(), 1);
    EXPECT_EQ(numberText(cycles[0].inNumber), QStringLiteral("-/-/-/-/-/-/-"));
}

TEST(EnumControls, StartValueDecidesWhetherAFieldCanBeEnumerated) {
    NumEnum e{};
    e.on = 1;
    e.step = 1;
    e.endValue = 5;
    EnumControls c = enumOnOpen(e, QStringLiteral("P0"));
    EXPECT_FALSE(c.enabled);
    EXPECT_FALSE(c.checked);
    EXPECT_EQ(+e.on, 0);

    c = enumOnCheck(e, QStringLiteral("P0099"), true);
    EXPECT_TRUE(c.checked);
    EXPECT_TRUE(c.valuesEnabled);
    EXPECT_EQ(c.endMaximum, 9999);
    EXPECT_EQ(+e.on, 1);

    // The end value is pulled to the start when the text moves past it.
    c = enumOnTextChange(e, QStringLiteral("P0099"));
    EXPECT_EQ(+e.endValue, 99);
    EXPECT_EQ(c.endShown, 99);

    c = enumOnTextChange(e, QStringLiteral("P-"));
    EXPECT_FALSE(c.enabled);
    EXPECT_EQ(+e.on, 0);
    EXPECT_EQ(c.endShown, 0);
    EXPECT_EQ(c.stepShown, 1);
    EXPECT_EQ(c.endMaximum, 0);

    EXPECT_EQ(enumEndMaximum(QString(12, QLatin1Char('1'))), kEnumEndMaximum);
}

TEST(EnumControls, EndValueAndStepFollowTheDirection) {
    NumEnum e{};
    e.step = 1;
    const QString text = QStringLiteral("P0100");
    enumOnCheck(e, text, true);

    enumOnEndChange(e, text, 50);  // below the start while counting up
    EXPECT_EQ(+e.endValue, 100);
    enumOnEndChange(e, text, 150);
    EXPECT_EQ(+e.endValue, 150);

    enumOnStepChange(e, text, -5);  // counting down: 150 lies against the step
    EXPECT_EQ(+e.step, -5);
    EXPECT_EQ(+e.endValue, 100);
    enumOnEndChange(e, text, 20);
    EXPECT_EQ(+e.endValue, 20);

    enumOnStepChange(e, text, 0);
    EXPECT_EQ(+e.step, 1);
    EXPECT_EQ(+e.endValue, 100);

    // Unchecked, the edits show 0 and 1 and changes don't reach the entry.
    const EnumControls off = enumOnCheck(e, text, false);
    EXPECT_EQ(off.endShown, 0);
    EXPECT_EQ(off.stepShown, 1);
    enumOnStepChange(e, text, 7);
    EXPECT_EQ(+e.step, 1);
}

}  // namespace
}  // namespace zev7
