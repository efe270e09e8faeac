// How sure the verdict is. A cycle's loss share is measured on a few dozen or hundred calls, so
// "Норма" on 0 losses of 5 calls says little. The 95 % Wilson score interval of the share tells
// what the network's true share may be; the verdict is proved when the whole interval lies on
// one side of the norm: "Норма" when its upper bound is at or below the norm, "Ненорма" when its
// lower bound is above it. Otherwise it is not proved yet, and the engineer is told how many
// more calls would prove it if the share so far held. Without calls, or with a share exactly at
// the norm, nothing can be said.
#pragma once

#include <QString>
#include <optional>

namespace zev7 {

class LossConfidence {
public:
    // The two-sided 95 % quantile of the normal distribution.
    static constexpr double kZ = 1.959964;
    // Beyond this many further calls the answer is of no use to anyone; it is not given.
    static constexpr double kMostCallsNeeded = 1e12;

    enum class Decision { Nothing, Norm, NotNorm, Undecided };

    // Counts as the database keeps them (floating point); a negative count counts as none.
    LossConfidence(double losses, double calls, double normPercent);

    bool hasInterval() const { return calls_ > 0; }
    double lowerPercent() const { return lower_ * kPercent; }
    double upperPercent() const { return upper_ * kPercent; }
    Decision decision() const { return decision_; }
    // For an undecided verdict, the smallest number of further calls at the same share whose
    // interval lies wholly on one side of the norm; nothing when no number would.
    std::optional<long long> callsNeeded() const { return callsNeeded_; }

    // "0.89–23.61 %", or "—" without calls.
    QString intervalText() const;
    // "Норма", "Ненорма", "не доказано, ещё вызовов: 260" (or ": —"), or "—" without calls.
    QString decisionText() const;
    // The two above as the console and the report append them to the verdict.
    QString consoleSuffix() const;

private:
    static constexpr double kPercent = 100.0;

    struct Bounds {
        double lower = 0.0;
        double upper = 0.0;
    };
    // The Wilson score interval of a share measured on `calls` calls, as fractions.
    static Bounds wilson(double share, double calls);
    Decision decide(double calls) const;
    std::optional<long long> findCallsNeeded() const;

    double calls_ = 0.0;
    double share_ = 0.0;
    double norm_ = 0.0;  // a fraction, like the share
    double lower_ = 0.0;
    double upper_ = 0.0;
    Decision decision_ = Decision::Nothing;
    std::optional<long long> callsNeeded_;
};

}  // namespace zev7
