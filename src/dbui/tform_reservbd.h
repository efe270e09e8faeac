// "Ввод результатов": the source directory chosen from the drives and their folders, the import
// on its own thread with its stage, gauge and "Прервать", and what it brought.
#pragma once

#include "dbtransfer/result_import.h"
#include "dbui/maintenance_dialog.h"

#include <QSqlDatabase>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace zev7 {

class ImportThread;
class IniFile;
class UserMessages;

class TForm_ReservBD : public MaintenanceDialog {
    Q_OBJECT

public:
    static constexpr int kHelpContext = 42;

    // With `ini` (the program's configuration file) the window opens at the folder of the last
    // import and remembers the folder of each import it starts.
    TForm_ReservBD(QSqlDatabase db, UserMessages& messages, QWidget* parent = nullptr,
                   IniFile* ini = nullptr);

    // The directory the list shows as chosen.
    QString sourceDirectory() const;
    void setSourceDirectory(const QString& path);
    QProgressBar* gauge() const { return gauge_; }
    QLabel* stage() const { return stage_; }
    QLabel* summary() const { return summary_; }
    QPushButton* breakButton() const { return BitBtn2; }

    void Button1Click();  // "Начать ввод результатов": starts the import and returns

signals:
    // The import has ended and its outcome is shown.
    void importFinished();

private:
    void setRunning(bool running);
    void rememberSource(const QString& path);
    void showResult(const ImportResult& result);

    UserMessages& messages_;
    IniFile* ini_;
    ImportThread* thread_ = nullptr;

    QComboBox* drives_ = nullptr;
    QFileSystemModel* folders_ = nullptr;
    QTreeView* DirLB1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QProgressBar* gauge_ = nullptr;
    QLabel* stage_ = nullptr;
    QLabel* summary_ = nullptr;
};

}  // namespace zev7
