#include "ui/settings/tform_set.h"

#include "core/strings.h"
#include "scenario/ole_date.h"
#include "scenario/scenar_class.h"
#include "scenario/scenario_fields.h"
#include "scenario/scenario_ranges.h"
#include "scenario/scenario_validator.h"
#include "scenario/tel_number.h"
#include "scenario/user_messages.h"
#include "ui/frame/panel_bar.h"
#include "ui/frame/set_button.h"
#include "ui/settings/cycle_field_edits.h"
#include "ui/settings/port_page_rules.h"
#include "ui/settings/tform_set_add.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zev7 {

namespace {

constexpr CycleFieldSpec kFields[] = {
    {"MinSessionCount_Edit", "minAttempts", 0, 1},
    {"SessionCount_Edit", "maxAttempts", 0, 1},
    {"MinNormNCn_Edit", "normAtMin", 1, 1},
    {"NormNCn_Edit", "normAtMax", 1, 1},
    {"LevelAS_Edit", "dialToneThreshold", 0, 1},
    {"ThrLevel_AA_Edit", "ringbackThreshold", 0, 1},
    {"PLevelAA_Edit", "answerThreshold", 0, 1},
    {"PminTimeAA_Edit", "answerMinTime", 1, 1, true},
    {"PmaxTimeAA_Edit", "answerMaxTime", 1, 1, true},
    {"LevelAA_Edit", "aaNominalLevel", 0, 1},
    {"FreqAA_Edit", "aaFrequency", 0, 1, true},
    {"ActiveRing_Edit", "aaRings", 0, 1},
    {"DelayAA_Edit", "aaDelayOn", 1, 0.1},
    {"DelayAA_After_Edit", "aaDelayOff", 1, 1},
};

// The line-hold events in the order of the cycle's hold bits.
constexpr const char* kHoldLabels[kHoldEventCount] = {
    str::HoldNoDialTone,         str::HoldBusyOut,         str::HoldCongestionOut,
    str::HoldNoDialToneDialling, str::HoldBusyOutDialling, str::HoldCongestionOutDialling,
    str::HoldNoRingback,         str::HoldBusyIn,          str::HoldCongestionIn,
    str::HoldNoAnswerSignal,     str::HoldAnswerTooLong,   str::HoldNoClearBack};

constexpr std::uint32_t kHoldBits = (1u << kHoldEventCount) - 1;
constexpr int kHelpOfPage[] = {TFormSet::kHelpGeneral, TFormSet::kHelpCallDiagram,
                               TFormSet::kHelpAutoAnswer, TFormSet::kHelpLineHold};
// "с " + "dd.mm.yy hh:mm" + " по " + "dd.mm.yy hh:mm", every digit typed over.
const QString kStartWindowMask = QStringLiteral("\\с\\ 99.99.99 99:99\\ \\п\\о\\ 99.99.99 99:99; ");

// A label text of the form; the two-line texts break where the form breaks them.
QLabel* label(const char* text) {
    return new QLabel(txt(text).remove(u'\r'));
}

QString hint(const char* text) {
    return txt(text).remove(u'\r');
}

QGridLayout* grid(QWidget* page) {
    auto* g = new QGridLayout(page);
    g->setContentsMargins(6, 6, 6, 6);
    g->setHorizontalSpacing(8);
    return g;
}

}  // namespace

