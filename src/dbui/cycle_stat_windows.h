// The three windows that follow the current cycle of the cycle list: its results, its test
// calls and its settings, each under a heading naming the cycle.
#pragma once

#include "dbquery/cycle_header.h"
#include "dbui/stat_window.h"

#include <QSqlDatabase>
#include <functional>

namespace zev7 {

class CycleCallsModel;
class CycleHeading;
class CycleSettingsModel;
class CycleStatModel;

class CycleWindow : public StatWindow {
    Q_OBJECT

public:
    CycleWindow(const QString& caption, QSqlDatabase db, IniFile* ini, UserMessages* messages,
                QWidget* parent = nullptr);

    int cycleId() const { return header_.cycleId; }
    const CycleHeader& header() const { return header_; }
    // The cycle as its heading names it: the numbers with their labels and the start.
    QString exportHeading() const override;

public slots:
    // Shows that cycle (the current row of the cycle list moved); -1 empties the window.
    void showCycle(int cycleId);

protected:
    // The grid's model and how it shows one cycle.
    void setCycleModel(StatTableModel* model, std::function<bool(int)> show,
                       const QList<int>& wider);
    virtual void clearGrid();
    QSqlDatabase db_;

private:
    StatTableModel* model_ = nullptr;
    std::function<bool(int)> show_;
    CycleHeader header_;
    CycleHeading* heading_;
};

// "Статистика цикла попыток  вызовов".
class TFormBD_StatCycle : public CycleWindow {
    Q_OBJECT
public:
    TFormBD_StatCycle(QSqlDatabase db, IniFile* ini, UserMessages* messages,
                      QWidget* parent = nullptr);
    CycleStatModel* model() const { return model_; }
    PageOrientation exportOrientation() const override { return PageOrientation::Portrait; }

private:
    CycleStatModel* model_;
};

// "Вызовы цикла": holds the cycle's measurement rows in TEMP_RESSEANS while it is open.
class TFormBD_SeansCycle : public CycleWindow {
    Q_OBJECT
public:
    TFormBD_SeansCycle(QSqlDatabase db, IniFile* ini, UserMessages* messages,
                       QWidget* parent = nullptr);
    CycleCallsModel* model() const { return model_; }
    PageOrientation exportOrientation() const override { return PageOrientation::Landscape; }

signals:
    // The distribution or call-by-call graph of a level (its graph kind).
    void graphRequested(int kind);

protected:
    void clearGrid() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void addGraphButtons();

    CycleCallsModel* model_;
};

// "Параметры настройки цикла".
class TFormDB_SetCycle : public CycleWindow {
    Q_OBJECT
public:
    TFormDB_SetCycle(QSqlDatabase db, IniFile* ini, UserMessages* messages,
                     QWidget* parent = nullptr);
    CycleSettingsModel* model() const { return model_; }
    // "Исх. [out] Вх. [in] " and the start.
    QString exportHeading() const override;
    PageOrientation exportOrientation() const override { return PageOrientation::Portrait; }

private:
    CycleSettingsModel* model_;
};

}  // namespace zev7
