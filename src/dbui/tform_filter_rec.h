// "Параметры фильтра": narrows the cycle list to cycles whose one setting or result lies between
// two bounds, and to cycles lying within a time of day (a night window across midnight too).
// Its choices are kept in "ZEV7.ini" under its caption, so the next filter starts from them.
#pragma once

#include "dbquery/record_filter.h"

#include <QDialog>
#include <QSqlDatabase>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace zev7 {

class IniFile;
class UserMessages;

class TForm_FilterRec : public QDialog {
    Q_OBJECT

public:
    // `ini` may be null: nothing is kept then.
    TForm_FilterRec(QSqlDatabase db, UserMessages& messages, IniFile* ini,
                    QWidget* parent = nullptr);

    // What the dialog shows, as a filter.
    RecordFilter filter() const;
    void setFilter(const RecordFilter& filter);

    // OK: a bound that is no number is refused with its message and the dialog stays open.
    void accept() override;

private:
    void kindChosen();
    void parameterChosen();
    void timeWindowToggled(bool on);
    void correctTimes();
    void save() const;
    FilterKind kind() const;

    QSqlDatabase db_;
    UserMessages& messages_;
    IniFile* ini_;
    QRadioButton* kinds_[3] = {};
    QComboBox* parameter_ = nullptr;
    QComboBox* lowCompare_ = nullptr;
    QComboBox* highCompare_ = nullptr;
    QLineEdit* low_ = nullptr;
    QLineEdit* high_ = nullptr;
    QLabel* lowUnit_ = nullptr;
    QLabel* highUnit_ = nullptr;
    QCheckBox* timeWindow_ = nullptr;
    QLineEdit* timeFrom_ = nullptr;
    QLineEdit* timeTo_ = nullptr;
};

}  // namespace zev7
