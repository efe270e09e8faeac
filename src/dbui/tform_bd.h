// "База данных", page "Монитор измерений": the developer's look into the tables while ports
// measure (a table chosen from the list, refreshed as rows arrive), emptying the results, and
// filling the database with generated cycles through the ports' own writer.
#pragma once

#include "ui/frame/mdi_child.h"

#include <QDate>
#include <QSqlDatabase>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QSqlQueryModel;
class QTableView;
class QTimer;

namespace zev7 {

class UserMessages;

// How often the monitor rereads the shown table.
inline constexpr int kMonitorRefreshMs = 2000;

class TForm_BD : public MdiChild {
    Q_OBJECT

public:
    // `today`: the generated cycles end on the day before, so a selection of the last days
    // finds them.
    TForm_BD(QSqlDatabase db, UserMessages& messages, IniFile* ini, const QDate& today,
             QWidget* parent = nullptr);

    static QString windowName() { return QStringLiteral("TForm_BD"); }

    // Emptying the results is refused unless this says yes (no port measures).
    void setGuard(std::function<bool()> guard) { guard_ = std::move(guard); }

    // "Очистить": the seven result tables in the order that keeps no orphan rows.
    void clearResults();
    // "Заполнить базу": scenarios × cycles complete cycles of callsPerCycle test calls.
    void fillDatabase(int scenarios, int cycles, int callsPerCycle);
    // Rereads the shown table, keeping the current row.
    void refresh();
    void showTable(const QString& name);
    QSqlQueryModel& tableModel() { return *model_; }

private:
    QWidget* makeMonitorPage();
    void move(int row);
    void updateRecordLabel();

    QSqlDatabase db_;
    UserMessages& messages_;
    QDate today_;
    std::function<bool()> guard_;
    QSqlQueryModel* model_ = nullptr;
    QComboBox* tables_ = nullptr;
    QTableView* grid_ = nullptr;
    QLabel* record_ = nullptr;
    QSpinBox* scenarios_ = nullptr;
    QSpinBox* cycles_ = nullptr;
    QSpinBox* calls_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* fill_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace zev7
