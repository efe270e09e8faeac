// The two windows over all selected cycles: the loss statistics of the selection and the table
// of every cycle's counts and mean levels. Both are recomputed when the list window gets its
// totals, refreshes its selection or changes its filter.
#pragma once

#include "dbquery/period_text.h"
#include "dbquery/record_filter.h"
#include "dbui/stat_window.h"

#include <QSqlDatabase>

class QBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;

namespace zev7 {

class ParamStatModel;
class SummaryStatModel;

// "Статистика циклов".
class TFormBD_StatItog : public StatWindow {
    Q_OBJECT
public:
    TFormBD_StatItog(QSqlDatabase db, IniFile* ini, UserMessages* messages,
                     QWidget* parent = nullptr);
    SummaryStatModel* model() const { return model_; }
    QString exportHeading() const override;
    PageOrientation exportOrientation() const override { return PageOrientation::Portrait; }

public slots:
    void recompute(const QList<int>& excludedCycleIds, const SqlFilter& filter);
    // The selection period, as the selection window's edits hold it.
    void setPeriod(const PeriodTexts& period);

private:
    SummaryStatModel* model_;
    QLineEdit* period_[4];
};

// "Статистика измерений параметра по циклам".
class TFormBD_StatParams : public StatWindow {
    Q_OBJECT
public:
    TFormBD_StatParams(QSqlDatabase db, IniFile* ini, UserMessages* messages,
                       QWidget* parent = nullptr);
    ParamStatModel* model() const { return model_; }
    QRadioButton* countButton() const { return RBtn_Cnt; }
    QRadioButton* percentButton() const { return RBtn_Perc; }
    // "N из M" under the grid.
    QString rowLabel() const;
    // The cycle of the current row, or -1.
    int currentCycleId() const;
    // The grid's pop-up menu: "Экспорт таблицы в Word" (Word1) first.
    QMenu* popupMenu() const { return popup_; }
    QString exportHeading() const override { return periodHeading(period_); }
    PageOrientation exportOrientation() const override { return PageOrientation::Landscape; }

public slots:
    void recompute(const QList<int>& excludedCycleIds, const SqlFilter& filter);
    // The selection period, for the heading of the exported table.
    void setPeriod(const PeriodTexts& period) { period_ = period; }
    // The cycle list moved: the same cycle becomes current here, without echoing it back.
    void selectCycle(int cycleId);

signals:
    // The user moved to another row (the cycle list follows).
    void currentCycleChanged(int cycleId);
    // The pop-up menu's export entry: the frame exports this window's table.
    void exportRequested(QWidget* window);
    // The graph of a parameter by cycle (its graph kind).
    void graphRequested(int kind);

private:
    void addGraphButton(QBoxLayout* row);
    void rowChanged();
    void updateRowLabel();

    ParamStatModel* model_;
    QRadioButton* RBtn_Cnt;
    QRadioButton* RBtn_Perc;
    QLabel* rowLabel_;
    QMenu* popup_;
    PeriodTexts period_;
    bool following_ = false;
};

}  // namespace zev7
