#include "dbui/period_edits.h"

#include <QLineEdit>

namespace zev7 {

namespace {
// Two digits each, '_' where nothing is typed yet; a blank left is filled in on correction.
constexpr const char* kMasks[] = {"00.00.00;_", "00.00.00;_", "00:00:00;_", "00:00:00;_"};
constexpr const char* kNames[] = {"DateOn_Edit", "DateOff_Edit", "TimeOn_Edit", "TimeOff_Edit"};
}  // namespace

PeriodEdits::PeriodEdits(QWidget* parent) : QObject(parent) {
    for (std::size_t i = 0; i < edits_.size(); ++i) {
        auto* edit = new QLineEdit(parent);
        edit->setObjectName(QString::fromLatin1(kNames[i]));
        edit->setInputMask(QString::fromLatin1(kMasks[i]));
        // Leaving the edit or Enter: the mask's '0' accepts blanks, so both always arrive here.
        connect(edit, &QLineEdit::editingFinished, this, [this] {
            if (takeTyped()) {
                emit edited();
            }
        });
        edits_[i] = edit;
    }
}

void PeriodEdits::setPeriod(const PeriodTexts& period) {
    period_ = period;
    period_.correct();
    const QString* texts[] = {&period_.dateOn, &period_.dateOff, &period_.timeOn, &period_.timeOff};
    for (std::size_t i = 0; i < edits_.size(); ++i) {
        // Enter keeps the cursor where the user left it.
        const int cursor = edits_[i]->cursorPosition();
        edits_[i]->setText(*texts[i]);
        edits_[i]->setCursorPosition(cursor);
    }
}

bool PeriodEdits::takeTyped() {
    const PeriodTexts before = period_;
    PeriodTexts typed;
    typed.dateOn = dateOn()->displayText();
    typed.dateOff = dateOff()->displayText();
    typed.timeOn = timeOn()->displayText();
    typed.timeOff = timeOff()->displayText();
    setPeriod(typed);
    return period_.dateOn != before.dateOn || period_.dateOff != before.dateOff ||
           period_.timeOn != before.timeOn || period_.timeOff != before.timeOff;
}

}  // namespace zev7
