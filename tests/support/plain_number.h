// A telephone number with only its number on the exchange filled in, e.g. "-/-/-/-/-/2222222/-".
#pragma once

#include "scenario/tel_number.h"

namespace zev7::test {

inline TelNumber plainNumber(const char* digits) {
    TelNumber n{};
    clearNumber(n);
    setNumberField(n, NUM_ON_ATX, QString::fromLatin1(digits));
    rebuildNumberText(n);
    return n;
}

}  // namespace zev7::test
