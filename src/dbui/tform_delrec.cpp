#include "dbui/tform_delrec.h"

#include "core/strings.h"
#include "dbquery/period_text.h"
#include "dbui/period_edits.h"
#include "dbui/wait_cursor.h"
#include "scenario/user_messages.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace zev7 {

TForm_DelRec::TForm_DelRec(QSqlDatabase db, UserMessages& messages, const QDate& today,
                           QWidget* parent)
    : MaintenanceDialog(kHelpContext, parent), db_(db), messages_(messages) {
    setObjectName(QStringLiteral("Form_DelRec"));
    setWindowTitle(txt(str::DelRecCaption));
    makeWidgets();
    rebuilding_ = true;
    period_->setPeriod(PeriodTexts::lastThirtyDays(today));
    modes_[0]->setChecked(true);
    rebuilding_ = false;
    rebuildInterval();
    refresh_ = new QTimer(this);
    refresh_->setInterval(kSelectionRefreshMs);
    connect(refresh_, &QTimer::timeout, this, [this] {
        if (!running()) {
            rebuildSelection(true);
        }
    });
    refresh_->start();
}

QLineEdit* TForm_DelRec::dateOnEdit() const {
    return period_->dateOn();
}

QLineEdit* TForm_DelRec::dateOffEdit() const {
    return period_->dateOff();
}

QLineEdit* TForm_DelRec::timeOnEdit() const {
    return period_->timeOn();
}

QLineEdit* TForm_DelRec::timeOffEdit() const {
    return period_->timeOff();
}

