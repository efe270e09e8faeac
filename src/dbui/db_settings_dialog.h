// "Настройки базы данных": where the results are kept (the file beside the program, or a
// PostgreSQL server several stations share) and the name of this station. "Проверить" tries
// the server on a thread of its own and shows its version or the driver's reason; OK hands the
// values to the program, which binds the database to them and writes "[База данных]" of
// ZEV7.ini, or says why it cannot and keeps the dialog open. The password is never asked for:
// libpq takes it from ~/.pgpass or PGPASSWORD.
#pragma once

#include "db/db_location.h"
#include "dbui/maintenance_dialog.h"

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QDialogButtonBox;

namespace zev7 {

class DbProbeThread;
class UserMessages;

class DbSettingsDialog : public MaintenanceDialog {
    Q_OBJECT

public:
    static constexpr int kHelpContext = 43;

    DbSettingsDialog(const DbLocation& current, UserMessages& messages, QWidget* parent = nullptr);
    ~DbSettingsDialog() override;

    // Binds the program to the place; false (the reason already told) keeps the dialog open.
    std::function<bool(const DbLocation&)> onApply;

    // The place as the fields hold it, not yet checked.
    DbLocation location() const;
    void setLocation(const DbLocation& location);

    // "Проверить": the values checked, then the connection tried in the background.
    void startCheck();
    bool checking() const { return probe_ != nullptr; }
    QString checkOutcome() const;
    QPushButton* checkButton() const { return check_; }

    void accept() override;

signals:
    // The check has ended and its outcome is shown.
    void checkFinished(bool ok);

private:
    // The one place that decides what may be edited and pressed.
    void updateWidgets();
    // The fields' values, or nullopt after telling the user what is wrong.
    std::optional<DbLocation> checkedLocation();

    UserMessages& messages_;
    DbProbeThread* probe_ = nullptr;
    QComboBox* driver_ = nullptr;
    QLineEdit* host_ = nullptr;
    QSpinBox* port_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* station_ = nullptr;
    QPushButton* check_ = nullptr;
    QLabel* outcome_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace zev7
