// The program's messages as message boxes: "Ошибка!" and "Внимание!" boxes over the main window,
// Yes/No questions. Used on the UI thread (worker threads reach it through UiThreadMessages).
#pragma once

#include "scenario/user_messages.h"

#include <QPointer>
#include <QWidget>

namespace zev7 {

class GuiMessages : public UserMessages {
public:
    explicit GuiMessages(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void show(MessageIcon icon, const QString& caption, const QString& text) override;
    bool ask(const QString& caption, const QString& text) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace zev7
