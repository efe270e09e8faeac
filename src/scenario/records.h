// The scenario's records exactly as they stand in a .scn file: packed, little-endian, text
// fields holding Windows-1251 bytes. A file is written and read byte for byte from these.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace zev7 {

static_assert(std::endian::native == std::endian::little,
              "scenario files are little-endian and are read straight into memory");

// The seven dialling fields of a number, in dialling order. The same order is used for the
// display text, the enumeration entries and the database columns.
enum NumberField : int {
    HIER_ATX = 0,    // "Преднабор 1"
    BEF_CALL = 1,    // "Преднабор 2"
    CODE_CITY = 2,   // "Код города"; in parentheses it is not dialled
    ADD_CODE = 3,    // "Дополн.код"
    NUM_ATX = 4,     // "№ АТС"
    NUM_ON_ATX = 5,  // "№ на АТС", mandatory
    ADD_CALL = 6,    // "Донабор"
};
inline constexpr int kNumberFieldCount = 7;
inline constexpr int kNumberFieldSize = 20;  // 19 characters and the NUL
inline constexpr int kNumberTextSize = 140;  // the fields joined with "/"

// Cycle states as the port thread and the cycle table set them.
enum class CycleState : std::int32_t {
    Excluded = -2,  // unticked by the user: never executed, not counted
    TakenUp = -1,   // taken up by the port thread; also the template's value
    Waiting = 0,
    Postponed = 1,  // its incoming number is being called by another port
    Cancelled = 2,  // its start window ended before it could begin
    Done = 3,
};

#pragma pack(push, 1)

struct TelNumber {
    char fields[kNumberFieldCount][kNumberFieldSize];
    char text[kNumberTextSize];
};

struct NumEnum {
    std::uint8_t on;
    char savedText[kNumberFieldSize];  // the field's text when the enumeration began; empty
                                       // otherwise
    std::int32_t endValue;
    std::int32_t step;  // never 0; negative counts down
};

struct ScenarHeader {
    TelNumber outNumber;
    std::int32_t cycleCount;
    std::int32_t runCount;
    std::int32_t repeatMode;  // 0 once, 1 repeat after the end, 2 repeat from the base time
    double baseTime;          // OLE date-time; cycle windows are relative to it
    std::int32_t finishedCycles;
    std::int32_t repeatInterval;  // minutes
    std::uint8_t aaBetweenCycles;
    std::int32_t aaLevel;  // dBm
    double aaFrequency;    // Hz
    std::uint8_t aaRings;
    double aaSignalTime;     // s
    double aaDelayOn;        // s
    double aaDelayOff;       // s
    std::uint8_t toneCheck;  // 0 off, 1..3 the band of the caller's tone
    std::int32_t toneLevel;  // dBm
};

inline constexpr int kHoldEventCount = 12;

struct CycleRecord {
    TelNumber inNumber;
    NumEnum numEnum[kNumberFieldCount];
    std::uint8_t anyEnum;
    double startFrom;  // days relative to the header's baseTime
    double startUntil;
    std::int32_t minAttempts;
    std::int32_t maxAttempts;
    double normAtMin;          // %
    double normAtMax;          // %
    double dialToneThreshold;  // dBm
    std::uint8_t ringbackCheck;
    double ringbackThreshold;  // dBm
    double answerThreshold;    // dBm
    double answerMinTime;      // s
    double answerMaxTime;      // s
    std::uint8_t attenuationCheck;
    std::int32_t aaNominalLevel;  // dBm
    double aaFrequency;           // Hz
    std::uint8_t aaRings;
    double aaDelayOn;              // s
    double aaDelayOff;             // s
    std::uint32_t holdMask;        // bits 0..11, one per loss outcome
    std::uint8_t holdCount[16];    // entries 12..15 reserved
    double pause;                  // s
    double waitTime;               // s
    double ringbackTime;           // s
    double attenuationSignalTime;  // s
    double busyPeriodMin;          // s
    double busyPeriodMax;          // s
    double overloadPeriodMin;      // s
    double overloadPeriodMax;      // s, always equal to busyPeriodMin
    std::int32_t state;            // CycleState
    double estimatedDuration;      // s
};

