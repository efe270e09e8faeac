#include "sim/dial_plan.h"

#include "teliq/dial_time.h"

#include <QByteArrayList>

namespace zev7 {

namespace {

bool isDialSymbol(char c) {
    return (c >= '0' && c <= '9') || c == '*' || c == '#' || (c >= 'A' && c <= 'D');
}

}  // namespace

DialPlan planDial(const QByteArray& dialString, SimUs start, const DialTiming& timing) {
    DialPlan plan;
    const double commaS = usToSeconds(timing.commaPause);
    SimUs t = start + timing.blindWait;
    bool tone = true;
    const QList<QByteArray> parts = dialString.toUpper().split('W');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QByteArray& part = parts[i];
        DialStagePlan stage;
        stage.firstDigit = t;
        // The program's estimate counts a fixed 2 s before the first symbol; only the symbols'
        // own time is taken from it here.
        const QString text = QString::fromLatin1(tone ? "T" : "P") + QString::fromLatin1(part);
        t += secondsToUs(DialTime(text, 0.0, commaS) - kDialBaseSeconds);
        stage.end = t;
        for (char c : part) {
            if (c == 'P') {
                tone = false;
            } else if (c == 'T') {
                tone = true;
            } else if (isDialSymbol(c)) {
                stage.digits.append(c);
            }
        }
        plan.stages.push_back(stage);
        if (i + 1 < parts.size()) {
            t += timing.dialToneWait;
        }
    }
    plan.end = t;
    return plan;
}

}  // namespace zev7
