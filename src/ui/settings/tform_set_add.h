// TForm_SetAdd, "Дополнительные настройки цикла": the timing fields of the cycle that the cycle
// settings window shows: the pause between attempts, the wait for each signal, the ringback and
// tone-back durations and the cadence periods that tell busy, congestion and clear-back apart.
// Modal; "Установить" stores and closes, "Отмена" closes.
#pragma once

#include <QDialog>

class QDoubleSpinBox;
class QPushButton;

namespace zev7 {

class CycleFieldEdits;
class PanelBar;
class PortScenarioDocument;
class UserMessages;

class TForm_SetAdd : public QDialog {
    Q_OBJECT

public:
    static constexpr int kHelpContext = 59;

    TForm_SetAdd(PortScenarioDocument& document, UserMessages& messages, QWidget* parent = nullptr);
    ~TForm_SetAdd() override;

    bool changed() const { return changed_; }
    void CheckSet();
    // Stores the edits into the cycle, writes the working copy and closes; false (and open)
    // when the scenario runs or the cycle would be refused.
    bool SetDataFromForm();

    QDoubleSpinBox* fieldEdit(const char* field) const;
    QPushButton* setButton() const { return set_; }
    QPushButton* cancelButton() const { return cancel_; }
    // "до" of the congestion row, "от" and "до" of the clear-back row.
    PanelBar* overloadMaxPanel() const { return overloadMax_; }
    PanelBar* clearBackMinPanel() const { return endMin_; }
    PanelBar* clearBackMaxPanel() const { return endMax_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onPeriodChanged();

    PortScenarioDocument& document_;
    UserMessages& messages_;
    CycleFieldEdits* fields_ = nullptr;
    PanelBar* overloadMax_ = nullptr;
    PanelBar* endMin_ = nullptr;
    PanelBar* endMax_ = nullptr;
    QPushButton* set_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool changed_ = false;
    bool ordering_ = false;
};

}  // namespace zev7