#pragma pack(pop)

static_assert(sizeof(TelNumber) == 280);
static_assert(offsetof(TelNumber, text) == 140);

static_assert(sizeof(NumEnum) == 29);
static_assert(offsetof(NumEnum, savedText) == 1);
static_assert(offsetof(NumEnum, endValue) == 21);
static_assert(offsetof(NumEnum, step) == 25);

static_assert(sizeof(ScenarHeader) == 351);
static_assert(offsetof(ScenarHeader, cycleCount) == 280);
static_assert(offsetof(ScenarHeader, runCount) == 284);
static_assert(offsetof(ScenarHeader, repeatMode) == 288);
static_assert(offsetof(ScenarHeader, baseTime) == 292);
static_assert(offsetof(ScenarHeader, finishedCycles) == 300);
static_assert(offsetof(ScenarHeader, repeatInterval) == 304);
static_assert(offsetof(ScenarHeader, aaBetweenCycles) == 308);
static_assert(offsetof(ScenarHeader, aaLevel) == 309);
static_assert(offsetof(ScenarHeader, aaFrequency) == 313);
static_assert(offsetof(ScenarHeader, aaRings) == 321);
static_assert(offsetof(ScenarHeader, aaSignalTime) == 322);
static_assert(offsetof(ScenarHeader, aaDelayOn) == 330);
static_assert(offsetof(ScenarHeader, aaDelayOff) == 338);
static_assert(offsetof(ScenarHeader, toneCheck) == 346);
static_assert(offsetof(ScenarHeader, toneLevel) == 347);

static_assert(sizeof(CycleRecord) == 691);
static_assert(offsetof(CycleRecord, numEnum) == 280);
static_assert(offsetof(CycleRecord, anyEnum) == 483);
static_assert(offsetof(CycleRecord, startFrom) == 484);
static_assert(offsetof(CycleRecord, startUntil) == 492);
static_assert(offsetof(CycleRecord, minAttempts) == 500);
static_assert(offsetof(CycleRecord, maxAttempts) == 504);
static_assert(offsetof(CycleRecord, normAtMin) == 508);
static_assert(offsetof(CycleRecord, normAtMax) == 516);
static_assert(offsetof(CycleRecord, dialToneThreshold) == 524);
static_assert(offsetof(CycleRecord, ringbackCheck) == 532);
static_assert(offsetof(CycleRecord, ringbackThreshold) == 533);
static_assert(offsetof(CycleRecord, answerThreshold) == 541);
static_assert(offsetof(CycleRecord, answerMinTime) == 549);
static_assert(offsetof(CycleRecord, answerMaxTime) == 557);
static_assert(offsetof(CycleRecord, attenuationCheck) == 565);
static_assert(offsetof(CycleRecord, aaNominalLevel) == 566);
static_assert(offsetof(CycleRecord, aaFrequency) == 570);
static_assert(offsetof(CycleRecord, aaRings) == 578);
static_assert(offsetof(CycleRecord, aaDelayOn) == 579);
static_assert(offsetof(CycleRecord, aaDelayOff) == 587);
static_assert(offsetof(CycleRecord, holdMask) == 595);
static_assert(offsetof(CycleRecord, holdCount) == 599);
static_assert(offsetof(CycleRecord, pause) == 615);
static_assert(offsetof(CycleRecord, waitTime) == 623);
static_assert(offsetof(CycleRecord, ringbackTime) == 631);
static_assert(offsetof(CycleRecord, attenuationSignalTime) == 639);
static_assert(offsetof(CycleRecord, busyPeriodMin) == 647);
static_assert(offsetof(CycleRecord, busyPeriodMax) == 655);
static_assert(offsetof(CycleRecord, overloadPeriodMin) == 663);
static_assert(offsetof(CycleRecord, overloadPeriodMax) == 671);
static_assert(offsetof(CycleRecord, state) == 679);
static_assert(offsetof(CycleRecord, estimatedDuration) == 683);

}  // namespace zev7
