#include "scenario/user_messages.h"

#include "scenario/strings.h"

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

void RecordingMessages::show(MessageIcon icon, const QString& caption, const QString& text) {
    QMutexLocker lock(&mutex_);
    entries_.append({false, icon, caption, text});
}

bool RecordingMessages::ask(const QString& caption, const QString& text) {
    QMutexLocker lock(&mutex_);
    entries_.append({true, MessageIcon::Warning, caption, text});
    if (answers_.empty()) {
        return defaultAnswer_;
    }
    const bool answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void RecordingMessages::queueAnswer(bool yes) {
    QMutexLocker lock(&mutex_);
    answers_.push_back(yes);
}

void RecordingMessages::setDefaultAnswer(bool yes) {
    QMutexLocker lock(&mutex_);
    defaultAnswer_ = yes;
}

QList<RecordingMessages::Entry> RecordingMessages::entries() const {
    QMutexLocker lock(&mutex_);
    return entries_;
}

QStringList RecordingMessages::texts() const {
    QMutexLocker lock(&mutex_);
    QStringList out;
    for (const Entry& e : entries_) {
        out << e.text;
    }
    return out;
}

int RecordingMessages::count() const {
    QMutexLocker lock(&mutex_);
    return static_cast<int>(entries_.size());
}

void RecordingMessages::clear() {
    QMutexLocker lock(&mutex_);
    entries_.clear();
}

}  // namespace zev7
