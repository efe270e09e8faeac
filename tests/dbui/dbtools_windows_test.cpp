// The deletion and import windows on a generated database, and a grid exported as a document.
#include "core/ini_file.h"
#include "db/db_fixture.h"
#include "db/demo_database.h"
#include "dbtransfer/paradox_writer.h"
#include "dbui/tform_delrec.h"
#include "dbui/tform_reservbd.h"
#include "dbui/word_export.h"
#include "ui/ui_test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

namespace zev7::testing {
namespace {

class DbToolsWindowsTest : public DbTest {
protected:
    void SetUp() override {
        test::uiApp();
        DbTest::SetUp();
        // Cycles from 12.01.26 on, four outgoing numbers.
        fillDemoDatabase({40, 3, 4, 5, QDateTime(QDate(2026, 1, 12), QTime(8, 0)), 40, 11},
                         messages_);
    }
    // Typed over the whole edit and confirmed with Enter.
    static void type(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
};

TEST_F(DbToolsWindowsTest, F1InEitherWindowOpensItsOwnHelpTopic) {
    TForm_DelRec deletion(DbConnection::main(), messages_, QDate(2026, 2, 1));
    TForm_ReservBD import(DbConnection::main(), messages_);
    const std::pair<QWidget*, QString> windows[] = {{&deletion, QStringLiteral("40.html")},
                                                    {&import, QStringLiteral("42.html")}};
    for (const auto& [window, page] : windows) {
        QTest::keyClick(window, Qt::Key_F1);
        QTextBrowser* help = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QStringLiteral("HelpWindow")) {
                help = qobject_cast<QTextBrowser*>(w);
            }
        }
        ASSERT_NE(help, nullptr);
        // Beside a test program there is no help folder: the window names the page it sought.
        EXPECT_TRUE(help->source().fileName() == page || help->toPlainText().contains(page))
            << help->toPlainText().toStdString();
    }
}

TEST_F(DbToolsWindowsTest, TheIntervalEditsCorrectWhatIsTypedAndTheListsFollow) {
    TForm_DelRec w(DbConnection::main(), messages_, QDate(2026, 2, 1));
    EXPECT_EQ(w.dateOnEdit()->text(), QStringLiteral("02.01.26"));
    EXPECT_EQ(w.dateOffEdit()->text(), QStringLiteral("01.02.26"));
    EXPECT_EQ(w.selectedCycles().size(), 40);

    type(w.dateOnEdit(), QStringLiteral("451302"));
    EXPECT_EQ(w.dateOnEdit()->text(), QStringLiteral("31.12.02"));
    type(w.dateOffEdit(), QStringLiteral("010102"));
    EXPECT_EQ(w.dateOffEdit()->text(), QStringLiteral("31.12.02"));  // not before the start

    type(w.dateOffEdit(), QStringLiteral("010226"));
    w.modeButton(DeletionMode::ByOutgoing)->setChecked(true);
    EXPECT_EQ(w.outgoingList()->count(), 4);
    const int perNumber = w.selectedCycles().size();
    EXPECT_GT(perNumber, 0);
    EXPECT_LT(perNumber, 40);
    // A later start leaves fewer cycles, still of the chosen number only.
    type(w.timeOnEdit(), QStringLiteral("081000"));
    EXPECT_EQ(w.timeOnEdit()->text(), QStringLiteral("08:10:00"));
    EXPECT_LE(w.selectedCycles().size(), perNumber);
    EXPECT_EQ(w.choice().outId, w.outgoingList()->currentData().toInt());

    w.modeButton(DeletionMode::OutgoingIncoming)->setChecked(true);
    ASSERT_GT(w.cycleList()->count(), 0);
    EXPECT_EQ(w.selectedCycles(), QList<int>{w.cycleList()->currentData().toInt()});
}

// Typing over a date passes through digits that are no date yet: nothing may be corrected and
// the interval may not move until the user leaves the edit or presses Enter.
TEST_F(DbToolsWindowsTest, OvertypedDatesStayAsTypedUntilEnterAndTheCountKeepsUp) {
    TForm_DelRec w(DbConnection::main(), messages_, QDate(2026, 12, 9));
    type(w.dateOnEdit(), QStringLiteral("010126"));
    QLineEdit* off = w.dateOffEdit();
    const struct {
        const char* before;
        const char* keys;
        const char* after;
        QDate until;
    } cases[] = {{"091226", "310326", "31.03.26", QDate(2026, 3, 31)},
                 {"280626", "310326", "31.03.26", QDate(2026, 3, 31)},
                 {"091226", "300626", "30.06.26", QDate(2026, 6, 30)}};
    for (const auto& c : cases) {
        type(off, QString::fromLatin1(c.before));
        const DeletionInterval before = w.interval();
        off->setFocus();
        QTest::keyClick(off, Qt::Key_Home);
        QTest::keyClicks(off, QString::fromLatin1(c.keys));
        EXPECT_EQ(off->text(), QString::fromLatin1(c.after)) << c.before;
        EXPECT_EQ(w.interval().dateOff, before.dateOff) << c.before;
        QTest::keyClick(off, Qt::Key_Return);
        EXPECT_EQ(off->text(), QString::fromLatin1(c.after)) << c.before;
        EXPECT_EQ(w.interval().dateOff, c.until) << c.before;
    }
    // Left with an impossible date, the edit is corrected then.
    off->setFocus();
    QTest::keyClick(off, Qt::Key_Home);
    QTest::keyClicks(off, QStringLiteral("45"));
    EXPECT_EQ(off->text(), QStringLiteral("45.06.26"));
    w.timeOnEdit()->setFocus();
    emit off->editingFinished();  // the offscreen platform moves no focus without a shown window
    EXPECT_EQ(off->text(), QStringLiteral("30.06.26"));

    // Cycles measured while the window is open join the count without any click.
    type(off, QStringLiteral("311226"));
    const auto count = w.selectedCycles().size();
    EXPECT_EQ(count, 40);
    DemoDatabaseSpec more;
    more.cycles = 2;
    more.callsPerCycle = 2;
    more.firstStart = QDateTime(QDate(2026, 3, 2), QTime(8, 0));
    ASSERT_EQ(fillDemoDatabase(more, messages_).failures, 0);
    ASSERT_TRUE(w.selectionRefresh()->isActive());
    ASSERT_TRUE(QMetaObject::invokeMethod(w.selectionRefresh(), "timeout"));
    EXPECT_EQ(w.selectedCycles().size(), count + 2);
    QStringList labels;
    for (const QLabel* l : w.findChildren<QLabel*>()) {
        labels << l->text();
    }
    EXPECT_TRUE(labels.contains(QStringLiteral("Выбрано циклов: 42")))
        << labels.join(u'|').toStdString();
}

TEST_F(DbToolsWindowsTest, DeletingAsksFirstAndTheGaugeEndsFull) {
    TForm_DelRec w(DbConnection::main(), messages_, QDate(2026, 2, 1));
    messages_.queueAnswer(false);
    w.Button1Click();
    EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 40);
    EXPECT_EQ(messages_.texts(), QStringList{QStringLiteral("Удалить циклы?")});

