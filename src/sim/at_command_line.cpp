#include "sim/at_command_line.h"

#include <cctype>

namespace zev7 {

namespace {

constexpr char kBasicLetters[] = "AEHILMOQVXZ";

class Scanner {
public:
    explicit Scanner(const QByteArray& text) : text_(text) {}

    bool atEnd() {
        skipBlanks();
        return pos_ >= text_.size();
    }
    char next() { return text_[pos_++]; }
    bool accept(char c) {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    // The digits at the current position; nullopt when there are none. `tooLong` reports a
    // number the modem refuses.
    std::optional<int> number(bool& tooLong) {
        skipBlanks();
        int value = 0;
        int digits = 0;
        while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
            if (digits < kMaxCommandDigits) {
                value = value * 10 + (text_[pos_] - '0');
            }
            ++digits;
            ++pos_;
        }
        tooLong = digits > kMaxCommandDigits;
        return digits > 0 ? std::optional<int>(value) : std::nullopt;
    }
    // Everything up to ";" (consumed) or the end of the line.
    QByteArray dialString() {
        const qsizetype semicolon = text_.indexOf(';', pos_);
        const qsizetype end = semicolon < 0 ? text_.size() : semicolon;
        QByteArray out = text_.mid(pos_, end - pos_);
        pos_ = semicolon < 0 ? text_.size() : semicolon + 1;
        return out;
    }

private:
    void skipBlanks() {
        while (pos_ < text_.size() && text_[pos_] == ' ') {
            ++pos_;
        }
    }

    const QByteArray& text_;
    qsizetype pos_ = 0;
};

}  // namespace

std::vector<AtCommand> parseCommandLine(const QByteArray& line) {
    std::vector<AtCommand> out;
    Scanner s(line);
    while (!s.atEnd()) {
        AtCommand cmd;
        const char c = s.next();
        bool tooLong = false;
        if (c == 'D') {
            cmd.kind = AtCommand::Kind::Dial;
            cmd.letter = c;
            cmd.dial = s.dialString();
        } else if (c == 'S') {
            cmd.letter = c;
            cmd.number = s.number(tooLong);
            if (cmd.number && !tooLong && s.accept('?')) {
                cmd.kind = AtCommand::Kind::Register;
                cmd.query = true;
            } else if (cmd.number && !tooLong && s.accept('=')) {
                cmd.kind = AtCommand::Kind::Register;
                cmd.value = s.number(tooLong).value_or(0);
                if (tooLong) {
                    cmd.kind = AtCommand::Kind::Invalid;
                }
            }
        } else if (c == '&' || c == '%') {
            if (s.atEnd()) {
                out.push_back(cmd);
                break;
            }
            const char letter = s.next();
            if (std::isupper(static_cast<unsigned char>(letter))) {
                cmd.kind = c == '&' ? AtCommand::Kind::Ampersand : AtCommand::Kind::Percent;
                cmd.letter = letter;
                cmd.number = s.number(tooLong);
            }
        } else if (std::isupper(static_cast<unsigned char>(c)) &&
                   QByteArray(kBasicLetters).contains(c)) {
            cmd.kind = AtCommand::Kind::Basic;
            cmd.letter = c;
            cmd.number = s.number(tooLong);
        }
        if (tooLong) {
            cmd.kind = AtCommand::Kind::Invalid;
        }
        out.push_back(cmd);
        if (cmd.kind == AtCommand::Kind::Invalid) {
            break;
        }
    }
    return out;
}

}  // namespace zev7
