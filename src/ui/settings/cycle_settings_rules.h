// The rules of the cycle settings editors, apart from the widgets: the date-time text typed into
// a mask "dd.mm.yy hh:mm", the start window "с … по …" with its order against the base time, and
// the order of the cadence periods that tell busy, congestion and clear-back apart.
#pragma once

#include <QString>

namespace zev7 {

// A typed "dd.mm.yy hh:mm": blanks take the digits of "01.01.02 00:00" and digits no date or
// time can have become the nearest that can ("35" days read 31, month 19 reads 12, hour 27
// reads 23, minutes 75 read 55). A day the month lacks (31.02) stays and fails to parse.
QString normalizeDateTimeText(const QString& typed);

// The start window of a cycle as absolute date-times (OLE days), whole minutes.
struct StartWindow {
    double start = 0.0;
    double end = 0.0;
};

// "с dd.mm.yy hh:mm по dd.mm.yy hh:mm"
QString startWindowText(const StartWindow& window);

// What typing into the start window gives: the window to keep and the text to show. A part
// that does not parse keeps its previous value and shows what was typed (`complete` false).
struct StartWindowEdit {
    StartWindow window;
    QString text;
    bool complete = true;
};
// A start before the base time becomes the base time; an end before the start becomes the
// start plus `storedLength` (days), so the window keeps the length it had.
StartWindowEdit editStartWindow(const QString& typed, const StartWindow& previous, double baseTime,
                                double storedLength);

// The cadence periods of one cycle, s. Busy periods lie in [busyMin, busyMax], congestion
// periods in [overloadMin, busyMin); the clear-back tone is heard across both.
struct CadencePeriods {
    double busyMin = 0.0;
    double busyMax = 0.0;
    double overloadMin = 0.0;
};
// After any period changed: a busy maximum below the minimum rises to it, an overload minimum
// above the busy minimum falls to it.
CadencePeriods orderCadencePeriods(CadencePeriods periods);

}  // namespace zev7