    w.modeButton(DeletionMode::Interrupted)->setChecked(true);
    const int open = count(QStringLiteral("Table_Cycle"), QStringLiteral("STATE_ID=0"));
    messages_.queueAnswer(true);
    w.Button1Click();
    EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 40 - open);
    EXPECT_EQ(count(QStringLiteral("Table_Cycle"), QStringLiteral("STATE_ID=0")), 0);
    EXPECT_EQ(w.gauge()->value(), 100);
    EXPECT_TRUE(w.selectedCycles().isEmpty());
}

TEST_F(DbToolsWindowsTest, TheOwnDatabaseAsSourceDoesNothing) {
    TForm_ReservBD w(DbConnection::main(), messages_);
    w.setSourceDirectory(DbConnection::directory());
    ASSERT_EQ(w.sourceDirectory(), DbConnection::directory());
    w.Button1Click();
    EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 40);
    EXPECT_EQ(w.gauge()->value(), 0);
    EXPECT_EQ(messages_.count(), 0);
}

// The import runs on its own thread: the window shows its stage and gauge, "Прервать" is the one
// button to press meanwhile, and a damaged table is refused naming its file.
TEST_F(DbToolsWindowsTest, TheImportRunsBesideTheWindowAndRefusesADamagedTable) {
    QTemporaryDir backup;
    ASSERT_EQ(writeResultTablesAsParadox(QDir(backup.path())), QString());
    QTemporaryDir home;
    IniFile ini(home.filePath(QStringLiteral("ZEV7.ini")));
    TForm_ReservBD w(DbConnection::main(), messages_, nullptr, &ini);
    w.setSourceDirectory(backup.path());
    QSignalSpy finished(&w, &TForm_ReservBD::importFinished);
    w.Button1Click();
    EXPECT_TRUE(w.running());
    EXPECT_TRUE(w.breakButton()->isEnabled());
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_FALSE(w.running());
    EXPECT_EQ(w.gauge()->value(), 100);
    EXPECT_EQ(w.summary()->text(),
              QStringLiteral("Циклов в источнике: 40, введено: 0, уже были в БД: 40"));
    EXPECT_EQ(messages_.count(), 0);
    // The next import window opens at the folder of this one, also after a restart.
    IniFile reread(ini.path());
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(TForm_ReservBD(DbConnection::main(), messages_, nullptr, &reread).sourceDirectory(),
              w.sourceDirectory());

    QFile cycles(QDir(backup.path()).filePath(QStringLiteral("Table_Cycle.db")));
    ASSERT_TRUE(cycles.resize(88));
    w.Button1Click();
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(messages_.texts(),
              QStringList{QStringLiteral("Table_Cycle.db : Структура таблицы неверна!\n"
                                         "файл обрезан: 88 байт, по заголовку нужно 120")});
    EXPECT_EQ(count(QStringLiteral("Table_Cycle")), 40);
    // The refused import leaves no count of the one before under its empty gauge.
    EXPECT_EQ(w.summary()->text(), QString());
    EXPECT_EQ(w.gauge()->value(), 0);
}

