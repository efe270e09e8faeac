// The cycle settings windows: what the user types, what "Установить" and "Сброс" show, and what
// lands in the port's working copy.
#include "core/clocks.h"
#include "core/ini_file.h"
#include "core/program_dir.h"
#include "scenario/ole_date.h"
#include "scenario/scenar_class.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_templates.h"
#include "support/plain_number.h"
#include "support/recording_messages.h"
#include "ui/frame/panel_bar.h"
#include "ui/frame/set_button.h"
#include "ui/port/tform_data.h"
#include "ui/settings/cycle_settings_rules.h"
#include "ui/settings/tform_base_time.h"
#include "ui/settings/tform_set.h"
#include "ui/settings/tform_set_add.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

namespace zev7 {
namespace {

constexpr int kPort = 1;

double at(int day, int month, int year, int hour, int minute) {
    return toOleDate(QDateTime(QDate(year, month, day), QTime(hour, minute)));
}

QString shown(double ole) {
    return formatDateTimeMinutes(fromOleDate(ole));
}

class CycleSettingsTest : public ::testing::Test {
protected:
    CycleSettingsTest() {
        test::uiApp();
        setProgramDir(home_.path());
        EXPECT_TRUE(ensureProgramFolders());
        ScenarHeader h = templateHeader(base_);
        h.outNumber = test::plainNumber("1111111");
        CycleRecord c = templateCycle();
        c.inNumber = test::plainNumber("2222222");
        c.state = static_cast<std::int32_t>(CycleState::Waiting);
        EXPECT_TRUE(
            writeScenarioFile(workingCopyPath(kPort), h, std::vector<CycleRecord>{c}, messages_));
        reopen();
    }
    ~CycleSettingsTest() override { setProgramDir(QString()); }

    // The port window and the settings window, as after closing and opening both again.
    void reopen() {
        dialog_.reset();
        window_.reset();
        window_.reset(createPortWindow(kPort, PortWindowContext{control_, messages_, &ini_}));
        dialog_ = std::make_unique<TFormSet>(CycleSettingsContext{messages_, &ini_});
        dialog_->showCycle(&window_->document());
    }

    QDoubleSpinBox* edit(const char* field) const { return dialog_->fieldEdit(field); }
    const CycleRecord& stored() const { return window_->scenario().cycle(0); }
    QColor setColour() const { return dialog_->setButton()->palette().color(QPalette::ButtonText); }
    void typeWindow(const QString& text) {
        dialog_->startWindowEdit()->setText(text);
        emit dialog_->startWindowEdit()->textEdited(text);
    }

