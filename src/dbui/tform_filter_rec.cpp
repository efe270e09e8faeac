#include "dbui/tform_filter_rec.h"

#include "core/ini_file.h"
#include "core/strings.h"
#include "dbquery/period_text.h"
#include "scenario/user_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace zev7 {

namespace {
constexpr char kTimeMask[] = "00:00:00;_";
const char* const kKindNames[3] = {"RBtn0", "RBtn1", "RBtn2"};

QLineEdit* timeEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setInputMask(QString::fromLatin1(kTimeMask));
    return edit;
}
}  // namespace

TForm_FilterRec::TForm_FilterRec(QSqlDatabase db, UserMessages& messages, IniFile* ini,
                                 QWidget* parent)
    : QDialog(parent), db_(std::move(db)), messages_(messages), ini_(ini) {
    setObjectName(QStringLiteral("TForm_FilterRec"));
    setWindowTitle(txt(str::DbFilterCaption));
    // Only OK and "Отмена" end the dialog: its close item is off.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto* layout = new QVBoxLayout(this);
    const char* kindTexts[3] = {str::DbFilterNone, str::DbFilterSettings, str::DbFilterResults};
    for (int k = 0; k < 3; ++k) {
        kinds_[k] = new QRadioButton(txt(kindTexts[k]), this);
        kinds_[k]->setObjectName(QString::fromLatin1(kKindNames[k]));
        layout->addWidget(kinds_[k]);
        connect(kinds_[k], &QRadioButton::clicked, this, &TForm_FilterRec::kindChosen);
    }
    layout->addWidget(new QLabel(txt(str::DbFilterParamName), this));
    parameter_ = new QComboBox(this);
    parameter_->setObjectName(QStringLiteral("Param_Lookup"));
    layout->addWidget(parameter_);
    connect(parameter_, &QComboBox::currentIndexChanged, this, &TForm_FilterRec::parameterChosen);

    auto* bounds = new QGridLayout;
    const auto row = [&](int r, const char* title, const char* name, QComboBox*& op,
                         QLineEdit*& value, QLabel*& unit) {
        bounds->addWidget(new QLabel(txt(title), this), r, 0);
        op = new QComboBox(this);
        op->addItems(filterCompareTexts());
        value = new QLineEdit(this);
        value->setObjectName(QString::fromLatin1(name));
        unit = new QLabel(this);
        bounds->addWidget(op, r, 1);
        bounds->addWidget(value, r, 2);
        bounds->addWidget(unit, r, 3);
    };
    row(0, str::DbFilterLow, "Low_Edit", lowCompare_, low_, lowUnit_);
    row(1, str::DbFilterHigh, "High_Edit", highCompare_, high_, highUnit_);
    layout->addLayout(bounds);

    timeWindow_ = new QCheckBox(txt(str::DbFilterTimeWindow), this);
    timeWindow_->setObjectName(QStringLiteral("Time_CBox"));
    layout->addWidget(timeWindow_);
    auto* times = new QHBoxLayout;
    timeFrom_ = timeEdit("TimeOn_Edit", this);
    timeTo_ = timeEdit("TimeOff_Edit", this);
    times->addWidget(new QLabel(txt(str::DbFilterTimeFrom), this));
    times->addWidget(timeFrom_);
    times->addWidget(new QLabel(txt(str::DbFilterTimeTo), this));
    times->addWidget(timeTo_);
    layout->addLayout(times);
    connect(timeWindow_, &QCheckBox::toggled, this, &TForm_FilterRec::timeWindowToggled);
    for (QLineEdit* edit : {timeFrom_, timeTo_}) {
        connect(edit, &QLineEdit::editingFinished, this, &TForm_FilterRec::correctTimes);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("BitBtn1"));
    buttons->button(QDialogButtonBox::Cancel)->setText(txt(str::DbFilterCancel));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TForm_FilterRec::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TForm_FilterRec::reject);

    RecordFilter stored;
    if (ini_ != nullptr) {
        const QString s = windowTitle();
        stored.kind =
            static_cast<FilterKind>(std::clamp(ini_->readInt(s, QStringLiteral("Kind"), 0), 0, 2));
        stored.paramId = ini_->readInt(s, QStringLiteral("ParamId"), 0);
        const int lastCompare = static_cast<int>(FilterCompare::Less);
        stored.lowCompare = static_cast<FilterCompare>(
            std::clamp(ini_->readInt(s, QStringLiteral("LowCompare"), int(stored.lowCompare)), 0,
                       lastCompare));
        stored.highCompare = static_cast<FilterCompare>(
            std::clamp(ini_->readInt(s, QStringLiteral("HighCompare"), int(stored.highCompare)), 0,
                       lastCompare));
        stored.low = ini_->readString(s, QStringLiteral("Low"), stored.low);
        stored.high = ini_->readString(s, QStringLiteral("High"), stored.high);
        stored.timeWindow = ini_->readBool(s, QStringLiteral("TimeWindow"), false);
        stored.timeFrom = ini_->readString(s, QStringLiteral("TimeFrom"), stored.timeFrom);
        stored.timeTo = ini_->readString(s, QStringLiteral("TimeTo"), stored.timeTo);
    }
    setFilter(stored);
}

