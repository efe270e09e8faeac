#include "ui/settings/tftel_num.h"

#include "core/strings.h"
#include "scenario/scenar_class.h"
#include "scenario/tel_number.h"
#include "scenario/user_messages.h"
#include "ui/frame/help_window.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace zev7 {

TFTelNum::TFTelNum(TScenarClass& scenario, int cycleIndex, UserMessages& messages, QWidget* parent)
    : QDialog(parent), scenario_(scenario), cycleIndex_(cycleIndex), messages_(messages) {
    setWindowTitle(txt(str::NumberEditorCaption));
    setHelpContext(this, kHelpContext);
    if (cycleMode()) {
        cycleCopy_ = scenario_.cycle(cycleIndex_);
    } else {
        numberCopy_ = scenario_.header().outNumber;
    }
    const TelNumber& number =
        cycleMode() ? scenario_.cycle(cycleIndex_).inNumber : scenario_.header().outNumber;

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(txt(str::EnumCheckBox).remove(u'\r')), 0, 2);
    grid->addWidget(new QLabel(txt(str::EnumEndValue).remove(u'\r')), 0, 3);
    grid->addWidget(new QLabel(txt(str::EnumStep)), 0, 4);
    for (int f = 0; f < kNumberFieldCount; ++f) {
        Row& r = rows_[f];
        r.edit = new QLineEdit(numberField(number, f));
        r.edit->setMaxLength(kNumberFieldMaxLength);
        r.enumBox = new QCheckBox;
        r.end = new QSpinBox;
        r.end->setRange(0, kEnumEndMaximum);
        r.step = new QSpinBox;
        r.step->setRange(-kEnumStepLimit, kEnumStepLimit);
        r.step->setValue(1);
        grid->addWidget(new QLabel(numberFieldLabel(f)), f + 1, 0);
        grid->addWidget(r.edit, f + 1, 1);
        grid->addWidget(r.enumBox, f + 1, 2);
        grid->addWidget(r.end, f + 1, 3);
        grid->addWidget(r.step, f + 1, 4);

        connect(r.edit, &QLineEdit::textChanged, this, [this, f] { onTextEdited(f); });
        connect(r.enumBox, &QCheckBox::toggled, this, [this, f](bool on) {
            if (!updating_ && entry(f) != nullptr) {
                showControls(f, enumOnCheck(*entry(f), rows_[f].edit->text(), on));
            }
        });
        connect(r.end, &QSpinBox::valueChanged, this, [this, f](int v) {
            if (!updating_ && entry(f) != nullptr && entry(f)->on != 0) {
                showControls(f, enumOnEndChange(*entry(f), rows_[f].edit->text(), v));
            }
        });
        connect(r.step, &QSpinBox::valueChanged, this, [this, f](int v) {
            if (!updating_ && entry(f) != nullptr && entry(f)->on != 0) {
                showControls(f, enumOnStepChange(*entry(f), rows_[f].edit->text(), v));
            }
        });
        if (NumEnum* e = entry(f)) {
            showControls(f, enumOnOpen(*e, r.edit->text()));
        } else {
            showControls(f, EnumControls{});  // the outgoing number is never enumerated
        }
    }

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QDialogButtonBox::Ok)->setObjectName("BitBtn1");
    buttons->addButton(txt(str::ButtonCancel), QDialogButtonBox::RejectRole)
        ->setObjectName("BitBtn3");
    QPushButton* help = buttons->addButton(txt(str::ButtonHelp), QDialogButtonBox::HelpRole);
    help->setObjectName("BitBtn2");
    connect(buttons, &QDialogButtonBox::accepted, this, &TFTelNum::confirm);
    connect(buttons, &QDialogButtonBox::rejected, this, &TFTelNum::reject);
    connect(help, &QPushButton::clicked, this, [] { showHelp(kHelpContext); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

bool TFTelNum::edit(TScenarClass& scenario, int cycleIndex, UserMessages& messages,
                    QWidget* parent) {
    TFTelNum dialog(scenario, cycleIndex, messages, parent);
    return dialog.exec() == QDialog::Accepted;
}

void TFTelNum::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        showHelp(kHelpContext);
        return;
    }
    QDialog::keyPressEvent(event);
}

NumEnum* TFTelNum::entry(int field) {
    return cycleMode() ? &scenario_.cycle(cycleIndex_).numEnum[field] : nullptr;
}

void TFTelNum::showControls(int field, const EnumControls& c) {
    const Row& r = rows_[field];
    updating_ = true;
    r.enumBox->setEnabled(c.enabled);
    r.enumBox->setChecked(c.checked);
    r.end->setMaximum(c.endMaximum);
    r.end->setValue(c.endShown);
    r.step->setValue(c.stepShown);
    r.end->setEnabled(c.valuesEnabled);
    r.step->setEnabled(c.valuesEnabled);
    updating_ = false;
}

void TFTelNum::onTextEdited(int field) {
    if (updating_) {
        return;
    }
    QLineEdit* edit = rows_[field].edit;
    const QString text = edit->text();
    const QString clean = typingCheck(text, field, messages_);
    if (clean != text) {
        const QSignalBlocker block(edit);
        edit->setText(clean);
    }
    if (NumEnum* e = entry(field)) {
        showControls(field, enumOnTextChange(*e, clean));
    }
}

bool TFTelNum::confirm() {
    NumberFields fields;
    for (int f = 0; f < kNumberFieldCount; ++f) {
        fields[f] = rows_[f].edit->text();
    }
    const bool ok =
        acceptNumberEdit(fields, scenario_.header(), scenario_.cycles(), cycleIndex_, messages_);
    updating_ = true;
    for (int f = 0; f < kNumberFieldCount; ++f) {
        rows_[f].edit->setText(fields[f]);  // the user sees the completed fields
    }
    updating_ = false;
    if (ok) {
        accept();
    }
    return ok;
}

void TFTelNum::reject() {
    // The number (and in cycle mode the whole record with its enumeration) as it was opened.
    if (cycleMode()) {
        scenario_.cycle(cycleIndex_) = cycleCopy_;
    } else {
        scenario_.header().outNumber = numberCopy_;
    }
    QDialog::reject();
}

}  // namespace zev7
