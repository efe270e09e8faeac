#include "support/recording_messages.h"

namespace zev7 {

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
