#include "scenario/user_messages.h"

#include "core/strings.h"

#include <QMutexLocker>
#include <cstdio>

namespace zev7 {

void UserMessages::error(const QString& text) {
    show(MessageIcon::Error, txt(str::CaptionError), text);
}

void UserMessages::warning(const QString& text) {
    show(MessageIcon::Warning, txt(str::CaptionWarning), text);
}

bool UserMessages::askYesNo(const QString& text) {
    return ask(txt(str::CaptionWarning), text);
}

void ConsoleMessages::show(MessageIcon, const QString& caption, const QString& text) {
    std::fprintf(stderr, "%s %s\n", caption.toUtf8().constData(), text.toUtf8().constData());
}

bool ConsoleMessages::ask(const QString& caption, const QString& text) {
    std::fprintf(stderr, "%s %s -> %s\n", caption.toUtf8().constData(), text.toUtf8().constData(),
                 answer_ ? "Да" : "Нет");
    return answer_;
}

}  // namespace zev7
