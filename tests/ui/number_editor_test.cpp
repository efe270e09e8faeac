#include "core/strings.h"
#include "scenario/scenar_class.h"
#include "scenario/tel_number.h"
#include "support/recording_messages.h"
#include "ui/settings/tftel_num.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>

namespace zev7 {
namespace {

class NumberEditorTest : public ::testing::Test {
protected:
    NumberEditorTest() : scenario_(messages_, QDateTime(QDate(2026, 12, 8), QTime(10, 0))) {
        test::uiApp();
        scenario_.AddCycle();
    }
    void type(TFTelNum& e, int field, const QString& text) { e.fieldEdit(field)->setText(text); }

    RecordingMessages messages_;
    TScenarClass scenario_;
};

// "Помощь" and F1 open the editor's help page.
TEST_F(NumberEditorTest, HelpButtonAndF1OpenTheEditorsPage) {
    auto helpShown = [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == "HelpWindow" && w->isVisible()) {
                return qobject_cast<QTextBrowser*>(w);
            }
        }
        return static_cast<QTextBrowser*>(nullptr);
    };
    TFTelNum e(scenario_, 0, messages_);
    e.findChild<QPushButton*>("BitBtn2")->click();
    QTextBrowser* help = helpShown();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->source().fileName() == "19.html" || help->toPlainText().contains("19"));
    help->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(helpShown(), nullptr);

    QTest::keyClick(e.fieldEdit(NUM_ATX), Qt::Key_F1);
    help = helpShown();
    ASSERT_NE(help, nullptr);
    help->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(NumberEditorTest, TypingRefusesWrongSymbolsAndOkCompletesTheFields) {
    TFTelNum e(scenario_, 0, messages_);
    type(e, NUM_ON_ATX, "#12");
    EXPECT_EQ(e.fieldEdit(NUM_ON_ATX)->text(), "12");
    EXPECT_EQ(messages_.texts(), QStringList{txt(str::WrongSymbol)});
    type(e, NUM_ATX, "(2)");
    EXPECT_EQ(e.fieldEdit(NUM_ATX)->text(), "2");
    type(e, CODE_CITY, "8(495)");
    type(e, NUM_ON_ATX, "1-2-3");

    ASSERT_TRUE(e.confirm());
    const TelNumber& n = scenario_.cycle(0).inNumber;
    EXPECT_EQ(numberField(n, CODE_CITY), "(495)");
    EXPECT_EQ(numberField(n, NUM_ATX), "P2");
    EXPECT_EQ(numberField(n, NUM_ON_ATX), "P123");
    EXPECT_EQ(numberField(n, HIER_ATX), "-");
}

TEST_F(NumberEditorTest, AFailedCheckKeepsTheEditorOpenAndCancelRestoresTheNumber) {
    const TelNumber before = scenario_.cycle(0).inNumber;
    TFTelNum e(scenario_, 0, messages_);
    type(e, NUM_ON_ATX, "-");
    EXPECT_FALSE(e.confirm());
    EXPECT_EQ(messages_.texts().last(), txt(str::NoNumberOnAtx));
    EXPECT_FALSE(e.result() == QDialog::Accepted);

    type(e, NUM_ON_ATX, "0099");
    e.enumBox(NUM_ON_ATX)->setChecked(true);
    e.endEdit(NUM_ON_ATX)->setValue(101);
    EXPECT_EQ(scenario_.cycle(0).numEnum[NUM_ON_ATX].on, 1);
    e.reject();
    EXPECT_EQ(numberText(scenario_.cycle(0).inNumber), numberText(before));
    EXPECT_EQ(scenario_.cycle(0).numEnum[NUM_ON_ATX].on, 0);
}

TEST_F(NumberEditorTest, OutgoingModeHasNoEnumerationAndRefusesTheCycleNumber) {
    TelNumber in{};
    clearNumber(in);
    setNumberField(in, NUM_ON_ATX, "P2222");
    rebuildNumberText(in);
    scenario_.cycle(0).inNumber = in;

    TFTelNum e(scenario_, -1, messages_);
    EXPECT_FALSE(e.enumBox(NUM_ON_ATX)->isEnabled());
    type(e, NUM_ON_ATX, "T2222");
    EXPECT_FALSE(e.confirm());
    EXPECT_EQ(messages_.texts().last(), txt(str::OutgoingEqualsCycle));
    e.reject();
    EXPECT_NE(numberField(scenario_.header().outNumber, NUM_ON_ATX), "T2222");
}

}  // namespace
}  // namespace zev7