void TForm_DelRec::makeWidgets() {
    auto* layout = new QVBoxLayout(this);

    auto* period = new QGroupBox(txt(str::DelRecInterval), this);
    auto* grid = new QGridLayout(period);
    period_ = new PeriodEdits(period);
    // The interval of a destructive command changes only once the user has finished typing it.
    connect(period_, &PeriodEdits::edited, this, &TForm_DelRec::rebuildInterval);
    grid->addWidget(new QLabel(txt(str::DelRecDateFrom), period), 0, 0);
    grid->addWidget(period_->dateOn(), 0, 1);
    grid->addWidget(new QLabel(txt(str::DelRecTo), period), 0, 2);
    grid->addWidget(period_->dateOff(), 0, 3);
    grid->addWidget(new QLabel(txt(str::DelRecTimeFrom), period), 1, 0);
    grid->addWidget(period_->timeOn(), 1, 1);
    grid->addWidget(new QLabel(txt(str::DelRecTo), period), 1, 2);
    grid->addWidget(period_->timeOff(), 1, 3);
    layout->addWidget(period);

    auto* conditions = new QGroupBox(txt(str::DelRecModes), this);
    auto* modeGrid = new QGridLayout(conditions);
    for (int i = 0; i < static_cast<int>(modes_.size()); ++i) {
        modes_[i] = new QRadioButton(txt(str::DelRecModeNames[i]), conditions);
        modeGrid->addWidget(modes_[i], i, 0);
        connect(modes_[i], &QRadioButton::toggled, this, [this](bool on) {
            if (on) {
                rebuildLists();
            }
        });
    }
    const auto list = [&](const char* label, int row) {
        auto* box = new QComboBox(conditions);
        box->setMinimumContentsLength(30);
        modeGrid->addWidget(new QLabel(txt(label), conditions), row, 1);
        modeGrid->addWidget(box, row, 2);
        return box;
    };
    DBL_CB_OUT = list(str::DelRecOutgoing, 2);
    DBL_CB_IN = list(str::DelRecIncoming, 3);
    DBL_CB_CYC = list(str::DelRecCycle, 4);
    connect(DBL_CB_OUT, &QComboBox::currentIndexChanged, this, [this] {
        if (!rebuilding_) {
            rebuildIncoming();
        }
    });
    connect(DBL_CB_IN, &QComboBox::currentIndexChanged, this, [this] {
        if (!rebuilding_) {
            rebuildCycles();
        }
    });
    connect(DBL_CB_CYC, &QComboBox::currentIndexChanged, this, [this] {
        if (!rebuilding_) {
            rebuildSelection();
        }
    });
    layout->addWidget(conditions);

    selectedLabel_ = new QLabel(this);
    layout->addWidget(selectedLabel_);
    CGauge1 = new QProgressBar(this);
    CGauge1->setRange(0, 100);
    CGauge1->setValue(0);
    layout->addWidget(CGauge1);

    auto* buttons = new QHBoxLayout;
    Button1 = new QPushButton(txt(str::DelRecDelete), this);
    Button2 = new QPushButton(txt(str::DelRecDeleteAll), this);
    Button2->setToolTip(txt(str::DelRecDeleteAllHint));
    Button_Break = new QPushButton(txt(str::DelRecBreak), this);
    Button_Break->setEnabled(false);
    BitBtn1 = new QPushButton(txt(str::DelRecClose), this);
    for (QPushButton* b : {Button1, Button2, Button_Break, BitBtn1}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, &TForm_DelRec::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm_DelRec::Button2Click);
    connect(Button_Break, &QPushButton::clicked, this, [this] { break_ = true; });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm_DelRec::rebuildInterval() {
    const PeriodTexts& p = period_->period();
    interval_ = {dateFromText(p.dateOn), dateFromText(p.dateOff), timeFromText(p.timeOn),
                 timeFromText(p.timeOff)};
    rebuildLists();
}

DeletionChoice TForm_DelRec::choice() const {
    DeletionChoice c;
    for (int i = 0; i < static_cast<int>(modes_.size()); ++i) {
        if (modes_[i]->isChecked()) {
            c.mode = static_cast<DeletionMode>(i);
        }
    }
    c.outId = DBL_CB_OUT->currentData().toInt();
    c.inId = DBL_CB_IN->currentData().toInt();
    c.cycleId = DBL_CB_CYC->currentData().toInt();
    return c;
}

void TForm_DelRec::fill(QComboBox* box, const QList<DeletionListEntry>& entries) {
    const bool was = rebuilding_;
    rebuilding_ = true;
    box->clear();
    for (const DeletionListEntry& e : entries) {
        box->addItem(e.text, e.id);
    }
    box->setCurrentIndex(entries.isEmpty() ? -1 : 0);
    rebuilding_ = was;
}

// Which lists a mode opens, each filled for the interval and the entries chosen before it.
void TForm_DelRec::rebuildLists() {
    if (rebuilding_) {
        return;
    }
    const DeletionMode mode = choice().mode;
    const bool out = mode == DeletionMode::ByOutgoing || mode == DeletionMode::OutgoingIncoming;
    const bool in = mode == DeletionMode::ByIncoming || mode == DeletionMode::OutgoingIncoming;
    DBL_CB_OUT->setEnabled(out);
    DBL_CB_IN->setEnabled(in);
    DBL_CB_CYC->setEnabled(mode == DeletionMode::OutgoingIncoming);
    DeletionQueries queries(db_);
    fill(DBL_CB_OUT, out ? queries.outgoing(interval_) : QList<DeletionListEntry>{});
    rebuildIncoming();
}

void TForm_DelRec::rebuildIncoming() {
    const DeletionChoice c = choice();
    DeletionQueries queries(db_);
    if (c.mode == DeletionMode::ByIncoming) {
        fill(DBL_CB_IN, queries.incoming(interval_));
    } else if (c.mode == DeletionMode::OutgoingIncoming) {
        fill(DBL_CB_IN,
             c.outId != 0 ? queries.incoming(interval_, c.outId) : QList<DeletionListEntry>{});
    } else {
        fill(DBL_CB_IN, {});
    }
    rebuildCycles();
}

void TForm_DelRec::rebuildCycles() {
    const DeletionChoice c = choice();
    const bool pair = c.mode == DeletionMode::OutgoingIncoming && c.outId != 0 && c.inId != 0;
    fill(DBL_CB_CYC, pair ? DeletionQueries(db_).cycles(interval_, c.outId, c.inId)
                          : QList<DeletionListEntry>{});
    rebuildSelection();
}

void TForm_DelRec::rebuildSelection(bool quiet) {
    QList<int> selected;
    DeletionQueries queries(db_);
    if (!queries.selectedCycles(DeletionQueries::selection(interval_, choice()), &selected)) {
        if (quiet) {
            return;
        }
        messages_.error(txt(str::DbQueryFailed).arg(queries.error()));
    }
    selected_ = selected;
    selectedLabel_->setText(txt(str::DelRecSelected).arg(selected_.size()));
}

DeletionCallbacks TForm_DelRec::callbacks() {
    return {[this](int gauge) { CGauge1->setValue(gauge); },
            [] { QCoreApplication::processEvents(); },
            [this] { return break_; },
            {}};
}

void TForm_DelRec::setRunning(bool running) {
    setRunningFlag(running);
    for (QWidget* w : period_->edits()) {
        w->setEnabled(!running);
    }
    for (QWidget* w : {DBL_CB_OUT, DBL_CB_IN, DBL_CB_CYC}) {
        w->setEnabled(!running);
    }
    for (QWidget* w : {Button1, Button2, BitBtn1}) {
        w->setEnabled(!running);
    }
    for (QRadioButton* b : modes_) {
        b->setEnabled(!running);
    }
    if (!running) {
        rebuildLists();
    }
}

void TForm_DelRec::report(const DeletionResult& result) {
    if (result.failed) {
        messages_.error(txt(str::DelRecFailed).arg(result.error));
    }
}

void TForm_DelRec::Button1Click() {
    // What is typed counts (a shortcut leaves the cursor in the edit), and the cycles are the
    // ones the selection takes now, also those measured since the count was last read.
    if (period_->takeTyped()) {
        rebuildInterval();
    } else {
        rebuildSelection();
    }
    if (!portsIdleForMaintenance(messages_) || !messages_.askYesNo(txt(str::DelRecAsk))) {
        return;
    }
    setRunning(true);
    Button_Break->setEnabled(true);
    break_ = false;
    DeletionResult result;
    {
        WaitCursor wait;
        CGauge1->setValue(0);
        result = CycleDeleter(db_).deleteCycles(selected_, callbacks());
    }
    Button_Break->setEnabled(false);
    setRunning(false);
    report(result);
}

void TForm_DelRec::Button2Click() {
    if (!portsIdleForMaintenance(messages_) || !messages_.askYesNo(txt(str::DelRecAsk))) {
        return;
    }
    setRunning(true);
    DeletionResult result;
    {
        WaitCursor wait;
        CGauge1->setValue(0);
        result = CycleDeleter(db_).deleteAll(callbacks());
    }
    setRunning(false);
    report(result);
}

}  // namespace zev7
