#include "ui/port/port_answer_page.h"

#include "core/strings.h"
#include "ui/settings/port_page_rules.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

namespace zev7 {

namespace {

// What the measuring modem accepts for an answering station.
constexpr int kLevelMinDbm = -24;
constexpr int kLevelMaxDbm = 0;
constexpr double kFrequencyMinHz = 300.0;
constexpr double kFrequencyMaxHz = 2700.0;
constexpr int kRingsMin = 2;
constexpr int kRingsMax = 4;
constexpr double kSignalTimeMinS = 0.1;
constexpr double kDelayMinS = 0.2;
constexpr double kTimeMaxS = 25.5;
constexpr int kToneLevelMinDbm = -40;
constexpr int kToneLevelMaxDbm = -10;

QDoubleSpinBox* secondsEdit(double minimum) {
    auto* e = new QDoubleSpinBox;
    e->setRange(minimum, kTimeMaxS);
    e->setDecimals(1);
    e->setSingleStep(0.1);
    return e;
}

}  // namespace

AnswerPage::AnswerPage(QWidget* parent) : QWidget(parent) {
    level_ = new QSpinBox;
    level_->setObjectName("AA_Level_Set");
    level_->setRange(kLevelMinDbm, kLevelMaxDbm);
    frequency_ = new QDoubleSpinBox;
    frequency_->setObjectName("AA_Freq_Set");
    frequency_->setRange(kFrequencyMinHz, kFrequencyMaxHz);
    frequency_->setDecimals(0);
    // The gap rule judges the value the user settled on, not every keystroke on the way.
    frequency_->setKeyboardTracking(false);
    frequency_->installEventFilter(this);
    rings_ = new QSpinBox;
    rings_->setObjectName("AA_Ring_Set");
    rings_->setRange(kRingsMin, kRingsMax);
    signalTime_ = secondsEdit(kSignalTimeMinS);
    signalTime_->setObjectName("AA_TimeSignal_Set");
    delayOn_ = secondsEdit(kDelayMinS);
    delayOn_->setObjectName("AA_Delay_Set");
    delayOff_ = secondsEdit(kDelayMinS);
    delayOff_->setObjectName("AA_DelayAfter_Set");
    toneBox_ = new QCheckBox(txt(str::ToneCheckLabel));
    toneBox_->setObjectName("CB_TonFlg");
    toneLevel_ = new QSpinBox;
    toneLevel_->setObjectName("AA_TonLev");
    toneLevel_->setRange(kToneLevelMinDbm, kToneLevelMaxDbm);
    toneLabel_ = new QLabel(txt(str::ToneThresholdLabel));

    auto* form = new QFormLayout(this);
    form->addRow(txt(str::AaLevelLabel), level_);
    form->addRow(txt(str::AaFrequencyLabel), frequency_);
    form->addRow(txt(str::AaRingsLabel), rings_);
    form->addRow(txt(str::AaDelayOnLabel), delayOn_);
    form->addRow(txt(str::AaSignalTimeLabel), signalTime_);
    form->addRow(txt(str::AaDelayOffLabel), delayOff_);
    form->addRow(toneBox_);
    form->addRow(toneLabel_, toneLevel_);

    auto changed = [this] {
        if (!showing_) {
            emit edited();
        }
    };
    connect(level_, &QSpinBox::valueChanged, this, changed);
    connect(rings_, &QSpinBox::valueChanged, this, changed);
    connect(toneLevel_, &QSpinBox::valueChanged, this, changed);
    for (QDoubleSpinBox* e : {signalTime_, delayOn_, delayOff_}) {
        connect(e, &QDoubleSpinBox::valueChanged, this, changed);
    }
    connect(frequency_, &QDoubleSpinBox::valueChanged, this, &AnswerPage::onFrequencyChanged);
    connect(toneBox_, &QCheckBox::toggled, this, [this, changed] {
        applyToneBox();
        changed();
    });
    applyToneBox();
}

bool AnswerPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == frequency_ && event->type() == QEvent::FocusIn) {
        lastFrequency_ = frequency_->value();
    }
    return QWidget::eventFilter(watched, event);
}

void AnswerPage::onFrequencyChanged(double value) {
    if (showing_) {
        return;
    }
    const double allowed = applyFrequencyGap(value, lastFrequency_);
    if (allowed != value) {
        const QSignalBlocker block(frequency_);
        frequency_->setValue(allowed);
    }
    lastFrequency_ = allowed;
    emit edited();
}

void AnswerPage::applyToneBox() {
    const bool on = toneBox_->isChecked();
    toneLevel_->setEnabled(on);
    toneLabel_->setEnabled(on);
}

void AnswerPage::showSettings(const AnswerSettings& s) {
    showing_ = true;
    level_->setValue(s.level);
    frequency_->setValue(s.frequency);
    rings_->setValue(s.rings);
    signalTime_->setValue(s.duration);
    delayOn_->setValue(s.delayOn);
    delayOff_->setValue(s.delayOff);
    toneBox_->setChecked(s.toneBand != 0);
    toneLevel_->setValue(s.toneThreshold);
    lastFrequency_ = frequency_->value();
    applyToneBox();
    showing_ = false;
}

AnswerSettings AnswerPage::settings() const {
    AnswerSettings s;
    s.level = level_->value();
    s.frequency = frequency_->value();
    s.rings = rings_->value();
    s.duration = signalTime_->value();
    s.delayOn = delayOn_->value();
    s.delayOff = delayOff_->value();
    s.toneBand = answerToneBand(toneBox_->isChecked(), s.frequency);
    s.toneThreshold = toneLevel_->value();
    return s;
}

bool AnswerPage::differsFrom(const ScenarHeader& header) const {
    const AnswerSettings stored = AnswerSettings::fromHeader(header);
    // The spin boxes show the stored values rounded to their steps; compare what they show.
    auto shownSeconds = [](double v) { return qRound(v * 10.0); };
    return level_->value() != stored.level ||
           qRound(frequency_->value()) != qRound(stored.frequency) ||
           rings_->value() != stored.rings ||
           shownSeconds(signalTime_->value()) != shownSeconds(stored.duration) ||
           shownSeconds(delayOn_->value()) != shownSeconds(stored.delayOn) ||
           shownSeconds(delayOff_->value()) != shownSeconds(stored.delayOff) ||
           toneBox_->isChecked() != (stored.toneBand != 0) ||
           toneLevel_->value() != stored.toneThreshold;
}

}  // namespace zev7
