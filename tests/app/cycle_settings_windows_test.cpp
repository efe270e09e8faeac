// The one cycle settings window among the port windows: brought up by a port window, shared by
// all, and standing as a strip beside the maximised port windows when it is maximised.
#include "app/cycle_settings_windows.h"
#include "app_test_support.h"
#include "scenario/ole_date.h"
#include "scenario/scenar_class.h"
#include "ui/frame/panel_bar.h"
#include "ui/port/tform_data.h"
#include "ui/settings/cycle_settings_rules.h"
#include "ui/settings/tform_base_time.h"
#include "ui/settings/tform_set.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

namespace zev7::apptest {
namespace {

// The state change is handled once it is complete, a turn of the event loop later.
void settle() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
    }
}

class CycleSettingsWindowsTest : public MainWindowFixture {
protected:
    TForm_Data* portWindow(int port) {
        auto* w = createPortWindow(port, PortWindowContext{control, messages, nullptr});
        subs[port] = form->addChildWindow(w);
        w->scenario().AddCycle();  // without the number editor
        return w;
    }
    test::IdlePortControl control;
    std::map<int, QMdiSubWindow*> subs;
};

TEST_F(CycleSettingsWindowsTest, OneWindowFollowsThePortThatAsks) {
    auto* settings = new CycleSettingsWindows(*form, messages, ini);
    TForm_Data* one = portWindow(1);
    TForm_Data* two = portWindow(2);
    emit one->cycleSettingsWanted(one, true);
    TFormSet* dialog = settings->dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->port(), 1);
    emit two->cycleSettingsWanted(two, true);
    EXPECT_EQ(settings->dialog(), dialog);
    EXPECT_EQ(form->childWindow("TFormSet"), dialog);
    EXPECT_EQ(dialog->port(), 2);
    // A port window that is neither shown nor active does not take the window over.
    emit one->cycleSettingsWanted(one, false);
    EXPECT_EQ(dialog->port(), 2);
}

// The base time moved in the port window and set there moves every start window with it: the
// open settings window shows the new window, and its untouched "Установить" keeps it.
TEST_F(CycleSettingsWindowsTest, ItShowsTheStartWindowWhereANewBaseTimePutsIt) {
    auto* settings = new CycleSettingsWindows(*form, messages, ini);
    TForm_Data* one = portWindow(1);
    emit one->cycleSettingsWanted(one, true);
    TFormSet* dialog = settings->dialog();
    ASSERT_NE(dialog, nullptr);
    const CycleRecord before = one->scenario().cycle(0);
    const double later = one->scenario().header().baseTime + 3.0 / 24.0;
    QTimer::singleShot(0, [later] {
        auto* d = qobject_cast<TFormBaseTime*>(QApplication::activeModalWidget());
        if (d == nullptr) {
            return;
        }
        d->edit()->setText(formatDateTimeMinutes(fromOleDate(later)));
        emit d->edit()->textEdited(d->edit()->text());
        d->accept();
    });
    emit one->scenarioBar()->panelPressed(3, Qt::RightButton);
    one->setScenarioButton()->click();
    const double base = one->scenario().header().baseTime;
    ASSERT_EQ(base, toWholeMinutes(later));

    EXPECT_EQ(dialog->startWindow().start, toWholeMinutes(base + before.startFrom));
    EXPECT_EQ(dialog->startWindow().end, toWholeMinutes(base + before.startUntil));
    EXPECT_FALSE(dialog->resetButton()->isEnabled());
    dialog->setButton()->click();
    EXPECT_EQ(one->scenario().cycle(0).startFrom, before.startFrom);
    EXPECT_EQ(one->scenario().cycle(0).startUntil, before.startUntil);
}

TEST_F(CycleSettingsWindowsTest, MaximisedItStandsBesideThePortWindows) {
    form->resize(1200, 800);
    form->show();
    auto* settings = new CycleSettingsWindows(*form, messages, ini);
    TForm_Data* one = portWindow(1);
    subs[1]->showMaximized();
    emit one->cycleSettingsWanted(one, true);
    auto* strip = qobject_cast<QMdiSubWindow*>(settings->dialog()->frameWindow());
    ASSERT_NE(strip, nullptr);
    strip->move(0, 0);
    strip->showMaximized();
    settle();
    const QRect area = form->mdiArea()->viewport()->rect();
    EXPECT_TRUE(settings->docked());
    EXPECT_FALSE(strip->isMaximized());
    EXPECT_EQ(strip->geometry(), QRect(0, 0, strip->width(), area.height()));
    EXPECT_EQ(subs[1]->geometry().left(), strip->width() + 1);
    EXPECT_EQ(subs[1]->height(), area.height());

    strip->close();
    settle();
    EXPECT_EQ(subs[1]->geometry().left(), 0);
    EXPECT_EQ(subs[1]->width(), area.width() - 2);
}

}  // namespace
}  // namespace zev7::apptest
