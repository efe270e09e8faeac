#include "ui/settings/tform_set_add.h"

#include "core/strings.h"
#include "scenario/scenar_class.h"
#include "scenario/scenario_fields.h"
#include "scenario/scenario_validator.h"
#include "scenario/user_messages.h"
#include "ui/frame/help_window.h"
#include "ui/frame/panel_bar.h"
#include "ui/frame/set_button.h"
#include "ui/model/port_scenario_document.h"
#include "ui/settings/cycle_field_edits.h"
#include "ui/settings/cycle_settings_rules.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zev7 {

namespace {

constexpr CycleFieldSpec kFields[] = {
    {"Pause_Edit", "pause", 1, 1},
    {"TimeWait_Edit", "waitTime", 1, 1},
    {"Time_DC_Edit", "ringbackTime", 1, 0.1},
    {"Time_CtrlAtt_Edit", "attenuationSignalTime", 1, 0.1},
    {"PeriodDialBusyMin_Edit", "busyPeriodMin", 2, 0.1, true},
    {"PeriodDialBusyMax_Edit", "busyPeriodMax", 2, 0.1, true},
    {"PeriodDialBusyMin_OL_Edit", "overloadPeriodMin", 2, 0.1, true},
};

constexpr int kPanelWidth = 70;

// Each row of the period group names the tones it tells apart, in double quotes, one a line.
QLabel* rowLabel(std::initializer_list<const char*> texts) {
    QStringList lines;
    for (const char* t : texts) {
        lines << QLatin1Char('"') + txt(t) + QLatin1Char('"');
    }
    return new QLabel(lines.join(u'\n'));
}

PanelBar* readOnlyPanel(const char* name) {
    auto* p = new PanelBar({kPanelWidth});
    p->setObjectName(QLatin1String(name));
    return p;
}

QString periodText(double seconds) {
    return QString::number(seconds, 'f', 2);
}

}  // namespace

TForm_SetAdd::TForm_SetAdd(PortScenarioDocument& document, UserMessages& messages, QWidget* parent)
    : QDialog(parent), document_(document), messages_(messages) {
    setObjectName("TForm_SetAdd");
    setWindowTitle(txt(str::SetAddCaption));
    setHelpContext(this, kHelpContext);
    fields_ = new CycleFieldEdits(this);
    for (const CycleFieldSpec& spec : kFields) {
        fields_->add(spec);
    }

    auto* timings = new QGridLayout;
    const std::pair<const char*, const char*> rows[] = {
        {str::PauseLabel, "pause"},
        {str::WaitTimeLabel, "waitTime"},
        {str::RingbackTimeLabel, "ringbackTime"},
        {str::AttenuationTimeLabel, "attenuationSignalTime"}};
    int r = 0;
    for (const auto& [text, field] : rows) {
        timings->addWidget(new QLabel(txt(text).remove(u'\r')), r, 0);
        timings->addWidget(fields_->edit(field), r++, 1);
    }

    auto* periods = new QGroupBox(txt(str::PeriodsGroup));
    auto* g = new QGridLayout(periods);
    g->addWidget(new QLabel(txt(str::RangeFrom)), 0, 1, Qt::AlignCenter);
    g->addWidget(new QLabel(txt(str::RangeTo)), 0, 2, Qt::AlignCenter);
    g->addWidget(rowLabel({str::PeriodBusyOut, str::PeriodBusyIn}), 1, 0);
    g->addWidget(fields_->edit("busyPeriodMin"), 1, 1);
    g->addWidget(fields_->edit("busyPeriodMax"), 1, 2);
    g->addWidget(rowLabel({str::PeriodCongestionOut, str::PeriodCongestionIn}), 2, 0);
    g->addWidget(fields_->edit("overloadPeriodMin"), 2, 1);
    overloadMax_ = readOnlyPanel("Panel_PeriodDialBusyMax_OL");
    g->addWidget(overloadMax_, 2, 2);
    g->addWidget(rowLabel({str::PeriodClearBack}), 3, 0);
    endMin_ = readOnlyPanel("Panel_PeriodEndMin");
    endMax_ = readOnlyPanel("Panel_PeriodEndMax");
    g->addWidget(endMin_, 3, 1);
    g->addWidget(endMax_, 3, 2);

    set_ = new QPushButton(txt(str::ButtonSet));
    set_->setObjectName("BitBtn_SetCycle");
    connect(set_, &QPushButton::clicked, this, &TForm_SetAdd::SetDataFromForm);
    cancel_ = new QPushButton(txt(str::ButtonCancel));
    cancel_->setObjectName("BitBtn_Esc");
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(set_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(timings);
    layout->addWidget(periods);
    layout->addLayout(buttons);

    const CycleRecord& cycle = document_.scenario().currentCycle();
    fields_->load(cycle);
    overloadMax_->setText(0, periodText(cycle.overloadPeriodMax));
    endMin_->setText(0, periodText(cycle.overloadPeriodMin));
    endMax_->setText(0, periodText(cycle.busyPeriodMax));
    connect(fields_, &CycleFieldEdits::edited, this, &TForm_SetAdd::onPeriodChanged);
    CheckSet();
}

TForm_SetAdd::~TForm_SetAdd() = default;

QDoubleSpinBox* TForm_SetAdd::fieldEdit(const char* field) const {
    return fields_->edit(field);
}

void TForm_SetAdd::onPeriodChanged() {
    if (ordering_) {
        return;
    }
    ordering_ = true;
    QDoubleSpinBox* busyMin = fields_->edit("busyPeriodMin");
    QDoubleSpinBox* busyMax = fields_->edit("busyPeriodMax");
    QDoubleSpinBox* overloadMin = fields_->edit("overloadPeriodMin");
    const CadencePeriods p =
        orderCadencePeriods({busyMin->value(), busyMax->value(), overloadMin->value()});
    busyMax->setValue(p.busyMax);
    overloadMin->setValue(p.overloadMin);
    overloadMax_->setText(0, periodText(p.busyMin));
    endMin_->setText(0, periodText(p.overloadMin));
    endMax_->setText(0, periodText(p.busyMax));
    ordering_ = false;
    CheckSet();
}

void TForm_SetAdd::CheckSet() {
    changed_ = fields_->differs(document_.scenario().currentCycle());
    colourSetButton(set_, changed_);
    const bool running = document_.scenario().running();
    set_->setEnabled(!running && document_.scenario().editableCurrentCycle() != nullptr);
    cancel_->setEnabled(!running);
}

bool TForm_SetAdd::SetDataFromForm() {
    TScenarClass& scenario = document_.scenario();
    const CycleRecord* cycle = scenario.editableCurrentCycle();
    if (cycle == nullptr || scenario.running()) {
        return false;
    }
    CycleRecord candidate = *cycle;
    fields_->store(candidate);
    // The congestion cadence ends where the busy cadence begins.
    finishCycleSettings(candidate);
    if (const QString error = validateCycle(candidate, scenario.header().baseTime);
        !error.isEmpty()) {
        messages_.error(txt(str::SettingsRefused).arg(error));
        return false;
    }
    changed_ = false;
    document_.storeCurrentCycle(scenario.currentIndex(), candidate);
    accept();
    return true;
}

void TForm_SetAdd::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        showHelp(kHelpContext);
        return;
    }
    // While the port runs the dialog has no way out but its caption's close button and Esc.
    QDialog::keyPressEvent(event);
}

}  // namespace zev7