FilterKind TForm_FilterRec::kind() const {
    for (int k = 0; k < 3; ++k) {
        if (kinds_[k]->isChecked()) {
            return static_cast<FilterKind>(k);
        }
    }
    return FilterKind::None;
}

RecordFilter TForm_FilterRec::filter() const {
    RecordFilter f;
    f.kind = kind();
    f.paramId = parameter_->currentData().toInt();
    f.lowCompare = static_cast<FilterCompare>(lowCompare_->currentIndex());
    f.highCompare = static_cast<FilterCompare>(highCompare_->currentIndex());
    f.low = low_->text();
    f.high = high_->text();
    f.timeWindow = timeWindow_->isChecked();
    f.timeFrom = correctTimeText(timeFrom_->displayText());
    f.timeTo = correctTimeText(timeTo_->displayText());
    return f;
}

void TForm_FilterRec::setFilter(const RecordFilter& f) {
    kinds_[static_cast<int>(f.kind)]->setChecked(true);
    kindChosen();
    const int index = parameter_->findData(f.paramId);
    if (index >= 0) {
        parameter_->setCurrentIndex(index);
    }
    lowCompare_->setCurrentIndex(static_cast<int>(f.lowCompare));
    highCompare_->setCurrentIndex(static_cast<int>(f.highCompare));
    low_->setText(f.low);
    high_->setText(f.high);
    timeWindow_->setChecked(f.timeWindow);
    timeWindowToggled(f.timeWindow);
    timeFrom_->setText(correctTimeText(f.timeFrom));
    timeTo_->setText(correctTimeText(f.timeTo));
}

void TForm_FilterRec::kindChosen() {
    const FilterKind k = kind();
    const QSignalBlocker quiet(parameter_);
    parameter_->clear();
    for (const FilterParameter& p : filterParameters(db_, k)) {
        parameter_->addItem(p.name, p.id);
    }
    const bool on = k != FilterKind::None;
    for (QWidget* w :
         std::initializer_list<QWidget*>{parameter_, lowCompare_, highCompare_, low_, high_}) {
        w->setEnabled(on);
    }
    parameterChosen();
}

void TForm_FilterRec::parameterChosen() {
    const QString unit = filterUnit(kind(), parameter_->currentData().toInt());
    lowUnit_->setText(unit);
    highUnit_->setText(unit);
}

void TForm_FilterRec::timeWindowToggled(bool on) {
    timeFrom_->setEnabled(on);
    timeTo_->setEnabled(on);
}

void TForm_FilterRec::correctTimes() {
    for (QLineEdit* edit : {timeFrom_, timeTo_}) {
        edit->setText(correctTimeText(edit->displayText()));
    }
}

void TForm_FilterRec::accept() {
    const RecordFilter f = filter();
    const QString refusal = f.validate();
    if (!refusal.isEmpty()) {
        messages_.error(refusal);
        return;
    }
    save();
    QDialog::accept();
}

void TForm_FilterRec::save() const {
    if (ini_ == nullptr) {
        return;
    }
    const RecordFilter f = filter();
    const QString s = windowTitle();
    ini_->writeInt(s, QStringLiteral("Kind"), static_cast<int>(f.kind));
    ini_->writeInt(s, QStringLiteral("ParamId"), f.paramId);
    ini_->writeInt(s, QStringLiteral("LowCompare"), static_cast<int>(f.lowCompare));
    ini_->writeInt(s, QStringLiteral("HighCompare"), static_cast<int>(f.highCompare));
    ini_->writeString(s, QStringLiteral("Low"), f.low);
    ini_->writeString(s, QStringLiteral("High"), f.high);
    ini_->writeBool(s, QStringLiteral("TimeWindow"), f.timeWindow);
    ini_->writeString(s, QStringLiteral("TimeFrom"), f.timeFrom);
    ini_->writeString(s, QStringLiteral("TimeTo"), f.timeTo);
    ini_->save();
}

}  // namespace zev7
