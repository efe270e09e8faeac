#include "engine/cycle/cycle_result_texts.h"

#include "scenario/ole_date.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zev7 {
namespace {

const QString kSuccessText = QString::fromUtf8("Вызов состоялся           ");

CycleRecord normCycle() {
    CycleRecord c;
    std::memset(&c, 0, sizeof c);
    c.minAttempts = 5;
    c.maxAttempts = 10;
    c.normAtMin = 1;
    c.normAtMax = 2.5;
    c.aaNominalLevel = -10;
    return c;
}

TEST(ResultCode, TextsPaddedAsStored) {
    EXPECT_EQ(resultCodeText(ResultCode::Success), kSuccessText);
    EXPECT_EQ(resultCodeText(ResultCode::CongestionWhileDialling),
              QString::fromUtf8("Перегрузка на исх.при наборе"));
    EXPECT_EQ(resultCodeText(ResultCode::NoClearBack),
              QString::fromUtf8("Нет сигнала \"Отбой\"         "));
    for (ResultCode outcome : kLossOutcomes) {
        EXPECT_EQ(resultCodeText(outcome).size(), 28) << resultCodeValue(outcome);
    }
    EXPECT_TRUE(resultCodeText(ResultCode::None).isEmpty());
    EXPECT_TRUE(resultCodeText(ResultCode{-5}).isEmpty());
    EXPECT_EQ(lossCategoryIndex(ResultCode::NoDialTone), 0);
    EXPECT_EQ(lossCategoryIndex(ResultCode::OutgoingSignalNotDetected), 12);
    EXPECT_EQ(lossCategoryIndex(ResultCode::Success), -1);
}

TEST(CallRow, EightColumnsOfACall) {
    CallResult call;
    call.outcome = ResultCode::Success;
    call.answerLevel = -16.004;
    call.dialToneLevel = -10.02;
    call.ringbackLevel = kNoLevel;  // ringback not checked
    call.startTime = toOleDate(QDateTime(QDate(2026, 12, 8), QTime(10, 0, 5)));
    call.close(toOleDate(QDateTime(QDate(2026, 12, 8), QTime(10, 0, 46))));
    const CallRowTexts row = callRowTexts(7, call, -10);
    EXPECT_EQ(row[0], "7");
    EXPECT_EQ(row[1], kSuccessText);
    EXPECT_EQ(row[2], "6.00");
    EXPECT_EQ(row[3], "-10.02");
    EXPECT_EQ(row[4], "----");
    EXPECT_EQ(row[5], "00:00:41");
    EXPECT_EQ(row[6], "10:00:05");
    EXPECT_EQ(row[7], "10:00:46");

    call.outcome = ResultCode::None;
    call.answerLevel = -998.0;
    const CallRowTexts undecided = callRowTexts(8, call, -10);
    EXPECT_TRUE(undecided[1].isEmpty());
    EXPECT_EQ(undecided[2], "----");
}

TEST(CallRow, NumbersAndSpans) {
    EXPECT_EQ(fixed2(-0.001), "0.00");
    EXPECT_EQ(durationText(0), "00:00:00");
    EXPECT_EQ(durationText(-0.001), "00:00:00");
    EXPECT_EQ(durationText((3600 + 2 * 60 + 3.9) / 86400.0), "01:02:03");
}

TEST(CycleSummary, TextsAfterTheFirstSuccessAndAfterLosses) {
    const CycleRecord c = normCycle();
    CycleStatistics s;
    s.reset(0);
    s.account(ResultCode::Success);
    SummaryTexts t = summaryTexts(s, c, 1);
    EXPECT_EQ(t[0][0], "1");
    EXPECT_EQ(t[0][1], "100.00");
    EXPECT_EQ(t[1][0], "1");
    EXPECT_EQ(t[1][1], "100.00");
    EXPECT_EQ(t[2][0], "0");
    EXPECT_EQ(t[2][1], "0.00");
    EXPECT_TRUE(t[3][0].isEmpty());
    EXPECT_EQ(t[3][1], "1.00");
    EXPECT_EQ(t[4][1], QString::fromUtf8("Норма"));
    EXPECT_TRUE(t[5][0].isEmpty() && t[5][1].isEmpty());
    EXPECT_EQ(t[6][0], "0");
    EXPECT_EQ(t[6][1], "0.00");

    // Ten calls with two -1 and one -200.
    s.reset(0);
    for (int outcome : {0, -1, 0, -200, 0, -1, 0, 0, 0, 0}) {
        s.account(ResultCode{outcome});
    }
    t = summaryTexts(s, c, 10);
    EXPECT_EQ(t[2][0], "3");
    EXPECT_EQ(t[2][1], "30.00");
    EXPECT_EQ(t[3][1], "2.50");
    EXPECT_EQ(t[4][1], QString::fromUtf8("Ненорма"));
    EXPECT_EQ(t[6][0], "2");  // row 7
    EXPECT_EQ(t[6][1], "20.00");
    EXPECT_EQ(t[13][0], "1");  // row 14
    EXPECT_EQ(t[13][1], "10.00");
}

TEST(CycleSummary, ResultGridWithCaptions) {
    CycleStatistics s;
    s.reset(0);
    const ResultGrid g = resultGrid(summaryTexts(s, normCycle(), 1));
    EXPECT_TRUE(g[0][0].isEmpty());
    EXPECT_EQ(g[0][1], QString::fromUtf8("шт"));
    EXPECT_EQ(g[0][2], "%");
    EXPECT_EQ(g[1][0], QString::fromUtf8("Попыток вызова              "));
    EXPECT_EQ(g[5][0], QString::fromUtf8("Отметка соответствия        "));
    EXPECT_TRUE(g[6][0].isEmpty());
    EXPECT_EQ(g[7][0], resultCodeText(ResultCode::NoDialTone));
    EXPECT_EQ(g[19][0], QString::fromUtf8("АО не обнаружил сигнала исх "));
    for (int row = 1; row <= 19; ++row) {
        EXPECT_TRUE(row == 6 || summaryRowLabel(row).size() == 28) << row;
    }
}

TEST(CycleCharts, PiesAndTheBarsOfEachCall) {
    CycleStatistics s;
    s.reset(0);
    for (int outcome : {0, -2, -2, -300, resultCodeValue(ResultCode::None)}) {
        s.account(ResultCode{outcome});
    }
    const PieValues p = pieValues(s);
    EXPECT_EQ(p.calls[0], 1);
    EXPECT_EQ(p.calls[1], 3);
    EXPECT_EQ(p.losses[1], 2);
    EXPECT_EQ(p.losses[8], 1);

    CallResult call;
    call.answerLevel = -16;
    call.dialToneLevel = -10;
    call.ringbackLevel = -12;
    call.outcome = ResultCode::Success;
    CallGraphPoints g = callGraphPoints(call, -10);
    EXPECT_EQ(g.attenuation, 6.0);
    EXPECT_EQ(g.dialToneLevel, -10.0);
    EXPECT_EQ(g.ringbackLevel, -12.0);

    call.outcome = ResultCode::AnswerSignalTooLong;
    g = callGraphPoints(call, -10);
    EXPECT_FALSE(g.attenuation);
    EXPECT_TRUE(g.dialToneLevel && g.ringbackLevel);

    call.outcome = ResultCode::BusyIncoming;
    g = callGraphPoints(call, -10);
    EXPECT_TRUE(g.dialToneLevel);
    EXPECT_FALSE(g.ringbackLevel);

    for (int outcome : {-1, -2, -3, resultCodeValue(ResultCode::None)}) {
        call.outcome = ResultCode{outcome};
        EXPECT_FALSE(callGraphPoints(call, -10).dialToneLevel) << outcome;
    }

    call.outcome = ResultCode::Success;
    call.ringbackLevel = kNoLevel;  // not checked: no bar rather than one at -999
    EXPECT_FALSE(callGraphPoints(call, -10).ringbackLevel);
}

TEST(LineHeldQuestion, CaptionAndText) {
    EXPECT_EQ(lineHeldCaption(3), QString::fromUtf8("ВЕРСА-ТЛ. Внимание! Порт: 3 "));
    EXPECT_EQ(lineHeldText("1/2", "3/4", ResultCode::BusyOutgoing),
              QString::fromUtf8("Исх. 1/2\nВх. 3/4\nЗанято на исходящей         \n"
                                "Линия удержана!\n\nПродолжить выполнение сценария?"));
}

}  // namespace
}  // namespace zev7
