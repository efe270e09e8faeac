// A modem command line split into its commands: "ATH1%T12" is "H1" then "%T12";
// "ATD P8;%T12%V" is a dial of " P8" and then "%T12" and "%V". The modem runs them in order
// and stops at the first it cannot take.
#pragma once

#include <QByteArray>
#include <optional>
#include <vector>

namespace zev7 {

struct AtCommand {
    enum class Kind {
        Basic,      // a letter and an optional number: E1, H0, M2, I3, Z
        Ampersand,  // "&" a letter and an optional number: &F, &W, &A1
        Percent,    // "%" a letter and an optional number: %T12, %V, %K, %L14
        Register,   // "S" n "=" v or "S" n "?"
        Dial,       // "D" up to ";" or the end of the line
        Invalid,    // nothing the modem knows: the line stops here with an error
    };

    Kind kind = Kind::Invalid;
    char letter = 0;
    std::optional<int> number;  // the number after the letter; the register for Register
    bool query = false;         // Register: "?"
    int value = 0;              // Register: the value after "="
    QByteArray dial;            // Dial: the dial string without "D" and ";"
};

// Numbers with more digits than this are refused (a register value never needs them).
inline constexpr int kMaxCommandDigits = 5;

// `line` is the command line after "AT", already in upper case.
std::vector<AtCommand> parseCommandLine(const QByteArray& line);

}  // namespace zev7
