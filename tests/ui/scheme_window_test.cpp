#include "core/program_dir.h"
#include "scenario/ole_date.h"
#include "scenario/scenar_class.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_templates.h"
#include "support/plain_number.h"
#include "support/recording_messages.h"
#include "ui/port/port_control.h"
#include "ui/port/tform_data.h"
#include "ui/scheme/scheme_chart.h"
#include "ui/scheme/tftest_scenar.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QTableWidget>
#include <QTest>

namespace zev7 {
namespace {

constexpr double kBase = 46000.0 + 10.0 / 24.0;

class SchemeWindowTest : public ::testing::Test {
protected:
    SchemeWindowTest() {
        test::uiApp();
        setProgramDir(home_.path());
        EXPECT_TRUE(ensureProgramFolders());
    }
    ~SchemeWindowTest() override { setProgramDir(QString()); }

    // A port window whose one cycle calls 2222222 from `fromDays` after the common base time.
    void openPort(int port, double fromDays) {
        ScenarHeader h = templateHeader(kBase);
        h.outNumber = test::plainNumber(port == 1 ? "1111111" : "5555555");
        CycleRecord c = templateCycle();
        c.inNumber = test::plainNumber("2222222");
        c.startFrom = fromDays;
        c.startUntil = fromDays + 0.5;
        c.state = static_cast<std::int32_t>(CycleState::Waiting);
        const std::vector<CycleRecord> cycles{c};
        ASSERT_TRUE(writeScenarioFile(workingCopyPath(port), h, cycles, messages_));
        PortWindowContext context{control_, messages_, nullptr};
        ports_.emplace_back(createPortWindow(port, context));
    }

    std::unique_ptr<TFTestScenar> scheme() {
        SchemeWindowContext context;
        context.programStart = kBase;
        context.documents = [this] {
            QList<PortScenarioDocument*> documents;
            for (const auto& w : ports_) {
                documents.append(&w->document());
            }
            return documents;
        };
        auto window = std::make_unique<TFTestScenar>(context);
        window->resize(900, 400);
        window->show();
        window->activate();
        return window;
    }

    double duration() const { return ports_[0]->scenario().cycle(0).estimatedDuration / 86400; }
    static const SchemeBar& bar(const TFTestScenar& w, int row) {
        return w.scheme().rows().at(row).bars.at(0);
    }
    static QColor colour(const TFTestScenar& w, int row) {
        return SchemeChart::colourOf(w.scheme().rows().at(row), bar(w, row));
    }

    QTemporaryDir home_;
    RecordingMessages messages_;
    test::IdlePortControl control_;
    std::vector<std::unique_ptr<TForm_Data>> ports_;
};

TEST_F(SchemeWindowTest, TwoPortsCallingOneNumberAtOnceAreRedUntilDraggedApart) {
    openPort(1, 0.0);
    openPort(2, 0.0);
    ports_[1]->document().moveCycleStart(0, duration() / 2, duration() / 2 + 0.5);
    auto w = scheme();
    ASSERT_EQ(w->scheme().rows().size(), 2u);
    EXPECT_EQ(colour(*w, 0), SchemeChart::kClashColour);
    EXPECT_EQ(colour(*w, 1), SchemeChart::kClashColour);

    // Port 2's bar is taken by its middle and dropped an hour after port 1's call ends.
    SchemeChart* chart = w->chart();
    const QPoint grab = chart->barRect(1, 0).center().toPoint();
    const double shift = duration() / 2 + 1.0 / 24;
    const QPoint drop(grab.x() + qRound(chart->xOf(kBase + shift) - chart->xOf(kBase)), grab.y());
    QTest::mousePress(chart, Qt::LeftButton, {}, grab);
    QTest::mouseMove(chart, (grab + drop) / 2);
    QTest::mouseMove(chart, drop);
    QTest::mouseRelease(chart, Qt::LeftButton, {}, drop);
    QApplication::processEvents();

    EXPECT_EQ(colour(*w, 0), SchemeChart::kFreeColour);
    EXPECT_EQ(colour(*w, 1), SchemeChart::kFreeColour);
    const ScenarioFileContent written = readScenarioFile(workingCopyPath(2));
    ASSERT_EQ(written.cycles.size(), 1u);
    const CycleRecord& moved = written.cycles[0];
    EXPECT_NEAR(moved.startFrom, duration() + 1.0 / 24, 2.0 / kMinutesPerDay);
    EXPECT_NEAR(moved.startUntil - moved.startFrom, 0.5, 1e-9);
    EXPECT_DOUBLE_EQ(ports_[1]->scenario().cycle(0).startFrom, moved.startFrom);
    EXPECT_EQ(messages_.count(), 0);
}

TEST_F(SchemeWindowTest, ExcludingACycleInItsPortWindowRedrawsTheScheme) {
    auto empty = std::make_unique<TFTestScenar>(SchemeWindowContext{});
    EXPECT_EQ(empty->pageLabel()->text(), QString::fromUtf8("Стр. 0 из 0"));
    empty->activate();
    EXPECT_EQ(empty->pageLabel()->text(), QString::fromUtf8("Стр. 1 из 1"));

    openPort(1, 0.0);
    openPort(2, 0.0);
    auto w = scheme();
    EXPECT_TRUE(bar(*w, 0).clash);
    ports_[1]->cycleTable()->item(0, 1)->setCheckState(Qt::Unchecked);
    QApplication::processEvents();
    EXPECT_TRUE(w->scheme().rows().at(1).bars.empty());
    EXPECT_FALSE(bar(*w, 0).clash);
}

}  // namespace
}  // namespace zev7
