// A UserMessages for tests: keeps every message and question, answers questions from a queue.
#pragma once

#include "scenario/user_messages.h"

#include <QList>
#include <QMutex>
#include <QStringList>
#include <deque>

namespace zev7 {

// Keeps every message and question for tests; answers questions from a queue (No when empty).
class RecordingMessages : public UserMessages {
public:
    struct Entry {
        bool question = false;
        MessageIcon icon = MessageIcon::Information;
        QString caption;
        QString text;
    };

    void show(MessageIcon icon, const QString& caption, const QString& text) override;
    bool ask(const QString& caption, const QString& text) override;

    void queueAnswer(bool yes);
    void setDefaultAnswer(bool yes);
    QList<Entry> entries() const;
    QStringList texts() const;
    int count() const;
    void clear();

private:
    mutable QMutex mutex_;
    QList<Entry> entries_;
    std::deque<bool> answers_;
    bool defaultAnswer_ = false;
};

}  // namespace zev7
