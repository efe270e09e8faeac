// AnswerSettings: the eight settings of an answering station (the answer signal's level and
// frequency, the rings before the modem answers, the delays around the signal and its length,
// the band and threshold of the tone check of the calling side). The same eight values live in
// the scenario header, in the controls of the port window's answering-station page, and in the
// answering-station thread, which writes them into the modem and reads them back from it.
#pragma once

#include "scenario/records.h"

namespace zev7 {

struct AnswerSettings {
    int level = 0;           // dBm, -24..0            (AT%L, read back as S69)
    double frequency = 0.0;  // Hz, 300..2700          (S50 low byte, S51 high byte)
    int rings = 0;           // rings before answering (S0), 2..4
    double delayOn = 0.0;    // s from seizing the line to the answer signal (S52)
    double duration = 0.0;   // s of answer signal (S53)
    double delayOff = 0.0;   // s from the signal's end to releasing the line (S54)
    int toneBand = 0;        // 0 no tone check, 1..3 the band of the caller's tone (S57)
    int toneThreshold = 0;   // dBm, -40..-10, the tone check's sensitivity (S56 unsigned)

    // The values of the template scenario header.
    static AnswerSettings templateValues();
    // The header's values (aaLevel, aaFrequency, aaRings, aaDelayOn, aaSignalTime, aaDelayOff,
    // toneCheck, toneLevel).
    static AnswerSettings fromHeader(const ScenarHeader& header);
    // Into the header's fields; values outside a field's type are clamped to it.
    void toHeader(ScenarHeader& header) const;

    bool operator==(const AnswerSettings&) const = default;
};

// The tone band of the tick box "Контроль затухания Исх->Вх": 0 when it is not ticked, else the
// band of the station's frequency (1, 2 or 3; 0 between the bands).
int answerToneBand(bool ticked, double frequencyHz);

}  // namespace zev7
