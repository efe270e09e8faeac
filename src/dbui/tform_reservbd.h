// "Ввод результатов": the source directory chosen from the drives and their folders, the import
// with its gauge and "Прервать", and what it brought.
#pragma once

#include "dbui/maintenance_dialog.h"

#include <QSqlDatabase>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace zev7 {

class UserMessages;

class TForm_ReservBD : public MaintenanceDialog {
    Q_OBJECT

public:
    static constexpr int kHelpContext = 42;

    TForm_ReservBD(QSqlDatabase db, UserMessages& messages, QWidget* parent = nullptr);

    // The directory the list shows as chosen.
    QString sourceDirectory() const;
    void setSourceDirectory(const QString& path);
    QProgressBar* gauge() const { return gauge_; }
    QLabel* summary() const { return summary_; }

    void Button1Click();  // "Начать ввод результатов"

private:
    void setRunning(bool running);

    QSqlDatabase db_;
    UserMessages& messages_;
    bool break_ = false;

    QComboBox* drives_ = nullptr;
    QFileSystemModel* folders_ = nullptr;
    QTreeView* DirLB1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QProgressBar* gauge_ = nullptr;
    QLabel* summary_ = nullptr;
};

}  // namespace zev7
