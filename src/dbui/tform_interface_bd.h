// "Интерфейс БД": where the engineer says which cycles to look at after a campaign: the period
// and hours, the days of the week, the measuring stations (when the database holds the cycles
// of more than one), the side chosen by, that side's city codes, extra codes and
// exchanges, the numbers of that side and, for each, the numbers of the other side left out.
// "Показать циклы" hands the selection to the list window "Выбранные циклы".
#pragma once

#include "dbquery/selection_criteria.h"
#include "dbquery/selection_lists.h"
#include "ui/frame/mdi_child.h"

#include <QDate>
#include <QSqlDatabase>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace zev7 {

class PeriodEdits;
class UserMessages;

// The database windows have no topic of their own: F1 opens the contents.
inline constexpr int kDatabaseHelpContext = 17;

class TForm_InterfaceBD : public MdiChild {
    Q_OBJECT

public:
    // `today` starts the period: the last thirty days up to it.
    TForm_InterfaceBD(QSqlDatabase db, UserMessages& messages, IniFile* ini, const QDate& today,
                      QWidget* parent = nullptr);

    const SelectionCriteria& criteria() const { return criteria_; }

    static QString windowName() { return QStringLiteral("TForm_InterfaceBD"); }

signals:
    // "Показать циклы" with at least one number ticked.
    void showCyclesRequested(const zev7::SelectionCriteria& criteria);

protected:
    void writeSettings(IniFile& ini, const QString& section) override;
    void readSettings(const IniFile& ini, const QString& section) override;

private:
    QWidget* makePeriodBox();
    QWidget* makeSideBox();
    QWidget* makeStationBox();
    QWidget* makeCodeBox();
    QWidget* makeNumberBox();

    void periodEdited();
    void dayToggled(int dayWeekId, bool on);
    void chooseSide(SelectionSide side);
    void reloadCodeLists();
    void codeTicked(CodePart part, QListWidgetItem* item);
    void stationTicked(QListWidgetItem* item);
    void chooseNumbers();
    void fillSecondList();
    void firstTicked(QListWidgetItem* item);
    void secondTicked(QListWidgetItem* item);
    void showCycles();

    // The widgets show what the criteria hold.
    void showPeriod();
    void showDays();
    void showCodeLists();
    void showStations();
    void showSideCaptions();
    void clearNumberLists();
    void reportQueryError();

    SelectionCriteria criteria_;
    SelectionLists lists_;
    UserMessages& messages_;
    // The other side's identifiers of the second list, row by row.
    QList<int> secondIds_;

    PeriodEdits* period_ = nullptr;
    std::array<QCheckBox*, 7> days_{};
    QRadioButton* out_ = nullptr;
    QRadioButton* in_ = nullptr;
    QGroupBox* stationBox_ = nullptr;
    QListWidget* stationList_ = nullptr;
    QGroupBox* codeBox_ = nullptr;
    std::array<QListWidget*, kCodePartCount> codeLists_{};
    QLabel* firstTitle_ = nullptr;
    QLabel* secondTitle_ = nullptr;
    QListWidget* first_ = nullptr;
    QListWidget* second_ = nullptr;
    QPushButton* refresh_ = nullptr;
};

}  // namespace zev7