TFormSet::TFormSet(const CycleSettingsContext& context, QWidget* parent)
    : MdiChild(txt(str::SettingsCaption), kHelpGeneral, context.ini, parent), context_(context) {
    setObjectName("TFormSet");
    setWindowTitle(txt(str::SettingsCaption));
    fields_ = new CycleFieldEdits(this);
    for (const CycleFieldSpec& spec : kFields) {
        fields_->add(spec);
    }
    connect(fields_, &CycleFieldEdits::edited, this, &TFormSet::CheckSet);

    bar2_ = new PanelBar({30, 0, 60});
    bar2_->setObjectName("StatusBar2");
    bar2_->setText(0, txt(str::SettingsBarOut));
    bar2_->setHint(1, txt(str::HintResOutNumber));
    bar1_ = new PanelBar({30, 0, 30});
    bar1_->setObjectName("StatusBar1");
    bar1_->setText(0, txt(str::SettingsBarIn));
    bar1_->setText(2, txt(str::SettingsBarMore));
    bar1_->label(2)->setFrameShadow(QFrame::Raised);
    bar1_->label(2)->setAlignment(Qt::AlignCenter);
    bar1_->setHint(1, txt(str::HintResInNumber));
    bar1_->setHint(2, txt(str::SettingsMoreHint));
    connect(bar1_, &PanelBar::panelPressed, this, [this](int panel, Qt::MouseButton button) {
        if (panel == 2 && button == Qt::LeftButton) {
            openAdditional();
        }
    });

    pages_ = new QTabWidget;
    pages_->setObjectName("PageControl2");
    pages_->setDocumentMode(true);
    pages_->addTab(buildGeneralPage(), txt(str::SettingsPageGeneral));
    pages_->addTab(buildCallDiagramPage(), txt(str::SettingsPageCallDiagram));
    pages_->addTab(buildAutoAnswerPage(), txt(str::SettingsPageAutoAnswer));
    pages_->addTab(buildLineHoldPage(), txt(str::SettingsPageLineHold));
    connect(pages_, &QTabWidget::currentChanged, this,
            [this](int page) { setHelpContext(kHelpOfPage[qBound(0, page, 3)]); });

    auto* scroll = new QScrollArea;
    scroll->setWidget(pages_);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFrameShape(QFrame::NoFrame);

    set_ = new QPushButton(txt(str::ButtonSet));
    set_->setObjectName("BitBtn_SetCycle");
    set_->setToolTip(hint(str::SettingsSetHint));
    connect(set_, &QPushButton::clicked, this, &TFormSet::SetDataFromForm);
    reset_ = new QPushButton(txt(str::SettingsReset));
    reset_->setObjectName("BitBtn_Esc");
    reset_->setToolTip(hint(str::SettingsResetHint));
    connect(reset_, &QPushButton::clicked, this, &TFormSet::BitBtn_EscClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(set_);
    buttons->addWidget(reset_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(bar2_);
    layout->addWidget(bar1_);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);

    // As wide as the controls and the scroll bar, never wider or narrower; as low as the
    // caption, the button row and the first row of controls.
    // Every page button in sight, too.
    const int inner = qMax(pages_->sizeHint().width(), pages_->tabBar()->sizeHint().width() + 8);
    const int width = inner + scroll->verticalScrollBar()->sizeHint().width() +
                      2 * layout->contentsMargins().left() + 2;
    setFixedWidth(width);
    setMinimumHeight(bar2_->sizeHint().height() * 3 + set_->sizeHint().height() +
                     interval_->sizeHint().height());
    showCycle(nullptr);
}

TFormSet::~TFormSet() = default;

// ---- Pages -------------------------------------------------------------------------------------

QWidget* TFormSet::buildGeneralPage() {
    auto* page = new QWidget;
    page->setObjectName("Cycle_TabSheet");
    auto* g = grid(page);
    interval_ = new QLineEdit;
    interval_->setObjectName("TimeInterval_MaskEdit");
    interval_->setInputMask(kStartWindowMask);
    connect(interval_, &QLineEdit::textEdited, this, &TFormSet::onStartWindowEdited);
    connect(interval_, &QLineEdit::editingFinished, this, &TFormSet::onStartWindowLeft);
    g->addWidget(label(str::StartWindowLabel), 0, 0, 1, 3);
    g->addWidget(interval_, 1, 0, 1, 3);

    auto* attempts = new QGroupBox(txt(str::AttemptsGroup));
    auto* a = new QGridLayout(attempts);
    a->addWidget(label(str::AttemptsCount), 0, 1);
    a->addWidget(label(str::NormLabel), 0, 2);
    a->addWidget(label(str::AtLeast), 1, 0);
    a->addWidget(fields_->edit("minAttempts"), 1, 1);
    a->addWidget(fields_->edit("normAtMin"), 1, 2);
    a->addWidget(label(str::AtMost), 2, 0);
    a->addWidget(fields_->edit("maxAttempts"), 2, 1);
    a->addWidget(fields_->edit("normAtMax"), 2, 2);
    g->addWidget(attempts, 2, 0, 1, 3);
    g->setRowStretch(3, 1);
    connect(fields_->edit("minAttempts"), &QDoubleSpinBox::editingFinished, this,
            [this] { keepAttemptsInOrder(true); });
    connect(fields_->edit("maxAttempts"), &QDoubleSpinBox::editingFinished, this,
            [this] { keepAttemptsInOrder(false); });
    return page;
}

QWidget* TFormSet::buildCallDiagramPage() {
    auto* page = new QWidget;
    page->setObjectName("TabSheet_AbSign");
    auto* g = grid(page);
    int r = 0;
    g->addWidget(label(str::DialToneLabel), r, 0, 1, 2);
    g->addWidget(label(str::ToneThresholdLabel), ++r, 0);
    g->addWidget(fields_->edit("dialToneThreshold"), r, 1);

    ringbackCheck_ = new QCheckBox(txt(str::RingbackCheckLabel).remove(u'\r'));
    ringbackCheck_->setObjectName("CB_DC_Flg");
    connect(ringbackCheck_, &QCheckBox::toggled, this, &TFormSet::CheckSet);
    g->addWidget(ringbackCheck_, ++r, 0, 1, 2);
    g->addWidget(label(str::ToneThresholdLabel), ++r, 0);
    g->addWidget(fields_->edit("ringbackThreshold"), r, 1);

    g->addWidget(label(str::AnswerSignalLabel), ++r, 0, 1, 2);
    g->addWidget(label(str::ToneThresholdLabel), ++r, 0);
    g->addWidget(fields_->edit("answerThreshold"), r, 1);
    g->addWidget(label(str::DurationThresholdLabel), ++r, 0, 2, 1);
    auto* from = new QHBoxLayout;
    from->addWidget(label(str::RangeFrom));
    from->addWidget(fields_->edit("answerMinTime"), 1);
    g->addLayout(from, r, 1);
    auto* to = new QHBoxLayout;
    to->addWidget(label(str::RangeTo));
    to->addWidget(fields_->edit("answerMaxTime"), 1);
    g->addLayout(to, ++r, 1);
    for (const char* f : {"answerMinTime", "answerMaxTime"}) {
        connect(fields_->edit(f), &QDoubleSpinBox::valueChanged, this,
                &TFormSet::onAnswerTimeChanged);
    }
    attenuationCheck_ = new QCheckBox(txt(str::ToneCheckLabel));
    attenuationCheck_->setObjectName("CB_CtrlAtt");
    connect(attenuationCheck_, &QCheckBox::toggled, this, &TFormSet::CheckSet);
    g->addWidget(attenuationCheck_, ++r, 0, 1, 2);

    g->addWidget(label(str::ClearBackSignalLabel), ++r, 0, 1, 2);
    g->addWidget(label(str::ToneThresholdLabel), ++r, 0);
    panel20_ = new PanelBar({0});
    panel20_->setObjectName("Panel20");
    g->addWidget(panel20_, r, 1);
    g->setRowStretch(++r, 1);
    return page;
}

QWidget* TFormSet::buildAutoAnswerPage() {
    auto* page = new QWidget;
    page->setObjectName("TabSheet_AutoAnswer");
    auto* g = grid(page);
    g->addWidget(label(str::CalledStationLabel), 0, 0, 1, 2);
    const std::pair<const char*, const char*> rows[] = {{str::StationLevelLabel, "aaNominalLevel"},
                                                        {str::StationFrequencyLabel, "aaFrequency"},
                                                        {str::StationRingsLabel, "aaRings"},
                                                        {str::StationDelayOnLabel, "aaDelayOn"},
                                                        {str::StationDelayOffLabel, "aaDelayOff"}};
    int r = 1;
    for (const auto& [text, field] : rows) {
        g->addWidget(label(text), r, 0);
        g->addWidget(fields_->edit(field), r++, 1);
    }
    g->setRowStretch(r, 1);
    connect(fields_->edit("aaFrequency"), &QDoubleSpinBox::valueChanged, this,
            &TFormSet::onFrequencyChanged);
    return page;
}

QWidget* TFormSet::buildLineHoldPage() {
    auto* page = new QWidget;
    page->setObjectName("Alarm_TabSheet");
    auto* g = grid(page);
    for (int k = 0; k < kHoldEventCount; ++k) {
        auto* box = new QCheckBox(txt(kHoldLabels[k]).remove(u'\r'));
        box->setObjectName(QStringLiteral("CheckBox%1").arg(k + 1));
        connect(box, &QCheckBox::toggled, this, &TFormSet::CheckSet);
        auto* count = new QSpinBox;
        count->setObjectName(QStringLiteral("CSpinEdit%1").arg(k + 1));
        count->setRange(kMinHoldCount, kMaxHoldCount);
        count->setToolTip(hint(str::HoldCountHint));
        connect(count, &QSpinBox::valueChanged, this, &TFormSet::CheckSet);
        holdBoxes_[static_cast<std::size_t>(k)] = box;
        holdCounts_[static_cast<std::size_t>(k)] = count;
        g->addWidget(box, k, 0);
        g->addWidget(count, k, 1);
    }
    g->setRowStretch(kHoldEventCount, 1);
    return page;
}

QDoubleSpinBox* TFormSet::fieldEdit(const char* field) const {
    return fields_->edit(field);
}

// ---- Showing the cycle -------------------------------------------------------------------------

const CycleRecord* TFormSet::shownCycle() const {
    return document_ != nullptr ? &document_->scenario().currentCycle() : nullptr;
}

double TFormSet::baseTime() const {
    return document_ != nullptr ? document_->scenario().header().baseTime : 0.0;
}

StartWindow TFormSet::storedWindow() const {
    const CycleRecord* c = shownCycle();
    if (c == nullptr) {
        return {};
    }
    return {toWholeMinutes(baseTime() + c->startFrom), toWholeMinutes(baseTime() + c->startUntil)};
}

bool TFormSet::editable() const {
    return document_ != nullptr && document_->scenario().editableCurrentCycle() != nullptr;
}

void TFormSet::showCycle(PortScenarioDocument* document) {
    if (document != document_) {
        if (document_ != nullptr) {
            disconnect(document_, nullptr, this, nullptr);
        }
        document_ = document;
        if (document != nullptr) {
            // The scenario goes with its port window: the dialog lets go.
            connect(document, &QObject::destroyed, this, [this] { showCycle(nullptr); });
            // Whatever changed the scenario, the dialog shows the cycle as it now stands (the
            // start window counts from the base time), never one that its own "Установить"
            // would write back.
            connect(document, &PortScenarioDocument::changed, this,
                    [this](PortScenarioDocument::Changes what) {
                        if (what &
                            ~PortScenarioDocument::Changes(PortScenarioDocument::AnswerStation)) {
                            load();
                        }
                    });
        }
    }
    load();
}

void TFormSet::load() {
    loading_ = true;
    const CycleRecord* c = shownCycle();
    if (c == nullptr) {
        port_ = 0;
        row_ = -1;
        bar2_->setText(1, QString());
        bar2_->setText(2, QString());
        bar1_->setText(1, txt(str::SettingsPortGone));
    } else {
        const TScenarClass& scenario = document_->scenario();
        port_ = document_->port();
        row_ = scenario.currentIndex();
        bar2_->setText(1, numberText(scenario.header().outNumber));
        bar2_->setText(2, txt(str::PortCaptionPrefix) + QString::number(port_));
        bar1_->setText(1, numberText(c->inNumber));
        edited_ = storedWindow();
        interval_->setText(startWindowText(edited_));
        fields_->load(*c);
        ringbackCheck_->setChecked(c->ringbackCheck != 0);
        attenuationCheck_->setChecked(c->attenuationCheck != 0);
        for (int k = 0; k < kHoldEventCount; ++k) {
            holdBoxes_[static_cast<std::size_t>(k)]->setChecked((c->holdMask >> k) & 1u);
            holdCounts_[static_cast<std::size_t>(k)]->setValue(c->holdCount[k]);
        }
        lastFrequency_ = fields_->edit("aaFrequency")->value();
    }
    interval_->setPalette(QPalette());
    pages_->setEnabled(c != nullptr);
    loading_ = false;
    changed_ = false;
    CheckSet();
}

void TFormSet::CheckSet() {
    if (loading_) {
        return;
    }
    const CycleRecord* c = shownCycle();
    bool changed = false;
    if (c != nullptr) {
        const StartWindow stored = storedWindow();
        changed = fields_->differs(*c) || edited_.start != stored.start ||
                  edited_.end != stored.end ||
                  ringbackCheck_->isChecked() != (c->ringbackCheck != 0) ||
                  attenuationCheck_->isChecked() != (c->attenuationCheck != 0);
        for (int k = 0; k < kHoldEventCount && !changed; ++k) {
            changed = holdBoxes_[static_cast<std::size_t>(k)]->isChecked() !=
                          (((c->holdMask >> k) & 1u) != 0) ||
                      holdCounts_[static_cast<std::size_t>(k)]->value() != c->holdCount[k];
        }
    }
    changed_ = changed;
    panel20_->setText(0, QString::number(fields_->edit("ringbackThreshold")->value()));
    const bool running = document_ != nullptr && document_->scenario().running();
    colourSetButton(set_, changed_);
    set_->setEnabled(!running && editable());
    reset_->setEnabled(changed_ && !running);
}

// ---- Rules while editing -----------------------------------------------------------------------

void TFormSet::onStartWindowEdited() {
    const CycleRecord* c = shownCycle();
    if (c == nullptr) {
        return;
    }
    const int cursor = interval_->cursorPosition();
    const StartWindowEdit edit = editStartWindow(interval_->displayText(), edited_, baseTime(),
                                                 c->startUntil - c->startFrom);
    edited_ = edit.window;
    if (edit.text != interval_->displayText()) {
        interval_->setText(edit.text);
        interval_->setCursorPosition(cursor);
    }
    // A day the month lacks keeps the previous time: the text says so in red until it parses
    // or the user leaves the edit.
    QPalette p;
    if (!edit.complete) {
        p.setColor(QPalette::Text, Qt::red);
    }
    interval_->setPalette(p);
    CheckSet();
}

void TFormSet::onStartWindowLeft() {
    if (shownCycle() != nullptr) {
        interval_->setText(startWindowText(edited_));
        interval_->setPalette(QPalette());
    }
}

void TFormSet::keepAttemptsInOrder(bool minimumLeft) {
    QDoubleSpinBox* min = fields_->edit("minAttempts");
    QDoubleSpinBox* max = fields_->edit("maxAttempts");
    if (min->value() > max->value()) {
        if (minimumLeft) {
            max->setValue(min->value());
        } else {
            min->setValue(max->value());
        }
    }
}

void TFormSet::onAnswerTimeChanged() {
    QDoubleSpinBox* min = fields_->edit("answerMinTime");
    QDoubleSpinBox* max = fields_->edit("answerMaxTime");
    if (!loading_ && min->value() > max->value()) {
        max->setValue(min->value());
    }
}

void TFormSet::onFrequencyChanged(double value) {
    if (loading_) {
        return;
    }
    const double allowed = applyFrequencyGap(value, lastFrequency_);
    lastFrequency_ = allowed;
    if (allowed != value) {
        fields_->edit("aaFrequency")->setValue(allowed);
    }
}

// ---- Storing -----------------------------------------------------------------------------------

bool TFormSet::SetDataFromForm() {
    if (!editable() || document_->scenario().running()) {
        return false;
    }
    const TScenarClass& scenario = document_->scenario();
    if (scenario.currentIndex() != row_) {
        load();  // the shown values belong to a cycle that is no longer the current one
        return false;
    }
    const CycleRecord* cycle = document_->scenario().editableCurrentCycle();
    // The button may be pressed without leaving a field first: its rule applies all the same.
    keepAttemptsInOrder(true);
    onStartWindowLeft();
    const double base = baseTime();
    CycleRecord candidate = *cycle;
    const StartWindow stored = storedWindow();
    if (edited_.start != stored.start || edited_.end != stored.end) {
        candidate.startFrom = edited_.start - base;
        candidate.startUntil = edited_.end - base;
    }
    fields_->store(candidate);
    candidate.ringbackCheck = ringbackCheck_->isChecked() ? 1 : 0;
    candidate.attenuationCheck = attenuationCheck_->isChecked() ? 1 : 0;
    std::uint32_t mask = 0;
    for (int k = 0; k < kHoldEventCount; ++k) {
        if (holdBoxes_[static_cast<std::size_t>(k)]->isChecked()) {
            mask |= 1u << k;
        }
        candidate.holdCount[k] =
            static_cast<std::uint8_t>(holdCounts_[static_cast<std::size_t>(k)]->value());
    }
    candidate.holdMask = mask & kHoldBits;
    finishCycleSettings(candidate);
    // What the file reader would refuse is never stored.
    if (const QString error = validateCycle(candidate, base); !error.isEmpty()) {
        context_.messages.error(txt(str::SettingsRefused).arg(error));
        return false;
    }
    document_->storeCurrentCycle(row_, candidate);
    load();
    return true;
}

void TFormSet::BitBtn_EscClick() {
    load();
}

bool TFormSet::openAdditional() {
    if (document_ == nullptr || !context_.allowWindow()) {
        return false;
    }
    TForm_SetAdd dialog(*document_, context_.messages, this);
    const bool stored = dialog.exec() == QDialog::Accepted;
    CheckSet();
    return stored;
}

}  // namespace zev7
