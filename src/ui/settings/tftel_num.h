// TFTelNum, the number editor "Введите номер:": seven dialling fields, each with its enumeration
// switch, end value and step (cycle mode only). It edits the number in place and puts back the
// copy taken at opening when it is cancelled; OK stays open while a check fails.
#pragma once

#include "scenario/number_editor_rules.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace zev7 {

class TScenarClass;
class UserMessages;

class TFTelNum : public QDialog {
    Q_OBJECT

public:
    static constexpr int kHelpContext = 19;

    // `cycleIndex` -1: the scenario's outgoing number (enumeration controls disabled);
    // otherwise that cycle's incoming number and its enumeration.
    TFTelNum(TScenarClass& scenario, int cycleIndex, UserMessages& messages,
             QWidget* parent = nullptr);

    // Opens modally; true when the user confirmed with OK.
    static bool edit(TScenarClass& scenario, int cycleIndex, UserMessages& messages,
                     QWidget* parent);

    QLineEdit* fieldEdit(int field) const { return rows_[field].edit; }
    QCheckBox* enumBox(int field) const { return rows_[field].enumBox; }
    QSpinBox* endEdit(int field) const { return rows_[field].end; }
    QSpinBox* stepEdit(int field) const { return rows_[field].step; }

    // OK: true when the number passed every check and was stored (the dialog is accepted).
    bool confirm();

    // Cancel, or closing otherwise: the number as it was opened.
    void reject() override;

protected:
    // F1: the editor's help page, as its "Помощь" button.
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Row {
        QLineEdit* edit = nullptr;
        QCheckBox* enumBox = nullptr;
        QSpinBox* end = nullptr;
        QSpinBox* step = nullptr;
    };

    bool cycleMode() const { return cycleIndex_ >= 0; }
    NumEnum* entry(int field);
    void showControls(int field, const EnumControls& c);
    void onTextEdited(int field);

    TScenarClass& scenario_;
    int cycleIndex_;
    UserMessages& messages_;
    CycleRecord cycleCopy_{};
    TelNumber numberCopy_{};
    std::array<Row, kNumberFieldCount> rows_;
    bool updating_ = false;
};

}  // namespace zev7