    QTemporaryDir home_;
    double base_ = at(1, 3, 2006, 10, 0);
    RecordingMessages messages_;
    test::IdlePortControl control_;
    IniFile ini_{home_.filePath("ZEV7.ini")};
    std::unique_ptr<TForm_Data> window_;
    std::unique_ptr<TFormSet> dialog_;
};

TEST(CycleSettingsRules, TypedDatesBecomeTheNearestPossible) {
    EXPECT_EQ(normalizeDateTimeText("35.19.06 27:75"), "31.12.06 23:55");
    EXPECT_EQ(normalizeDateTimeText("  .  .   1 :  "), "01.01.02 10:00");
    EXPECT_EQ(normalizeDateTimeText("00.00.06 09:30"), "01.01.06 09:30");
    EXPECT_EQ(normalizeDateTimeText("3 .05.06 12:00"), "31.05.06 12:00");  // the blank takes 1
    // A day the month lacks is left to fail the parse.
    EXPECT_FALSE(parseDateTimeMinutes(normalizeDateTimeText("31.02.06 10:00")).isValid());

    const CadencePeriods p = orderCadencePeriods({0.9, 0.5, 1.1});
    EXPECT_DOUBLE_EQ(p.busyMax, 0.9);
    EXPECT_DOUBLE_EQ(p.overloadMin, 0.9);
}

TEST_F(CycleSettingsTest, EditedCycleIsStoredWrittenAndShownAgain) {
    EXPECT_EQ(dialog_->outBar()->text(2), "Порт:1");
    EXPECT_EQ(setColour(), kSetButtonSetColour);
    const QString durationBefore = window_->cycleTable()->item(0, 3)->text();

    edit("minAttempts")->setValue(7);
    edit("maxAttempts")->setValue(40);
    edit("normAtMax")->setValue(4.5);
    edit("ringbackThreshold")->setValue(-21);
    edit("aaRings")->setValue(3);
    dialog_->attenuationCheckBox()->setChecked(true);
    dialog_->holdBox(2)->setChecked(true);
    dialog_->holdCountEdit(2)->setValue(9);
    dialog_->holdCountEdit(4)->setValue(5);  // a count with its box cleared is kept
    typeWindow("с 02.03.06 11:30 по 02.03.06 14:00");
    EXPECT_EQ(dialog_->clearBackPanel()->text(0), "-21");
    EXPECT_EQ(setColour(), kSetButtonUnsetColour);

    ASSERT_TRUE(dialog_->SetDataFromForm());
    EXPECT_EQ(setColour(), kSetButtonSetColour);
    EXPECT_FALSE(dialog_->resetButton()->isEnabled());
    // Fewer attempts: the cycle table shows the shorter estimate at once.
    EXPECT_NE(window_->cycleTable()->item(0, 3)->text(), durationBefore);

    const ScenarioFileContent file = readScenarioFile(workingCopyPath(kPort));
    ASSERT_EQ(file.status, ScenarioFileStatus::Ok);
    const CycleRecord& c = file.cycles.at(0);
    EXPECT_EQ(c.maxAttempts, 40);
    EXPECT_EQ(c.holdMask, 1u << 2);
    EXPECT_EQ(c.holdCount[2], 9);
    EXPECT_EQ(c.holdCount[4], 5);
    EXPECT_EQ(shown(file.header.baseTime + c.startFrom), "02.03.06 11:30");
    EXPECT_EQ(shown(file.header.baseTime + c.startUntil), "02.03.06 14:00");

    reopen();
    EXPECT_EQ(edit("minAttempts")->value(), 7);
    EXPECT_EQ(edit("maxAttempts")->value(), 40);
    EXPECT_DOUBLE_EQ(edit("normAtMax")->value(), 4.5);
    EXPECT_EQ(edit("aaRings")->value(), 3);
    EXPECT_TRUE(dialog_->attenuationCheckBox()->isChecked());
    EXPECT_FALSE(dialog_->holdBox(4)->isChecked());
    EXPECT_EQ(dialog_->holdCountEdit(4)->value(), 5);
    EXPECT_EQ(dialog_->startWindowEdit()->text(), "с 02.03.06 11:30 по 02.03.06 14:00");
    EXPECT_EQ(setColour(), kSetButtonSetColour);

#ifdef ZEV7_SCN_PATH
    QProcess show;
    show.start(QStringLiteral(ZEV7_SCN_PATH), {"show", workingCopyPath(kPort)});
    ASSERT_TRUE(show.waitForFinished(30000));
    const QString out = QString::fromUtf8(show.readAllStandardOutput());
    EXPECT_TRUE(out.contains("с 02.03.06 11:30 по 02.03.06 14:00")) << out.toStdString();
    EXPECT_TRUE(out.contains("не менее 7, не более 40")) << out.toStdString();
    EXPECT_TRUE(out.contains("СКПВ -21")) << out.toStdString();
#endif
}

TEST_F(CycleSettingsTest, TypingOutOfRangeIsRefusedAndNothingInvalidIsStored) {
    QDoubleSpinBox* attempts = edit("minAttempts");
    attempts->selectAll();
    QTest::keyClicks(attempts, "20000");
    attempts->interpretText();
    EXPECT_LE(attempts->value(), 10000);
    QDoubleSpinBox* pause = nullptr;
    TForm_SetAdd more(window_->document(), messages_);
    pause = more.fieldEdit("pause");
    pause->selectAll();
    QTest::keyClicks(pause, "2");
    QTest::keyClick(pause, Qt::Key_Enter);
    EXPECT_GE(pause->value(), 4);

    // The minimum left above the maximum lifts the maximum, also when "Установить" is pressed
    // without leaving the field.
    edit("maxAttempts")->setValue(50);
    attempts->setValue(60);
    ASSERT_TRUE(dialog_->SetDataFromForm());
    EXPECT_EQ(stored().maxAttempts, 60);
    EXPECT_TRUE(messages_.texts().isEmpty()) << messages_.texts().join(" | ").toStdString();
}

TEST_F(CycleSettingsTest, ResetShowsTheStoredCycleAndRunningLocksTheButtons) {
    edit("answerThreshold")->setValue(-30);
    EXPECT_EQ(setColour(), kSetButtonUnsetColour);
    EXPECT_TRUE(dialog_->resetButton()->isEnabled());
    dialog_->resetButton()->click();
    EXPECT_EQ(edit("answerThreshold")->value(), -27);
    EXPECT_EQ(setColour(), kSetButtonSetColour);
    EXPECT_FALSE(dialog_->resetButton()->isEnabled());

    // The answer signal's longest duration never falls below its shortest.
    edit("answerMinTime")->setValue(5.0);
    EXPECT_DOUBLE_EQ(edit("answerMaxTime")->value(), 5.0);

    window_->scenario().setRunning(true);
    dialog_->showCycle(&window_->document());
    edit("answerThreshold")->setValue(-30);
    EXPECT_FALSE(dialog_->setButton()->isEnabled());
    EXPECT_FALSE(dialog_->resetButton()->isEnabled());
    EXPECT_FALSE(dialog_->SetDataFromForm());
    EXPECT_EQ(stored().answerThreshold, -27);
}

TEST_F(CycleSettingsTest, FrequencyJumpsOverTheBandGap) {
    QDoubleSpinBox* f = edit("aaFrequency");
    f->setValue(1800);  // rising from 1020
    EXPECT_EQ(f->value(), 2100);
    f->setValue(2099);  // falling
    EXPECT_EQ(f->value(), 1500);
}

TEST_F(CycleSettingsTest, StartWindowKeepsItsOrderAndItsLength) {
    typeWindow("с 01.03.06 09:00 по 01.03.06 11:00");
    EXPECT_EQ(shown(dialog_->startWindow().start), "01.03.06 10:00");
    EXPECT_EQ(dialog_->startWindowEdit()->text(), "с 01.03.06 10:00 по 01.03.06 11:00");

    // An end before the start: the template's one-hour window after the start.
    typeWindow("с 01.03.06 12:00 по 01.03.06 11:00");
    EXPECT_EQ(shown(dialog_->startWindow().end), "01.03.06 13:00");

    // 31.02 does not exist: the end keeps its value and the shown text comes back on leaving.
    typeWindow("с 01.03.06 12:00 по 31.02.06 11:00");
    EXPECT_EQ(shown(dialog_->startWindow().end), "01.03.06 13:00");
    emit dialog_->startWindowEdit()->editingFinished();
    EXPECT_EQ(dialog_->startWindowEdit()->text(), "с 01.03.06 12:00 по 01.03.06 13:00");
    ASSERT_TRUE(dialog_->SetDataFromForm());
    EXPECT_EQ(shown(base_ + stored().startUntil), "01.03.06 13:00");
}

TEST_F(CycleSettingsTest, AdditionalSettingsKeepTheCadencesApart) {
    TForm_SetAdd more(window_->document(), messages_);
    more.fieldEdit("busyPeriodMin")->setValue(1.5);
    more.fieldEdit("overloadPeriodMin")->setValue(1.1);
    more.fieldEdit("busyPeriodMin")->setValue(0.9);
    EXPECT_DOUBLE_EQ(more.fieldEdit("overloadPeriodMin")->value(), 0.9);
    EXPECT_DOUBLE_EQ(more.fieldEdit("busyPeriodMax")->value(), 1.5);
    EXPECT_EQ(more.overloadMaxPanel()->text(0), "0.90");
    EXPECT_EQ(more.clearBackMaxPanel()->text(0), "1.50");
    ASSERT_TRUE(more.SetDataFromForm());
    EXPECT_EQ(more.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(readScenarioFile(workingCopyPath(kPort)).cycles.at(0).overloadPeriodMax, 0.9);
}

TEST_F(CycleSettingsTest, ClosingThePortWindowLeavesNothingToStore) {
    edit("minAttempts")->setValue(3);
    window_.reset();
    EXPECT_EQ(dialog_->document(), nullptr);
    EXPECT_FALSE(dialog_->setButton()->isEnabled());
    EXPECT_FALSE(dialog_->SetDataFromForm());
}

// The scheme drags the cycle's bar, the port window sets a new base time: the open settings
// window shows the start window where it now stands, and its untouched "Установить" keeps it.
TEST_F(CycleSettingsTest, FollowsTheStartWindowMovedElsewhere) {
    const CycleRecord before = stored();
    const double hour = 1.0 / 24;
    edit("minAttempts")->setValue(3);
    ASSERT_TRUE(
        window_->document().moveCycleStart(0, before.startFrom + hour, before.startUntil + hour));
    EXPECT_EQ(shown(dialog_->startWindow().start), shown(base_ + before.startFrom + hour));
    EXPECT_EQ(edit("minAttempts")->value(), before.minAttempts);

    ScenarHeader h = window_->scenario().header();
    h.baseTime = base_ + 2 * hour;
    ASSERT_TRUE(window_->document().storeHeader(h));
    EXPECT_EQ(shown(dialog_->startWindow().start), shown(base_ + before.startFrom + 3 * hour));
    EXPECT_EQ(shown(dialog_->startWindow().end), shown(base_ + before.startUntil + 3 * hour));
    EXPECT_FALSE(dialog_->resetButton()->isEnabled());
    ASSERT_TRUE(dialog_->SetDataFromForm());
    EXPECT_DOUBLE_EQ(stored().startFrom, before.startFrom + hour);
    EXPECT_DOUBLE_EQ(readScenarioFile(workingCopyPath(kPort)).header.baseTime, h.baseTime);
}

TEST_F(CycleSettingsTest, EditsOfACycleThatIsNoLongerCurrentGoToNoOtherCycle) {
    edit("minAttempts")->setValue(3);
    ASSERT_TRUE(window_->scenario().AddCycle());  // the new cycle becomes current
    EXPECT_FALSE(dialog_->SetDataFromForm());
    EXPECT_EQ(window_->scenario().cycle(1).minAttempts, stored().minAttempts);
    EXPECT_EQ(dialog_->row(), 1);  // it shows the current cycle now
}

TEST(BaseTimeDialog, TypedTimeIsNormalisedAndAMissingDayIsIgnored) {
    test::uiApp();
    TFormBaseTime dialog(at(1, 3, 2006, 10, 15) + 42.0 / 86400.0);
    EXPECT_EQ(dialog.edit()->text(), "01.03.06 10:15");
    dialog.edit()->setText("35.19.06 27:75");
    emit dialog.edit()->textEdited(dialog.edit()->text());
    EXPECT_EQ(dialog.edit()->text(), "31.12.06 23:55");
    EXPECT_EQ(shown(dialog.baseTime()), "31.12.06 23:55");
    dialog.edit()->setText("31.02.06 10:00");
    emit dialog.edit()->textEdited(dialog.edit()->text());
    EXPECT_EQ(shown(dialog.baseTime()), "31.12.06 23:55");
}

}  // namespace
}  // namespace zev7
