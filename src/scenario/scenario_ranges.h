// The range of every numeric scenario field: the range its settings window's spin edit allows.
// zev7-scn checks typed values against it and the scenario validator checks whole files.
#pragma once

#include "scenario/records.h"
#include "teliq/frequency_band.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace zev7 {

enum class FieldKind { Int32, UInt8, UInt32, Real };

struct NumericField {
    const char* name;
    std::size_t offset;
    FieldKind kind;
    double min;
    double max;
};

// The answering station's filters have no band between 1500 and 2100 Hz.
inline constexpr double kFrequencyGapLow = kBand2HighHz;
inline constexpr double kFrequencyGapHigh = kBand3LowHz;
inline constexpr int kMaxRepeatHours = 999;
inline constexpr int kMaxRepeatMinutes = kMaxRepeatHours * 60 + 59;
inline constexpr int kMaxHoldMask = (1 << kHoldEventCount) - 1;
inline constexpr int kMinHoldCount = 1;
inline constexpr int kMaxHoldCount = 100;
inline constexpr int kMaxToneCheck = 3;

inline constexpr NumericField kHeaderFields[] = {
    {"runCount", offsetof(ScenarHeader, runCount), FieldKind::Int32, 1, 999},
    {"repeatMode", offsetof(ScenarHeader, repeatMode), FieldKind::Int32, 0, 2},
    {"aaBetweenCycles", offsetof(ScenarHeader, aaBetweenCycles), FieldKind::UInt8, 0, 1},
    {"aaLevel", offsetof(ScenarHeader, aaLevel), FieldKind::Int32, -24, 0},
    {"aaFrequency", offsetof(ScenarHeader, aaFrequency), FieldKind::Real, 300, 2700},
    {"aaRings", offsetof(ScenarHeader, aaRings), FieldKind::UInt8, 2, 4},
    {"aaSignalTime", offsetof(ScenarHeader, aaSignalTime), FieldKind::Real, 0.1, 25.5},
    {"aaDelayOn", offsetof(ScenarHeader, aaDelayOn), FieldKind::Real, 0.2, 25.5},
    {"aaDelayOff", offsetof(ScenarHeader, aaDelayOff), FieldKind::Real, 0.2, 25.5},
    {"toneLevel", offsetof(ScenarHeader, toneLevel), FieldKind::Int32, -40, -10},
};

inline constexpr NumericField kCycleFields[] = {
    {"minAttempts", offsetof(CycleRecord, minAttempts), FieldKind::Int32, 1, 10000},
    {"maxAttempts", offsetof(CycleRecord, maxAttempts), FieldKind::Int32, 1, 10000},
    {"normAtMin", offsetof(CycleRecord, normAtMin), FieldKind::Real, 0, 100},
    {"normAtMax", offsetof(CycleRecord, normAtMax), FieldKind::Real, 0, 100},
    {"dialToneThreshold", offsetof(CycleRecord, dialToneThreshold), FieldKind::Real, -40, -10},
    {"ringbackCheck", offsetof(CycleRecord, ringbackCheck), FieldKind::UInt8, 0, 1},
    {"ringbackThreshold", offsetof(CycleRecord, ringbackThreshold), FieldKind::Real, -40, -10},
    {"answerThreshold", offsetof(CycleRecord, answerThreshold), FieldKind::Real, -40, -10},
    {"answerMinTime", offsetof(CycleRecord, answerMinTime), FieldKind::Real, 0.1, 250},
    {"answerMaxTime", offsetof(CycleRecord, answerMaxTime), FieldKind::Real, 0.1, 250},
    {"attenuationCheck", offsetof(CycleRecord, attenuationCheck), FieldKind::UInt8, 0, 1},
    {"aaNominalLevel", offsetof(CycleRecord, aaNominalLevel), FieldKind::Int32, -24, 0},
    {"aaFrequency", offsetof(CycleRecord, aaFrequency), FieldKind::Real, 300, 2700},
    {"aaRings", offsetof(CycleRecord, aaRings), FieldKind::UInt8, 2, 4},
    {"aaDelayOn", offsetof(CycleRecord, aaDelayOn), FieldKind::Real, 0.2, 25.5},
    {"aaDelayOff", offsetof(CycleRecord, aaDelayOff), FieldKind::Real, 0.2, 25.5},
    {"holdMask", offsetof(CycleRecord, holdMask), FieldKind::UInt32, 0, kMaxHoldMask},
    {"pause", offsetof(CycleRecord, pause), FieldKind::Real, 4, 100},
    {"waitTime", offsetof(CycleRecord, waitTime), FieldKind::Real, 9, 100},
    {"ringbackTime", offsetof(CycleRecord, ringbackTime), FieldKind::Real, 0.6, 10},
    {"attenuationSignalTime", offsetof(CycleRecord, attenuationSignalTime), FieldKind::Real, 0.3,
     30},
    {"busyPeriodMin", offsetof(CycleRecord, busyPeriodMin), FieldKind::Real, 0.25, 2},
    {"busyPeriodMax", offsetof(CycleRecord, busyPeriodMax), FieldKind::Real, 0.25, 2},
    {"overloadPeriodMin", offsetof(CycleRecord, overloadPeriodMin), FieldKind::Real, 0.25, 2},
    {"state", offsetof(CycleRecord, state), FieldKind::Int32, -2, 3},
};

// The value of a table field of a record, whatever its width.
inline double numericValue(const void* record, const NumericField& field) {
    const char* at = static_cast<const char*>(record) + field.offset;
    switch (field.kind) {
        case FieldKind::Int32: {
            std::int32_t v;
            std::memcpy(&v, at, sizeof v);
            return v;
        }
        case FieldKind::UInt8: {
            std::uint8_t v;
            std::memcpy(&v, at, sizeof v);
            return v;
        }
        case FieldKind::UInt32: {
            std::uint32_t v;
            std::memcpy(&v, at, sizeof v);
            return v;
        }
        case FieldKind::Real: {
            double v;
            std::memcpy(&v, at, sizeof v);
            return v;
        }
    }
    return 0;
}

// Stores a value into a table field of a record, converted to the field's width.
inline void setNumericValue(void* record, const NumericField& field, double value) {
    char* at = static_cast<char*>(record) + field.offset;
    switch (field.kind) {
        case FieldKind::Int32: {
            const auto v = static_cast<std::int32_t>(value);
            std::memcpy(at, &v, sizeof v);
            break;
        }
        case FieldKind::UInt8: {
            const auto v = static_cast<std::uint8_t>(value);
            std::memcpy(at, &v, sizeof v);
            break;
        }
        case FieldKind::UInt32: {
            const auto v = static_cast<std::uint32_t>(value);
            std::memcpy(at, &v, sizeof v);
            break;
        }
        case FieldKind::Real:
            std::memcpy(at, &value, sizeof value);
            break;
    }
}

// The field of a table by its record name; nullptr when the table has none.
template <std::size_t N>
constexpr const NumericField* findNumericField(const NumericField (&table)[N],
                                               std::string_view name) {
    for (const NumericField& f : table) {
        if (name == f.name) {
            return &f;
        }
    }
    return nullptr;
}

inline bool inFrequencyGap(double hz) {
    return hz > kFrequencyGapLow && hz < kFrequencyGapHigh;
}

}  // namespace zev7
