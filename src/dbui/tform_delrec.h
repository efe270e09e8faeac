// "Удаление циклов из БД": the interval, the five ways of choosing cycles, the lists of
// numbers and cycles they need, and the two deletions with their gauge and "Прервать".
#pragma once

#include "dbtransfer/cycle_deletion.h"

#include "dbui/maintenance_dialog.h"

#include <QSqlDatabase>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace zev7 {

class PeriodEdits;
class UserMessages;

class TForm_DelRec : public MaintenanceDialog {
    Q_OBJECT

public:
    static constexpr int kHelpContext = 40;

    TForm_DelRec(QSqlDatabase db, UserMessages& messages, const QDate& today,
                 QWidget* parent = nullptr);

    QLineEdit* dateOnEdit() const;
    QLineEdit* dateOffEdit() const;
    QLineEdit* timeOnEdit() const;
    QLineEdit* timeOffEdit() const;
    QRadioButton* modeButton(DeletionMode mode) const { return modes_[static_cast<int>(mode)]; }
    QComboBox* outgoingList() const { return DBL_CB_OUT; }
    QComboBox* incomingList() const { return DBL_CB_IN; }
    QComboBox* cycleList() const { return DBL_CB_CYC; }
    QProgressBar* gauge() const { return CGauge1; }
    QPushButton* breakButton() const { return Button_Break; }

    DeletionInterval interval() const { return interval_; }
    DeletionChoice choice() const;
    // The cycles the selection takes now.
    const QList<int>& selectedCycles() const { return selected_; }
    // The programs measuring into the database add cycles while the window is open: the
    // selection and its count are read again every so often.
    static constexpr int kSelectionRefreshMs = 2000;
    QTimer* selectionRefresh() const { return refresh_; }

    void Button1Click();  // "Удалить циклы"
    void Button2Click();  // "Удалить все циклы"

private:
    void makeWidgets();
    void rebuildInterval();
    void rebuildLists();
    void rebuildIncoming();
    void rebuildCycles();
    // quiet: a failed query keeps the last selection without a message (the periodic refresh).
    void rebuildSelection(bool quiet = false);
    void fill(QComboBox* box, const QList<DeletionListEntry>& entries);
    void setRunning(bool running);
    void report(const DeletionResult& result);
    DeletionCallbacks callbacks();

    QSqlDatabase db_;
    UserMessages& messages_;
    DeletionInterval interval_;
    QList<int> selected_;
    bool break_ = false;
    bool rebuilding_ = false;

    PeriodEdits* period_ = nullptr;
    QTimer* refresh_ = nullptr;
    std::array<QRadioButton*, 5> modes_{};
    QComboBox* DBL_CB_OUT = nullptr;
    QComboBox* DBL_CB_IN = nullptr;
    QComboBox* DBL_CB_CYC = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button_Break = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QProgressBar* CGauge1 = nullptr;
    QLabel* selectedLabel_ = nullptr;
};

}  // namespace zev7
