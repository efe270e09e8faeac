// "Экспорт таблицы в Word" in the frame: each of the six database windows hands over its table
// under its own heading on its own page; any other window leaves the command without effect.
#include "app/word_export_command.h"
#include "app/app_test_support.h"
#include "app/database_windows.h"
#include "db/db_connection.h"
#include "db/demo_database.h"
#include "dbquery/cycle_header.h"
#include "dbtransfer/docx_reader.h"
#include "dbui/selection_stat_windows.h"
#include "dbui/stat_windows.h"
#include "dbui/tform_view_bd1.h"
#include "dbui/word_export.h"
#include "support/every_number_criteria.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTableView>
#include <QTemporaryDir>
#include <QUrl>

namespace zev7::apptest {

namespace {

struct Expected {
    QWidget* window;
    QString heading;
    bool landscape;
};

class WordExportTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(DbConnection::setup(&messages));
        DemoDatabaseSpec spec;
        spec.cycles = 6;
        spec.callsPerCycle = 4;
        ASSERT_EQ(fillDemoDatabase(spec, messages).failures, 0);
        stats_ = std::make_unique<StatWindows>(&ini, &messages, *form);
        windows_ = std::make_unique<DatabaseWindows>(*form, ini, messages,
                                                     [] { return QDate(2026, 1, 20); });
        windows_->setStatWindows(stats_.get());
        command_ = new WordExportCommand(*form, messages, stats_.get());
        command_->choosePath = [this](const QString&) {
            return out_.filePath(QStringLiteral("%1.docx").arg(++files_));
        };
        // The desktop's word processor: takes the files, or (without one) reports it.
        setDocumentOpener([this](const QString& path, const std::function<void()>& notOpened) {
            opened_ << path;
            if (!wordProcessor_) {
                notOpened();
            }
        });
    }
    void TearDown() override {
        setDocumentOpener({});
        form->closeAllChildren();
        QApplication::processEvents();
        windows_.reset();
        stats_.reset();
        DbConnection::shutdown();
    }

    TForm_ViewBD1* showAllCycles() {
        return windows_->showCycles(
            test::everyNumberCriteria(QStringLiteral("01.01.26"), QStringLiteral("31.12.26")));
    }
    void activate(QWidget* window) {
        form->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(window->parentWidget()));
    }
    QAction* word1() {
        return form->findChild<QAction*>(QStringLiteral("Word1"), Qt::FindDirectChildrenOnly);
    }
    QString lastFile() const { return out_.filePath(QStringLiteral("%1.docx").arg(files_)); }

    std::unique_ptr<StatWindows> stats_;
    std::unique_ptr<DatabaseWindows> windows_;
    WordExportCommand* command_ = nullptr;
    QTemporaryDir out_;
    int files_ = 0;
    QStringList opened_;
    bool wordProcessor_ = true;
};

TEST_F(WordExportTest, EachDatabaseWindowExportsItsTableUnderItsHeadingOnItsPage) {
    TForm_ViewBD1* list = showAllCycles();
    ASSERT_NE(list, nullptr);
    const int cycle = list->currentCycleId();
    stats_->openCycleStat(cycle);
    stats_->openCycleCalls(cycle);
    stats_->openCycleSettings(cycle);
    stats_->openSummary();
    stats_->openParamStats();
    const CycleHeader h = readCycleHeader(DbConnection::main(), cycle);
    ASSERT_TRUE(h.isValid());
    const QString start = h.dateOn.toString(QStringLiteral("dd.MM.yyyy")) + QLatin1Char(' ') +
                          h.timeOn.toString(QStringLiteral("hh:mm:ss"));
    const QString period =
        QStringLiteral("Дата: с 01.01.26 по 31.12.26 Время: c 00:00:00 по 23:59:59");
    const QString identified =
        QStringLiteral("Исх. %1 Вх. %2 Начало: %3").arg(h.outNumber, h.inNumber, start);
    const auto stat = [this](StatWindowKind k) -> QWidget* { return stats_->window(k); };
    const Expected expected[] = {
        {list, period, true},
        {stat(StatWindowKind::ParamStats), period, true},
        {stat(StatWindowKind::CycleCalls), identified, true},
        {stat(StatWindowKind::CycleSettings),
         QStringLiteral("Исх. [%1] Вх. [%2] %3").arg(h.outNumber, h.inNumber, start), false},
        {stat(StatWindowKind::Summary), period, false},
        {stat(StatWindowKind::CycleStat), identified, false},
    };
    for (const Expected& e : expected) {
        ASSERT_NE(e.window, nullptr);
        SCOPED_TRACE(e.window->windowTitle().toStdString());
        activate(e.window);
        ASSERT_TRUE(word1()->isEnabled());
        word1()->trigger();
        const QString xml = testing::documentXml(lastFile());
        EXPECT_EQ(opened_.value(files_ - 1), lastFile());
        EXPECT_TRUE(xml.contains(e.window->windowTitle()));
        EXPECT_TRUE(xml.contains(e.heading)) << e.heading.toStdString();
        EXPECT_EQ(xml.contains(QStringLiteral("w:orient=\"landscape\"")), e.landscape);
        // One table: the header row and one row per record.
        const auto* grid = e.window->findChild<QTableView*>();
        EXPECT_EQ(xml.count(QStringLiteral("<w:tbl>")), 1);
        EXPECT_EQ(xml.count(QStringLiteral("<w:tr>")), grid->model()->rowCount() + 1);
    }
    // The parameter table's pop-up entry exports it whichever window is active.
    activate(list);
    auto* params = qobject_cast<TFormBD_StatParams*>(stat(StatWindowKind::ParamStats));
    params->popupMenu()->actions().value(0)->trigger();
    EXPECT_TRUE(testing::documentXml(lastFile()).contains(params->windowTitle()));
    EXPECT_EQ(files_, 7);
    EXPECT_EQ(list->cycleList().rowCount(), 6);
    EXPECT_TRUE(messages.texts().isEmpty())
        << messages.texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(WordExportTest, WithoutAProgramForTheDocumentTheUserIsToldWhereItWasSaved) {
    TForm_ViewBD1* list = showAllCycles();
    ASSERT_NE(list, nullptr);
    activate(list);
    wordProcessor_ = false;
    word1()->trigger();
    ASSERT_EQ(files_, 1);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Документ сохранен в файл:\n") +
                                            QDir::toNativeSeparators(lastFile())});
}

TEST_F(WordExportTest, AnotherActiveWindowLeavesTheCommandWithoutEffect) {
    EXPECT_FALSE(word1()->isEnabled());
    command_->ExportDo();  // no window at all
    ASSERT_NE(form->openPortWindow(1), nullptr);
    EXPECT_FALSE(word1()->isEnabled());
    command_->ExportDo();
    EXPECT_EQ(files_, 0);
    EXPECT_TRUE(opened_.isEmpty());
    EXPECT_TRUE(messages.texts().isEmpty());
}

}  // namespace
}  // namespace zev7::apptest
