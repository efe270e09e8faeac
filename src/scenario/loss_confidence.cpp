#include "scenario/loss_confidence.h"

#include "core/strings.h"

#include <algorithm>
#include <cmath>

namespace zev7 {

namespace {

// A share and a norm closer than this (in percent) are the same number written twice: 3 losses
// of 100 calls against a 3 % norm.
constexpr double kSameSharePercent = 1e-9;

QString percent2(double value) {
    return QString::number(value, 'f', 2);
}

}  // namespace

LossConfidence::LossConfidence(double losses, double calls, double normPercent)
    : calls_(std::isfinite(calls) ? std::max(calls, 0.0) : 0.0), norm_(normPercent / kPercent) {
    if (calls_ <= 0) {
        return;
    }
    share_ = std::isfinite(losses) ? std::clamp(losses / calls_, 0.0, 1.0) : 0.0;
    const Bounds b = wilson(share_, calls_);
    lower_ = b.lower;
    upper_ = b.upper;
    decision_ = decide(calls_);
    if (decision_ == Decision::Undecided) {
        callsNeeded_ = findCallsNeeded();
    }
}

LossConfidence::Bounds LossConfidence::wilson(double share, double calls) {
    const double z2 = kZ * kZ;
    const double denominator = 1.0 + z2 / calls;
    const double centre = (share + z2 / (2.0 * calls)) / denominator;
    const double half =
        kZ * std::sqrt(share * (1.0 - share) / calls + z2 / (4.0 * calls * calls)) / denominator;
    // At 0 losses or at all calls lost one bound is 0 or 1 exactly; rounding must not push it
    // past.
    return {std::clamp(centre - half, 0.0, 1.0), std::clamp(centre + half, 0.0, 1.0)};
}

LossConfidence::Decision LossConfidence::decide(double calls) const {
    const Bounds b = wilson(share_, calls);
    if (b.upper <= norm_) {
        return Decision::Norm;
    }
    if (b.lower > norm_) {
        return Decision::NotNorm;
    }
    return Decision::Undecided;
}

std::optional<long long> LossConfidence::findCallsNeeded() const {
    const double gap = share_ - norm_;
    if (!std::isfinite(norm_) || std::abs(gap) * kPercent < kSameSharePercent) {
        return std::nullopt;
    }
    // The norm leaves the interval once N (share - norm)^2 reaches z^2 norm (1 - norm): the
    // bounds are the roots of that equation in the norm. Rounding can put the exact count one
    // off; the interval itself has the last word.
    const double total = kZ * kZ * norm_ * (1.0 - norm_) / (gap * gap);
    if (!std::isfinite(total) || total > kMostCallsNeeded) {
        return std::nullopt;
    }
    long long more = std::max(1LL, static_cast<long long>(std::ceil(total - calls_)));
    while (decide(calls_ + static_cast<double>(more)) == Decision::Undecided) {
        ++more;
    }
    while (more > 1 && decide(calls_ + static_cast<double>(more - 1)) != Decision::Undecided) {
        --more;
    }
    return more;
}

QString LossConfidence::intervalText() const {
    if (!hasInterval()) {
        return txt(str::ConfidenceNothing);
    }
    return txt(str::ConfidenceInterval).arg(percent2(lowerPercent()), percent2(upperPercent()));
}

QString LossConfidence::decisionText() const {
    switch (decision_) {
        case Decision::Norm:
            return txt(str::VerdictNorm);
        case Decision::NotNorm:
            return txt(str::VerdictNotNorm);
        case Decision::Undecided:
            return txt(str::ConfidenceUndecided)
                .arg(callsNeeded_ ? QString::number(*callsNeeded_) : txt(str::ConfidenceNothing));
        case Decision::Nothing:
            break;
    }
    return txt(str::ConfidenceNothing);
}

QString LossConfidence::consoleSuffix() const {
    return txt(str::ConfidenceConsole).arg(intervalText(), decisionText());
}

}  // namespace zev7
