// TFormBaseTime, "Базовое время сценария": edits the base time of a scenario, to the minute, in a
// mask "dd.mm.yy hh:mm". The caller hands in its value and takes it back only on OK.
#pragma once

#include <QDialog>

class QLineEdit;

namespace zev7 {

class TFormBaseTime : public QDialog {
    Q_OBJECT

public:
    explicit TFormBaseTime(double baseTime, QWidget* parent = nullptr);

    // The base time as edited so far (OLE days, whole minutes).
    double baseTime() const { return baseTime_; }
    QLineEdit* edit() const { return edit_; }

    // The modal dialog on a copy of `baseTime`; true and the new value on OK.
    static bool edit(double& baseTime, QWidget* parent);

private:
    void onEdited();

    QLineEdit* edit_;
    double baseTime_;
};

}  // namespace zev7
