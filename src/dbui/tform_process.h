// "Сжатие БД": the modal progress window of the compaction. The tables are packed one after
// another with the gauge moving; "Прервать" stops after the table being packed. The window
// can be closed only while "Закрыть" is enabled, so a compaction is never left half-watched.
#pragma once

#include "db/db_maintenance.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace zev7 {

class UserMessages;

class TForm_Process : public QDialog {
    Q_OBJECT

public:
    explicit TForm_Process(UserMessages& messages, QWidget* parent = nullptr);

    // "Начать сжатие БД".
    void startCompaction();
    const CompactionResult& lastResult() const { return result_; }
    int gauge() const;
    QString label() const;

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setRunning(bool running);

    UserMessages& messages_;
    QLabel* label_ = nullptr;
    QProgressBar* gauge_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* interrupt_ = nullptr;
    QPushButton* close_ = nullptr;
    bool interrupted_ = false;
    CompactionResult result_;
};

}  // namespace zev7
