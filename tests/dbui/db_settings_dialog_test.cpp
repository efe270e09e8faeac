// "Настройки базы данных": the fields show the choice, a value that does not pass is told and
// keeps the dialog open, OK hands the choice to the program, and "Проверить" answers from its
// own thread while the window stays live.
#include "dbui/db_settings_dialog.h"
#include "core/strings.h"
#include "db/db_fixture.h"
#include "ui/ui_test_support.h"

#include <QPushButton>
#include <QSignalSpy>

namespace zev7::testing {
namespace {

class DbSettingsDialogTest : public DbTest {
protected:
    void SetUp() override {
        test::uiApp();
        DbTest::SetUp();
    }
    RecordingMessages messages;
};

DbLocation sharedServer() {
    DbLocation loc;
    loc.driver = DbLocation::Driver::Postgres;
    loc.host = QStringLiteral("db.example.org");
    loc.port = 5433;
    loc.name = QStringLiteral("zev7");
    loc.user = QStringLiteral("ops");
    loc.station = QStringLiteral("ЦУС-1");
    return loc;
}

TEST_F(DbSettingsDialogTest, OkHandsOverOnlyWhatPassesAndWhatTheProgramTakes) {
    DbSettingsDialog dialog(sharedServer(), messages);
    EXPECT_EQ(dialog.location(), sharedServer());
    QList<DbLocation> offered;
    bool taken = false;
    dialog.onApply = [&](const DbLocation& place) {
        offered << place;
        return taken;
    };
    // A host with a space: told, nothing offered.
    DbLocation bad = sharedServer();
    bad.host = QStringLiteral("db host");
    dialog.setLocation(bad);
    dialog.accept();
    EXPECT_TRUE(offered.isEmpty());
    ASSERT_EQ(messages.count(), 1);
    EXPECT_TRUE(messages.texts().first().contains(QStringLiteral("db host")));
    // The program cannot take it: the dialog stays.
    dialog.setLocation(sharedServer());
    dialog.accept();
    EXPECT_EQ(offered, QList<DbLocation>{sharedServer()});
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    taken = true;
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(DbSettingsDialogTest, CheckAnswersFromItsOwnThread) {
    DbSettingsDialog dialog(DbLocation::fromOptions(DbConnection::options()), messages);
    QSignalSpy finished(&dialog, &DbSettingsDialog::checkFinished);
    dialog.startCheck();
    // Nothing can be changed or confirmed while the check is under way.
    EXPECT_TRUE(dialog.checking());
    EXPECT_FALSE(dialog.checkButton()->isEnabled());
    ASSERT_TRUE(finished.wait());
    EXPECT_TRUE(finished.first().first().toBool()) << dialog.checkOutcome().toStdString();
    EXPECT_TRUE(dialog.checkOutcome().startsWith(txt(str::DbSetCheckOk).arg(QString())))
        << dialog.checkOutcome().toStdString();
    EXPECT_TRUE(dialog.checkOutcome().contains(onServer() ? QStringLiteral("PostgreSQL")
                                                          : QStringLiteral("SQLite")));
    EXPECT_TRUE(dialog.checkButton()->isEnabled());
    EXPECT_TRUE(messages.texts().isEmpty());
}

}  // namespace
}  // namespace zev7::testing
