// The confidence of the verdict against values worked out by hand.
//
// Wilson score interval for x losses of n calls, p = x/n, z = 1.959964, z^2 = 3.841459:
//   d = 1 + z^2/n,  centre = (p + z^2/(2n)) / d,  half = z sqrt(p(1-p)/n + z^2/(4n^2)) / d.
//   0/5:      z^2/n = 0.768292, d = 1.768292, centre = 0.384146/1.768292 = 0.217241,
//             half = 1.959964 * sqrt(0 + 0.038415) / d = 1.959964 * 0.195996 / d = 0.217241
//             -> 0.00 – 43.45 %  (the upper bound is z^2/(n+z^2) = 3.841459/8.841459)
//   1/20:     z^2/n = 0.192073, d = 1.192073, centre = (0.05 + 0.096036)/d = 0.122506,
//             half = 1.959964 * sqrt(0.002375 + 0.002401) / d = 1.959964 * 0.069108 / d
//                  = 0.113625  -> 0.89 – 23.61 %
//   3/100:    z^2/n = 0.038415, d = 1.038415, centre = (0.03 + 0.019207)/d = 0.047387,
//             half = 1.959964 * sqrt(0.000291 + 0.000096) / d = 1.959964 * 0.019673 / d
//                  = 0.037132  -> 1.03 – 8.45 %
//   30/1000:  z^2/n = 0.003841, d = 1.003841, centre = (0.03 + 0.001921)/d = 0.031799,
//             half = 1.959964 * sqrt(0.0000291 + 0.00000096) / d = 1.959964 * 0.005483 / d
//                  = 0.010705  -> 2.11 – 4.25 %
// Further calls: a norm q leaves the interval of share p over N calls once
// N (p - q)^2 >= z^2 q (1 - q), so N = ceil(z^2 q(1-q) / (p-q)^2) and m = N - n:
//   1/20 against 3 %:  3.841459 * 0.03 * 0.97 / 0.02^2 = 279.47 -> N = 280, m = 260
//   0/5 against 3 %:   3.841459 * 0.0291 / 0.03^2 = 124.21 -> N = 125, m = 120
//                      (check: 3.841459 / (125 + 3.841459) = 2.98 % <= 3 %, at 124 3.005 %)
//   3/100 against 5 %: 3.841459 * 0.0475 / 0.02^2 = 456.17 -> N = 457, m = 357
#include "scenario/loss_confidence.h"

#include <gtest/gtest.h>

namespace zev7 {
namespace {

using Decision = LossConfidence::Decision;

struct Expected {
    double losses;
    double calls;
    double norm;
    const char* interval;
    Decision decision;
    std::optional<long long> more;
    const char* text;
};

TEST(LossConfidence, IntervalsVerdictsAndFurtherCallsAsWorkedOutByHand) {
    const Expected cases[] = {
        {0, 5, 3.0, "0.00–43.45 %", Decision::Undecided, 120, "не доказано, ещё вызовов: 120"},
        {1, 20, 3.0, "0.89–23.61 %", Decision::Undecided, 260, "не доказано, ещё вызовов: 260"},
        {3, 100, 5.0, "1.03–8.45 %", Decision::Undecided, 357, "не доказано, ещё вызовов: 357"},
        // The share exactly at the norm: no number of calls decides it.
        {3, 100, 3.0, "1.03–8.45 %", Decision::Undecided, std::nullopt,
         "не доказано, ещё вызовов: —"},
        {30, 1000, 5.0, "2.11–4.25 %", Decision::Norm, std::nullopt, "Норма"},
        {30, 1000, 2.0, "2.11–4.25 %", Decision::NotNorm, std::nullopt, "Ненорма"},
        {0, 0, 3.0, "—", Decision::Nothing, std::nullopt, "—"},
    };
    for (const Expected& e : cases) {
        SCOPED_TRACE(QStringLiteral("%1/%2 against %3 %")
                         .arg(e.losses)
                         .arg(e.calls)
                         .arg(e.norm)
                         .toStdString());
        const LossConfidence c(e.losses, e.calls, e.norm);
        EXPECT_EQ(c.intervalText().toStdString(), e.interval);
        EXPECT_EQ(c.decision(), e.decision);
        EXPECT_EQ(c.callsNeeded(), e.more);
        EXPECT_EQ(c.decisionText().toStdString(), e.text);
    }
    EXPECT_FALSE(LossConfidence(0, 0, 3.0).hasInterval());
    EXPECT_NEAR(LossConfidence(1, 20, 3.0).lowerPercent(), 0.8881, 1e-4);
    EXPECT_NEAR(LossConfidence(1, 20, 3.0).upperPercent(), 23.6131, 1e-4);

    // The calls still needed really decide it, and one fewer would not: 1 loss in 20 calls is
    // 14 losses in 280 calls (5 %), whose lower bound is just above 3 %.
    EXPECT_EQ(LossConfidence(14, 280, 3.0).decision(), Decision::NotNorm);
    EXPECT_EQ(LossConfidence(0, 125, 3.0).decision(), Decision::Norm);
    EXPECT_EQ(LossConfidence(0, 124, 3.0).decision(), Decision::Undecided);
}

TEST(LossConfidence, CountsFromOutsideNeverBreakIt) {
    // Losses above the calls (a damaged row) count as all calls lost; negative calls as none.
    EXPECT_EQ(LossConfidence(30, 20, 3.0).intervalText().toStdString(), "83.89–100.00 %");
    EXPECT_EQ(LossConfidence(1, -5, 3.0).decision(), Decision::Nothing);
    EXPECT_EQ(LossConfidence(1, 20, std::nan("")).decisionText().toStdString(),
              "не доказано, ещё вызовов: —");
    EXPECT_EQ(LossConfidence(0, 20, 100.0).decision(), Decision::Norm);
    EXPECT_EQ(LossConfidence(1, 1e6, 0.0001).consoleSuffix().toStdString(),
              "; 95 %: 0.00–0.00 %; не доказано, ещё вызовов: —");
}

}  // namespace
}  // namespace zev7
