#include "teliq/level_decoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

namespace zev7 {

namespace {

struct Point {
    double x;
    double y;
};

double interpolate(std::span<const Point> table, double x) {
    if (x <= table.front().x) {
        return table.front().y;
    }
    if (x >= table.back().x) {
        return table.back().y;
    }
    const auto hi = std::upper_bound(table.begin(), table.end(), x,
                                     [](double v, const Point& p) { return v < p.x; });
    const auto lo = hi - 1;
    return lo->y + (hi->y - lo->y) * (x - lo->x) / (hi->x - lo->x);
}

template <std::size_t N>
constexpr std::array<Point, N> evenly(double first, double step, const double (&offsets)[N]) {
    std::array<Point, N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        out[i] = {first + step * static_cast<double>(i), offsets[i]};
    }
    return out;
}

constexpr double kOffsetsA[] = {-0.44, 0.17,  0.18,  -0.22, -0.85, -1.65, -2.55,
                                -3.51, -4.33, -4.83, -4.25, -3.11, -1.43};
constexpr double kOffsetsB[] = {2.72,  1.72,  0.61,  0.01, -0.46, -0.65, -0.64,
                                -0.75, -0.68, -0.25, 0.43, 1.22,  2.44};
constexpr double kOffsetsC[] = {2.42,  1.28,  0.32,  -0.29, -0.46, -0.33, 0.08,
                                -0.46, -0.46, -0.16, 0.27,  1.16,  2.24};
constexpr auto kTableA = evenly(300.0, 50.0, kOffsetsA);
constexpr auto kTableB = evenly(900.0, 50.0, kOffsetsB);
constexpr auto kTableC = evenly(2100.0, 50.0, kOffsetsC);

constexpr Point kT12Correction[] = {
    {-48.7, 11.3},  {-45.4, 4.6},   {-44.1, 3.9},   {-41.7, 2.3},   {-38.7, 1.3},   {-35.15, 0.85},
    {-31.45, 0.55}, {-27.6, 0.4},   {-23.7, 0.3},   {-19.75, 0.25}, {-15.85, 0.15}, {-11.95, 0.05},
    {-10.0, 0.0},   {-8.15, -0.15}, {-4.65, -0.65}, {-2.4, -2.4},
};

constexpr double kLowBandEndHz = 890.0;
constexpr double kMidBandEndHz = 1500.0;
constexpr double kHighBandStartHz = 2100.0;
constexpr double kHighBandEndHz = 2700.0;
constexpr double kLowBandStartHz = 300.0;
constexpr double kGainUnity = 128.0;
constexpr int kMaxWord = 0xFFFF;

}  // namespace

double offsetTableA(double hz) {
    return interpolate(kTableA, hz);
}
double offsetTableB(double hz) {
    return interpolate(kTableB, hz);
}
double offsetTableC(double hz) {
    return interpolate(kTableC, hz);
}

double answerLevelOffset(double hz) {
    if (hz >= kLowBandStartHz && hz < kLowBandEndHz) {
        return offsetTableA(hz);
    }
    if (hz >= kLowBandEndHz && hz <= kMidBandEndHz) {
        return offsetTableB(hz);
    }
    if (hz >= kHighBandStartHz && hz <= kHighBandEndHz) {
        return offsetTableC(hz);
    }
    return 0.0;
}

double toneLevelOffset() {
    return offsetTableA(kToneFrequencyHz);
}

double t12LinearityCorrection(double levelDb) {
    return interpolate(kT12Correction, levelDb);
}

std::optional<std::uint16_t> parseLevelWord(const QByteArray& answer) {
    if (answer.size() != 4) {
        return std::nullopt;
    }
    bool ok = false;
    const uint raw = answer.toUInt(&ok, 16);
    if (!ok) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(((raw & 0xFF) << 8) | ((raw >> 8) & 0xFF));
}

QByteArray formatLevelWord(std::uint16_t value) {
    const uint swapped = ((value & 0xFFu) << 8) | ((value >> 8) & 0xFFu);
    return QByteArray::number(swapped, 16).toUpper().rightJustified(4, '0');
}

std::optional<double> decodeLevel(std::uint16_t v, int gain, double reference, double offset) {
    if (v == 0 || reference <= 0.0 || gain <= 0) {
        return std::nullopt;
    }
    const double amplitude = v * static_cast<double>(gain) / kGainUnity;
    double level = -20.0 * std::log10(amplitude / reference) + offset;
    if (reference == kRefT12) {
        level -= t12LinearityCorrection(level);
    }
    return level;
}

std::uint16_t encodeLevel(double levelDb, int gain, double reference, double offset) {
    if (!std::isfinite(levelDb) || reference <= 0.0 || gain <= 0) {
        return kMaxWord;
    }
    double raw = levelDb;
    if (reference == kRefT12) {
        // Find the raw level whose corrected value is the line level: raw - corr(raw) is
        // increasing over the table, so bisection finds it.
        double lo = -200.0;
        double hi = 100.0;
        for (int i = 0; i < 100; ++i) {
            const double mid = (lo + hi) / 2;
            if (mid - t12LinearityCorrection(mid) < levelDb) {
                lo = mid;
            } else {
                hi = mid;
            }
        }
        raw = (lo + hi) / 2;
    }
    const double amplitude = reference * std::pow(10.0, (offset - raw) / 20.0);
    const double v = std::round(amplitude * kGainUnity / gain);
    return static_cast<std::uint16_t>(std::clamp(v, 1.0, static_cast<double>(kMaxWord)));
}

}  // namespace zev7
