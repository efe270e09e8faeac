#include "dbui/selection_stat_windows.h"

#include "core/strings.h"
#include "dbquery/selection_stat_models.h"
#include "dbui/graph_param_button.h"
#include "dbui/wait_cursor.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTableView>

namespace zev7 {

namespace {

constexpr int kPeriodEditWidth = 80;
// The result names in full; the numbers with their seven parts.
constexpr int kNameWidth = 330;
constexpr int kNumberWidth = 190;

QLineEdit* periodEdit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(true);
    e->setFixedWidth(kPeriodEditWidth);
    e->setAlignment(Qt::AlignCenter);
    return e;
}

}  // namespace

TFormBD_StatItog::TFormBD_StatItog(QSqlDatabase db, IniFile* ini, UserMessages* messages,
                                   QWidget* parent)
    : StatWindow(txt(str::StatSummaryCaption), ini, messages, parent),
      model_(new SummaryStatModel(db, this)) {
    setObjectName(QStringLiteral("TFormBD_StatItog"));
    period_[0] = periodEdit(this, "DateOn_Edit");
    period_[1] = periodEdit(this, "TimeOn_Edit");
    period_[2] = periodEdit(this, "DateOff_Edit");
    period_[3] = periodEdit(this, "TimeOff_Edit");
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(txt(str::StatPeriodFrom), this));
    row->addWidget(period_[0]);
    row->addWidget(period_[1]);
    row->addWidget(new QLabel(txt(str::StatPeriodTo), this));
    row->addWidget(period_[2]);
    row->addWidget(period_[3]);
    row->addStretch(1);
    topLayout()->addLayout(row);
    setModel(model_, {kNameWidth});
}

void TFormBD_StatItog::recompute(const QList<int>& excludedCycleIds, const SqlFilter& filter) {
    WaitCursor wait;
    reportQuery(model_->recompute(excludedCycleIds, filter), *model_);
}

QString TFormBD_StatItog::exportHeading() const {
    return periodHeading(
        {period_[0]->text(), period_[2]->text(), period_[1]->text(), period_[3]->text()});
}

void TFormBD_StatItog::setPeriod(const PeriodTexts& period) {
    period_[0]->setText(period.dateOn);
    period_[1]->setText(period.timeOn);
    period_[2]->setText(period.dateOff);
    period_[3]->setText(period.timeOff);
}

TFormBD_StatParams::TFormBD_StatParams(QSqlDatabase db, IniFile* ini, UserMessages* messages,
                                       QWidget* parent)
    : StatWindow(txt(str::StatParamsCaption), ini, messages, parent),
      model_(new ParamStatModel(db, this)) {
    setObjectName(QStringLiteral("TFormBD_StatParams"));
    RBtn_Cnt = new QRadioButton(txt(str::StatCountMode), this);
    RBtn_Cnt->setObjectName(QStringLiteral("RBtn_Cnt"));
    RBtn_Perc = new QRadioButton(txt(str::DbColKpv), this);
    RBtn_Perc->setObjectName(QStringLiteral("RBtn_Perc"));
    RBtn_Cnt->setChecked(true);
    auto* group = new QButtonGroup(this);
    group->addButton(RBtn_Cnt);
    group->addButton(RBtn_Perc);
    connect(RBtn_Perc, &QRadioButton::toggled, this, [this](bool percent) {
        const int cycle = currentCycleId();
        model_->setPercentMode(percent);
        // The switch resets the grid; the user stays on the cycle he was looking at.
        selectCycle(cycle);
    });
    auto* row = new QHBoxLayout;
    row->addWidget(RBtn_Cnt);
    row->addWidget(RBtn_Perc);
    addGraphButton(row);
    row->addStretch(1);
    topLayout()->addLayout(row);
    setModel(model_, {kNumberWidth, kNumberWidth});
    rowLabel_ = new QLabel(this);
    rowLabel_->setObjectName(QStringLiteral("RowLabel"));
    mainLayout()->addWidget(rowLabel_);
    connect(grid()->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TFormBD_StatParams::rowChanged);
    connect(model_, &QAbstractItemModel::modelReset, this, &TFormBD_StatParams::updateRowLabel);
    updateRowLabel();

    popup_ = new QMenu(this);
    QAction* word = popup_->addAction(txt(str::MenuExportWord));
    word->setObjectName(QStringLiteral("Word1"));
    connect(word, &QAction::triggered, this, [this] { emit exportRequested(this); });
    grid()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->popup(grid()->viewport()->mapToGlobal(at)); });
}

void TFormBD_StatParams::recompute(const QList<int>& excludedCycleIds, const SqlFilter& filter) {
    WaitCursor wait;
    const int cycle = currentCycleId();
    if (reportQuery(model_->recompute(excludedCycleIds, filter), *model_)) {
        // One row per selected cycle: the label counts them all, so all are read.
        while (model_->canFetchMore()) {
            model_->fetchMore();
        }
    }
    selectCycle(cycle);
    updateRowLabel();
}

int TFormBD_StatParams::currentCycleId() const {
    const QModelIndex current = grid()->currentIndex();
    return current.isValid() ? model_->cycleId(current.row()) : -1;
}

void TFormBD_StatParams::selectCycle(int cycleId) {
    following_ = true;
    int row = -1;
    for (int r = 0; r < model_->rowCount() && cycleId >= 0; ++r) {
        if (model_->cycleId(r) == cycleId) {
            row = r;
            break;
        }
    }
    if (row < 0 && model_->rowCount() > 0 && !grid()->currentIndex().isValid()) {
        row = 0;
    }
    if (row >= 0) {
        const int column = qMax(0, grid()->currentIndex().column());
        grid()->setCurrentIndex(model_->index(row, column));
        grid()->scrollTo(model_->index(row, column));
    }
    following_ = false;
    updateRowLabel();
}

void TFormBD_StatParams::rowChanged() {
    updateRowLabel();
    if (!following_) {
        const int cycle = currentCycleId();
        if (cycle >= 0) {
            emit currentCycleChanged(cycle);
        }
    }
}

void TFormBD_StatParams::addGraphButton(QBoxLayout* row) {
    auto* b = new GraphParamButton(txt(str::GraphDbByCycle), byCycleParams(), this);
    b->setObjectName(QStringLiteral("Graph_Button"));
    row->addSpacing(16);
    row->addWidget(b);
    connect(b, &GraphParamButton::graphRequested, this, &TFormBD_StatParams::graphRequested);
}

QString TFormBD_StatParams::rowLabel() const {
    return rowLabel_->text();
}

void TFormBD_StatParams::updateRowLabel() {
    const QModelIndex current = grid()->currentIndex();
    rowLabel_->setText(rowOfText(current.isValid() ? current.row() + 1 : 0, model_->rowCount()));
}

}  // namespace zev7
