// How the program tells the user something or asks a Yes/No question. Windows show message
// boxes, batch mode writes its log instead, tools print, tests record. Nothing below the
// application layer opens a message box itself.
#pragma once

#include <QString>

namespace zev7 {

enum class MessageIcon { Error, Warning, Information };

class UserMessages {
public:
    virtual ~UserMessages() = default;

    // A message with one button; returns when the user has read it.
    virtual void show(MessageIcon icon, const QString& caption, const QString& text) = 0;
    // A Yes/No question (caption "Внимание!" unless the caller says otherwise); true on Yes.
    virtual bool ask(const QString& caption, const QString& text) = 0;
    // True while batch mode runs: no box is shown, no question asked, messages are logged.
    virtual bool batchMode() const { return false; }
    // Batch mode: the run must end with this failure code (the log already holds the reason).
    virtual void abortBatch(int /*code*/) {}

    // The usual forms: "Ошибка!" with the error icon, "Внимание!" with the warning icon.
    void error(const QString& text);
    void warning(const QString& text);
    bool askYesNo(const QString& text);
};

// Prints "caption text" lines to standard error; questions get a fixed answer.
class ConsoleMessages : public UserMessages {
public:
    explicit ConsoleMessages(bool answer = false) : answer_(answer) {}
    void show(MessageIcon icon, const QString& caption, const QString& text) override;
    bool ask(const QString& caption, const QString& text) override;

private:
    bool answer_;
};

}  // namespace zev7
