#include "app/transfer_windows.h"

#include "app/main_window.h"
#include "db/db_connection.h"
#include "db/db_location.h"
#include "dbui/db_settings_dialog.h"
#include "dbui/tform_delrec.h"
#include "dbui/tform_reservbd.h"
#include "scenario/user_messages.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QRadioButton>

namespace zev7 {

void provideTransferWindows(TMainForm& window, IniFile* ini) {
    window.provideWindow("N17", [&window] {
        if (window.databaseGuard()) {
            TForm_DelRec form(DbConnection::main(), window.messages(), QDate::currentDate(),
                              &window);
            form.exec();
        }
    });
    window.provideWindow("N18", [&window, ini] {
        if (window.databaseGuard()) {
            TForm_ReservBD form(DbConnection::main(), window.messages(), &window, ini);
            form.exec();
        }
    });
}

void shootTransferWindows(const QString& directory) {
    ConsoleMessages messages;
    const auto shoot = [&](QWidget& w, const char* name) {
        w.show();
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
        w.grab().save(QDir(directory).filePath(QLatin1String(name)));
    };
    TForm_DelRec deletion(DbConnection::main(), messages, QDate::currentDate());
    deletion.modeButton(DeletionMode::OutgoingIncoming)->setChecked(true);
    shoot(deletion, "database-deletion.png");
    TForm_ReservBD import(DbConnection::main(), messages);
    import.setSourceDirectory(DbConnection::directory());
    shoot(import, "database-import.png");
    // A station on a shared server, as the settings dialog shows it after its check.
    DbLocation server;
    server.driver = DbLocation::Driver::Postgres;
    server.host = QStringLiteral("db.example.org");
    server.port = 5432;
    server.name = QStringLiteral("zev7");
    server.user = QStringLiteral("zev7");
    server.station = QStringLiteral("ЦУС-1");
    DbSettingsDialog settings(server, messages);
    shoot(settings, "database-settings.png");
}

}  // namespace zev7
