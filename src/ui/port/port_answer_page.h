// The controls of the answering-station page: the eight settings of the station with their
// ranges, the frequency gap rule, the tick box that enables the tone threshold, and whether the
// shown values differ from the scenario header's.
#pragma once

#include "scenario/answer_settings.h"

#include <QWidget>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;

namespace zev7 {

class AnswerPage : public QWidget {
    Q_OBJECT

public:
    explicit AnswerPage(QWidget* parent = nullptr);

    // Shows the values; the last frequency becomes the shown one.
    void showSettings(const AnswerSettings& s);
    // The values as shown; the tone band from the tick box and the frequency.
    AnswerSettings settings() const;
    // Any control differs from the header (the tick box against toneCheck != 0).
    bool differsFrom(const ScenarHeader& header) const;

    QSpinBox* levelEdit() const { return level_; }
    QDoubleSpinBox* frequencyEdit() const { return frequency_; }
    QCheckBox* toneBox() const { return toneBox_; }
    QSpinBox* toneLevelEdit() const { return toneLevel_; }

signals:
    void edited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onFrequencyChanged(double value);
    void applyToneBox();

    QSpinBox* level_;
    QDoubleSpinBox* frequency_;
    QSpinBox* rings_;
    QDoubleSpinBox* signalTime_;
    QDoubleSpinBox* delayOn_;
    QDoubleSpinBox* delayOff_;
    QCheckBox* toneBox_;
    QSpinBox* toneLevel_;
    QLabel* toneLabel_;
    double lastFrequency_ = 0.0;
    bool showing_ = false;
};

}  // namespace zev7