TEST_F(DbToolsWindowsTest, HiddenColumnsStayOutOfTheDocumentAndCellsReadAsShown) {
    QStandardItemModel model(2, 3);
    model.setHorizontalHeaderLabels({"ID", "Исходящая", "КПВ, %"});
    for (int r = 0; r < 2; ++r) {
        model.setItem(r, 0, new QStandardItem(QString::number(r + 7)));
        model.setItem(r, 1, new QStandardItem(QStringLiteral("495/%1").arg(r)));
        auto* kpv = new QStandardItem;
        kpv->setData(2.5 + r, Qt::DisplayRole);
        model.setItem(r, 2, kpv);
    }
    QTableView view;
    view.setModel(&model);
    view.hideColumn(0);
    const WordDocument d = gridDocument(view, QStringLiteral("Выбранные циклы"),
                                        QStringLiteral("Дата: с"), PageOrientation::Landscape);
    EXPECT_EQ(d.header, (QStringList{"Исходящая", "КПВ, %"}));
    ASSERT_EQ(d.rows.size(), 2);
    EXPECT_EQ(d.rows[1], (QStringList{"495/1", "3.5"}));
    EXPECT_EQ(d.paragraphs[2], QStringLiteral("Выбранные циклы"));

    model.removeRows(0, 2);
    EXPECT_TRUE(gridDocument(view, {}, {}, PageOrientation::Portrait).rows.isEmpty());
}

}  // namespace
}  // namespace zev7::testing
