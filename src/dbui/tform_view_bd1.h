// "Выбранные циклы": the cycles of the selection, one row each, with their attempts, losses,
// loss coefficient against the norm and state. The engineer takes single cycles out of the
// totals ("Учет цикла", grey rows), asks for the totals ("Получить итог"), drops the cycles
// taken out ("Обновить выборку"), narrows the list with the filter, and opens the statistics
// windows, which follow the current row and the selection through the signals below.
#pragma once

#include "dbquery/cycle_list_model.h"
#include "dbquery/record_filter.h"
#include "dbquery/selection_criteria.h"
#include "dbquery/working_selection.h"
#include "dbui/selection_csv_export.h"
#include "dbui/word_export.h"
#include "ui/frame/mdi_child.h"

#include <QSqlDatabase>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTableWidget;

namespace zev7 {

class GridColumnWidths;
class UserMessages;

class TForm_ViewBD1 : public MdiChild, public ExportableGrid {
    Q_OBJECT

public:
    TForm_ViewBD1(QSqlDatabase db, UserMessages& messages, IniFile* ini, QWidget* parent = nullptr);
    ~TForm_ViewBD1() override;

    static QString windowName() { return QStringLiteral("TForm_ViewBD1"); }

    // "Показать циклы": the working tables take the selection and the list shows it. false
    // (with the message shown) when the database refuses; the list is then empty.
    bool loadSelection(const SelectionCriteria& criteria);

    QList<int> excludedCycleIds() const;
    SqlFilter filter() const { return filter_; }
    // The cycle of the current row, or 0 when the list is empty.
    int currentCycleId() const;
    const SelectionTotals& totals() const { return totals_; }
    CycleListModel& cycleList() { return *list_; }
    // "Экспорт в CSV": the selection's cycles or calls for other programs.
    SelectionCsvExport& csvExport() { return csvExport_; }

    // "Получить итог".
    void computeTotals();
    // "Обновить выборку": the cycles taken out leave the working tables; the list is reread.
    void refreshSelection();
    // The filter dialog ended with OK: a filter that filters nothing leaves the list alone.
    void applyFilter(const RecordFilter& filter);
    // Filter off.
    void clearFilter();
    // Another window moved to this cycle: the list follows when it holds it.
    void showCycle(int cycleId);

    // The cycle list goes out on a landscape page under the selection period.
    const QTableView& exportGrid() const override;
    QString exportHeading() const override;
    PageOrientation exportOrientation() const override { return PageOrientation::Landscape; }

signals:
    void cycleStatRequested(int cycleId);
    void cycleCallsRequested(int cycleId);
    void cycleSettingsRequested(int cycleId);
    void summaryRequested();
    void paramStatsRequested();
    // The call and loss diagrams of the current cycle; those of the whole selection.
    void cycleDiagramRequested(int cycleId);
    void summaryDiagramRequested();
    void currentCycleChanged(int cycleId);
    void selectionChanged(const QList<int>& excludedCycleIds, const zev7::SqlFilter& filter);

protected:
    void closeEvent(QCloseEvent* event) override;
    void writeSettings(IniFile& ini, const QString& section) override;
    void readSettings(const IniFile& ini, const QString& section) override;

private:
    QWidget* makeButtons();
    void openFilterDialog();
    // Rereads the list (the filter buttons and "Обновить выборку"); the first row is current.
    void reloadList();
    // The list's columns, as wide as their contents, narrowed to the window where they would
    // run past it.
    void fitListToWidth();
    void rowChanged();
    void includedToggled(bool on);
    void showTotals();
    void updateCommands();
    void reportError(const QString& error);
    // Closes the grids' queries, so the working tables may be rewritten.
    void closeQueries();

    QSqlDatabase db_;
    UserMessages& messages_;
    WorkingSelection selection_;
    SelectionCsvExport csvExport_;
    CycleListModel* list_ = nullptr;
    SelectionTotals totals_;
    bool totalsShown_ = false;
    SqlFilter filter_;
    bool emptied_ = false;
    // The widths the engineer set, kept across every reread of the list.
    GridColumnWidths* listWidths_ = nullptr;
    GridColumnWidths* totalsWidths_ = nullptr;

    QLineEdit* periodEdits_[4] = {};
    QTableView* grid_ = nullptr;
    QTableWidget* totalsGrid_ = nullptr;
    QCheckBox* included_ = nullptr;
    QLabel* rowLabel_ = nullptr;
    QPushButton* filterOff_ = nullptr;
    QList<QPushButton*> cycleButtons_;
};

}  // namespace zev7
