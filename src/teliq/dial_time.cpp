#include "teliq/dial_time.h"

namespace zev7 {

namespace {

// Dialling a pulse digit takes its pulses plus the inter-digit gap; 0 is ten pulses.
double pulseDigitSeconds(int digit) {
    const int pulses = digit == 0 ? 10 : digit;
    return kDialPulseBaseSeconds + kDialPulsePerDigitSeconds * pulses;
}

}  // namespace

bool isToneOnlySymbol(QChar c) {
    const char16_t u = c.unicode();
    return u == u'#' || u == u'*' || (u >= u'A' && u <= u'D') || (u >= u'a' && u <= u'd');
}

bool isDialDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

double DialTime(const QString& text, double wait, double comma) {
    QString rest = text;
    const qsizetype open = rest.indexOf(QLatin1Char('('));
    const qsizetype close = rest.indexOf(QLatin1Char(')'));
    if (open >= 0 && close > open) {
        rest.remove(open, close - open + 1);
    }
    double t = kDialBaseSeconds;
    bool tone = false;
    for (QChar c : rest) {
        const char16_t u = c.unicode();
        if (u == u'!') {
            t += kDialFlashSeconds;
        } else if (u == u',') {
            t += comma;
        } else if (u == u'W' || u == u'w') {
            t += wait;
        } else if (u == u'P' || u == u'p') {
            tone = false;
        } else if (u == u'T' || u == u't') {
            tone = true;
        } else if (isDialDigit(c)) {
            t += tone ? kDialToneSymbolSeconds : pulseDigitSeconds(u - u'0');
        } else if (isToneOnlySymbol(c) && tone) {
            t += kDialToneSymbolSeconds;
        }
    }
    return t;
}

}  // namespace zev7
