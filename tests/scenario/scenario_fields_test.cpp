#include "scenario/scenario_fields.h"
#include "teliq/frequency_band.h"

#include "scenario/ole_date.h"
#include "scenario/scenario_templates.h"
#include "scenario/scenario_test_support.h"
#include "scenario/tel_number.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zev7 {
namespace {

const QDateTime kBase(QDate(2026, 12, 8), QTime(10, 0));

TEST(HeaderFields, ValuesInsideTheEditorsRangesAreStored) {
    ScenarHeader h = templateHeader(toOleDate(kBase));
    EXPECT_EQ(setHeaderField(h, QStringLiteral("runCount"), QStringLiteral("3")), QString());
    EXPECT_EQ(setHeaderField(h, QStringLiteral("repeatMode"), QStringLiteral("1")), QString());
    EXPECT_EQ(setHeaderField(h, QStringLiteral("repeatInterval"), QStringLiteral("90")), QString());
    EXPECT_EQ(+h.repeatInterval, 90);
    EXPECT_EQ(setHeaderField(h, QStringLiteral("repeatInterval"), QStringLiteral("012:55")),
              QString());
    EXPECT_EQ(+h.repeatInterval, 775);
    EXPECT_EQ(setHeaderField(h, QStringLiteral("baseTime"), QStringLiteral("09.12.26 11:30")),
              QString());
    EXPECT_EQ(fromOleDate(h.baseTime), QDateTime(QDate(2026, 12, 9), QTime(11, 30)));
    EXPECT_EQ(setHeaderField(h, QStringLiteral("aaSignalTime"), QStringLiteral("0.1")), QString());
    EXPECT_EQ(+h.runCount, 3);
    EXPECT_EQ(+h.repeatMode, 1);
    EXPECT_DOUBLE_EQ(+h.aaSignalTime, 0.1);
}

TEST(HeaderFields, OutOfRangeAndMalformedValuesAreRefusedUntouched) {
    ScenarHeader h = templateHeader(toOleDate(kBase));
    const ScenarHeader before = h;
    const std::pair<const char*, const char*> refused[] = {
        {"runCount", "0"},
        {"runCount", "1000"},
        {"runCount", "2.5"},
        {"repeatMode", "3"},
        {"aaLevel", "1"},
        {"aaFrequency", "1800"},
        {"aaFrequency", "2701"},
        {"aaRings", "5"},
        {"aaDelayOn", "0.1"},
        {"toneLevel", "-41"},
        {"repeatInterval", "12:75"},
        {"repeatInterval", "-1"},
        {"baseTime", "31.02.26 10:00"},
        {"finishedCycles", "1"},
        {"cycleCount", "3"},
        {"aaSignalTime", "nan"},
        {"noSuchField", "1"},
    };
    for (const auto& [name, value] : refused) {
        EXPECT_FALSE(
            setHeaderField(h, QString::fromLatin1(name), QString::fromLatin1(value)).isEmpty())
            << name << "=" << value;
    }
    EXPECT_EQ(std::memcmp(&h, &before, sizeof h), 0);
}

TEST(HeaderFields, TheToneCheckListensInTheBandOfTheStationsFrequency) {
    ScenarHeader h = templateHeader(0);
    EXPECT_EQ(setHeaderField(h, QStringLiteral("aaFrequency"), QStringLiteral("2400")), QString());
    EXPECT_EQ(setHeaderField(h, QStringLiteral("toneCheck"), QStringLiteral("1")), QString());
    EXPECT_EQ(+h.toneCheck, 3);
    EXPECT_EQ(setHeaderField(h, QStringLiteral("aaFrequency"), QStringLiteral("600")), QString());
    EXPECT_EQ(+h.toneCheck, 1);
    EXPECT_EQ(toneBandFor(889), 1);
    EXPECT_EQ(toneBandFor(890), 2);
    EXPECT_EQ(toneBandFor(1500), 2);
    EXPECT_EQ(toneBandFor(2100), 3);
    EXPECT_EQ(toneBandFor(2701), 0);
}

TEST(CycleFields, StartWindowIsGivenAbsoluteAndStoredRelative) {
    const double base = toOleDate(kBase);
    CycleRecord c = templateCycle();
    EXPECT_EQ(setCycleField(c, base, QStringLiteral("startFrom"), QStringLiteral("08.12.26 12:00")),
              QString());
    EXPECT_EQ(
        setCycleField(c, base, QStringLiteral("startUntil"), QStringLiteral("09.12.26 12:00")),
        QString());
    EXPECT_NEAR(+c.startFrom, 2.0 / 24.0, 1e-9);
    EXPECT_NEAR(+c.startUntil, 1.0 + 2.0 / 24.0, 1e-9);
    EXPECT_EQ(checkCycleOrder(c, base), QString());

    EXPECT_FALSE(
        setCycleField(c, base, QStringLiteral("startFrom"), QStringLiteral("08.12.26 09:59"))
            .isEmpty());
    EXPECT_EQ(
        setCycleField(c, base, QStringLiteral("startUntil"), QStringLiteral("08.12.26 11:00")),
        QString());
    EXPECT_FALSE(checkCycleOrder(c, base).isEmpty());
}

TEST(CycleFields, RangesOrderAndDerivedFields) {
    CycleRecord c = templateCycle();
    EXPECT_EQ(setCycleField(c, 0, QStringLiteral("minAttempts"), QStringLiteral("5")), QString());
    EXPECT_EQ(setCycleField(c, 0, QStringLiteral("maxAttempts"), QStringLiteral("20")), QString());
    EXPECT_EQ(setCycleField(c, 0, QStringLiteral("holdMask"), QStringLiteral("0x802")), QString());
    EXPECT_EQ(+c.holdMask, 0x802u);
    EXPECT_EQ(setCycleField(c, 0, QStringLiteral("holdCount[11]"), QStringLiteral("100")),
              QString());
    EXPECT_EQ(+c.holdCount[11], 100);
    EXPECT_EQ(setCycleField(c, 0, QStringLiteral("busyPeriodMin"), QStringLiteral("0.9")),
              QString());

    for (const auto& [name, value] : {std::pair{"minAttempts", "0"},
                                      {"maxAttempts", "10001"},
                                      {"normAtMin", "100.5"},
                                      {"dialToneThreshold", "-9"},
                                      {"pause", "3"},
                                      {"waitTime", "101"},
                                      {"holdMask", "4096"},
                                      {"holdCount[12]", "1"},
                                      {"holdCount[0]", "0"},
                                      {"aaFrequency", "2000"},
                                      {"overloadPeriodMax", "1"},
                                      {"estimatedDuration", "1"},
                                      {"state", "4"},
                                      {"minAttempts", "abc"}}) {
        EXPECT_FALSE(
            setCycleField(c, 0, QString::fromLatin1(name), QString::fromLatin1(value)).isEmpty())
            << name << "=" << value;
    }

    EXPECT_EQ(checkCycleOrder(c, 0), QString());
    c.minAttempts = 30;
    EXPECT_FALSE(checkCycleOrder(c, 0).isEmpty());
    c.minAttempts = 5;

    finishCycleSettings(c);
    EXPECT_DOUBLE_EQ(+c.overloadPeriodMax, 0.9);
    EXPECT_GT(+c.estimatedDuration, 0.0);
}

TEST(CycleFields, EnumerationFollowsTheEditorsRules) {
    CycleRecord c = templateCycle();
    c.inNumber = test::makeNumber({"-", "-", "-", "-", "-", "P0099", "-"});
    EXPECT_EQ(setCycleField(c, 0, QStringLiteral("numEnum[5]"), QStringLiteral("101:1")),
              QString());
    EXPECT_EQ(+c.numEnum[NUM_ON_ATX].on, 1);
    EXPECT_EQ(+c.numEnum[NUM_ON_ATX].endValue, 101);
    finishCycleSettings(c);
    EXPECT_EQ(+c.anyEnum, 1);

    EXPECT_FALSE(setCycleField(c, 0, QStringLiteral("numEnum[5]"), QStringLiteral("50:1"))
                     .isEmpty());  // against the step
    EXPECT_FALSE(setCycleField(c, 0, QStringLiteral("numEnum[5]"), QStringLiteral("10000:1"))
                     .isEmpty());  // more digits than the field
    EXPECT_FALSE(setCycleField(c, 0, QStringLiteral("numEnum[0]"), QStringLiteral("5:1"))
                     .isEmpty());  // "-" has no number to count with
    EXPECT_FALSE(
        setCycleField(c, 0, QStringLiteral("numEnum[7]"), QStringLiteral("off")).isEmpty());
    EXPECT_EQ(setCycleField(c, 0, QStringLiteral("numEnum[5]"), QStringLiteral("off")), QString());
    finishCycleSettings(c);
    EXPECT_EQ(+c.anyEnum, 0);
}

}  // namespace
}  // namespace zev7
