#include "app/gui_messages.h"

#include <QMessageBox>

namespace zev7 {

void GuiMessages::show(MessageIcon icon, const QString& caption, const QString& text) {
    QMessageBox::Icon boxIcon = QMessageBox::Information;
    if (icon == MessageIcon::Error) {
        boxIcon = QMessageBox::Critical;
    } else if (icon == MessageIcon::Warning) {
        boxIcon = QMessageBox::Warning;
    }
    QMessageBox box(boxIcon, caption, text, QMessageBox::Ok, parent_);
    box.exec();
}

bool GuiMessages::ask(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parent_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace zev7
