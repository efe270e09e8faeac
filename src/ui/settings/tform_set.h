// TFormSet, "Настройки цикла": the one window, shared by all ports, that edits the cycle selected
// in a port's scenario document: its start window, attempts and loss norms, the tone thresholds of
// the call analysis, the answering station it calls and the line-hold rules. "Установить" stores
// the cycle and writes the port's working copy at once; "Сброс" shows the stored cycle again. The
// window follows the document: a change made elsewhere (the base time set, a start window
// dragged in the scheme, the run started) shows at once.
#pragma once

#include "ui/frame/mdi_child.h"
#include "ui/model/port_scenario_document.h"
#include "ui/settings/cycle_settings_rules.h"

#include <QPointer>
#include <array>
#include <functional>

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace zev7 {

class CycleFieldEdits;
class PanelBar;
class UserMessages;
struct CycleRecord;

struct CycleSettingsContext {
    UserMessages& messages;
    IniFile* ini = nullptr;  // "ZEV7.ini"; null keeps no layout
    // The main window allows one more window (the additional settings count as one).
    std::function<bool()> allowWindow = [] { return true; };
};

class TFormSet : public MdiChild {
    Q_OBJECT

public:
    static constexpr int kHelpGeneral = 18;
    static constexpr int kHelpAutoAnswer = 21;
    static constexpr int kHelpCallDiagram = 57;
    static constexpr int kHelpLineHold = 26;
    enum Page { GeneralPage = 0, CallDiagramPage = 1, AutoAnswerPage = 2, LineHoldPage = 3 };

    explicit TFormSet(const CycleSettingsContext& context, QWidget* parent = nullptr);
    ~TFormSet() override;

    // Shows the current cycle of the port's scenario (the selected row of its port window); every
    // control is loaded from the cycle and the header, and nothing counts as changed. Null: no
    // port; the controls are disabled.
    void showCycle(PortScenarioDocument* document);
    PortScenarioDocument* document() const { return document_; }
    int port() const { return port_; }
    int row() const { return row_; }
    bool changed() const { return changed_; }

    // Recomputes the changed flag, the colour of "Установить" and which buttons may be used.
    void CheckSet();
    // Stores the controls into the cycle, shows its new duration estimate in the port window and
    // writes the working copy. False when nothing was stored (running, no cycle, refused).
    bool SetDataFromForm();
    // "Сброс": the controls show the stored cycle again.
    void BitBtn_EscClick();
    // ">>": the additional settings of the same cycle (modal), if the main window allows it.
    bool openAdditional();

    // The start window being edited (absolute date-times, whole minutes).
    const StartWindow& startWindow() const { return edited_; }

    QTabWidget* pages() const { return pages_; }
    QPushButton* setButton() const { return set_; }
    QPushButton* resetButton() const { return reset_; }
    QLineEdit* startWindowEdit() const { return interval_; }
    QDoubleSpinBox* fieldEdit(const char* field) const;
    QCheckBox* ringbackCheckBox() const { return ringbackCheck_; }
    QCheckBox* attenuationCheckBox() const { return attenuationCheck_; }
    QCheckBox* holdBox(int k) const { return holdBoxes_.at(static_cast<std::size_t>(k)); }
    QSpinBox* holdCountEdit(int k) const { return holdCounts_.at(static_cast<std::size_t>(k)); }
    PanelBar* clearBackPanel() const { return panel20_; }
    PanelBar* outBar() const { return bar2_; }
    PanelBar* inBar() const { return bar1_; }

private:
    QWidget* buildGeneralPage();
    QWidget* buildCallDiagramPage();
    QWidget* buildAutoAnswerPage();
    QWidget* buildLineHoldPage();
    void load();
    void onStartWindowEdited();
    void onStartWindowLeft();
    void keepAttemptsInOrder(bool minimumLeft);
    void onAnswerTimeChanged();
    void onFrequencyChanged(double value);
    const CycleRecord* shownCycle() const;
    double baseTime() const;
    StartWindow storedWindow() const;
    bool editable() const;

    CycleSettingsContext context_;
    QPointer<PortScenarioDocument> document_;
    int port_ = 0;
    int row_ = -1;
    bool changed_ = false;
    bool loading_ = false;
    double lastFrequency_ = 0.0;
    StartWindow edited_;

    CycleFieldEdits* fields_ = nullptr;
    PanelBar* bar2_ = nullptr;
    PanelBar* bar1_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QLineEdit* interval_ = nullptr;
    QCheckBox* ringbackCheck_ = nullptr;
    QCheckBox* attenuationCheck_ = nullptr;
    PanelBar* panel20_ = nullptr;
    std::array<QCheckBox*, 12> holdBoxes_{};
    std::array<QSpinBox*, 12> holdCounts_{};
    QPushButton* set_ = nullptr;
    QPushButton* reset_ = nullptr;
};

}  // namespace zev7
