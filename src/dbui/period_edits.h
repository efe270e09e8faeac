// The four period edits of the database windows, "DateOn_Edit", "DateOff_Edit", "TimeOn_Edit"
// and "TimeOff_Edit": two-digit masks the user types over. What is typed is corrected (an
// impossible day or hour, an end before the start) only when the user leaves an edit or
// presses Enter: typing over a date always passes through six digits that are no date yet,
// and a correction then would change the digits under the user's hands.
#pragma once

#include "dbquery/period_text.h"

#include <QObject>
#include <array>

class QLineEdit;
class QWidget;

namespace zev7 {

class PeriodEdits : public QObject {
    Q_OBJECT

public:
    // The edits are children of `parent`; the window places them.
    explicit PeriodEdits(QWidget* parent);

    QLineEdit* dateOn() const { return edits_[0]; }
    QLineEdit* dateOff() const { return edits_[1]; }
    QLineEdit* timeOn() const { return edits_[2]; }
    QLineEdit* timeOff() const { return edits_[3]; }
    const std::array<QLineEdit*, 4>& edits() const { return edits_; }

    // The period as last corrected (what is being typed does not count yet).
    const PeriodTexts& period() const { return period_; }
    // Shows the period, corrected.
    void setPeriod(const PeriodTexts& period);
    // Takes what is typed now, as leaving the edit would: for a command that acts on the
    // period while the cursor is still in an edit. True when the period changed.
    bool takeTyped();

signals:
    // The user left an edit or pressed Enter and the period changed; the texts are corrected
    // and shown.
    void edited();

private:
    std::array<QLineEdit*, 4> edits_{};
    PeriodTexts period_;
};

}  // namespace zev7
