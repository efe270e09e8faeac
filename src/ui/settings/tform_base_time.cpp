#include "ui/settings/tform_base_time.h"

#include "core/strings.h"
#include "scenario/ole_date.h"
#include "ui/settings/cycle_settings_rules.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zev7 {

TFormBaseTime::TFormBaseTime(double baseTime, QWidget* parent)
    : QDialog(parent), baseTime_(toWholeMinutes(baseTime)) {
    setObjectName("TFormBaseTime");
    setWindowTitle(txt(str::BaseTimeCaption));
    edit_ = new QLineEdit;
    edit_->setObjectName("BaseTime_MaskEdit");
    edit_->setInputMask(QStringLiteral("99.99.99 99:99; "));
    edit_->setText(formatDateTimeMinutes(fromOleDate(baseTime_)));
    connect(edit_, &QLineEdit::textEdited, this, &TFormBaseTime::onEdited);
    // Leaving the edit shows the time that is kept.
    connect(edit_, &QLineEdit::editingFinished, this, [this] {
        edit_->setText(formatDateTimeMinutes(fromOleDate(baseTime_)));
        edit_->setPalette(QPalette());
    });

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(txt(str::ButtonOk), QDialogButtonBox::AcceptRole);
    ok->setObjectName("OK");
    buttons->addButton(txt(str::ButtonCancel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(txt(str::BaseTimeLabel).remove(u'\r')));
    layout->addWidget(edit_);
    layout->addWidget(buttons);
}

void TFormBaseTime::onEdited() {
    const int cursor = edit_->cursorPosition();
    const QString text = normalizeDateTimeText(edit_->displayText());
    const QDateTime parsed = parseDateTimeMinutes(text);
    if (parsed.isValid()) {
        baseTime_ = toOleDate(parsed);
    }
    if (text != edit_->displayText()) {
        edit_->setText(text);
        edit_->setCursorPosition(cursor);
    }
    // A day the month lacks keeps the previous time; the text is red until it parses.
    QPalette p;
    if (!parsed.isValid()) {
        p.setColor(QPalette::Text, Qt::red);
    }
    edit_->setPalette(p);
}

bool TFormBaseTime::edit(double& baseTime, QWidget* parent) {
    TFormBaseTime dialog(baseTime, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    baseTime = dialog.baseTime();
    return true;
}

}  // namespace zev7
