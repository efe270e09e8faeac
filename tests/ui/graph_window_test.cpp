#include "core/ini_file.h"
#include "core/strings.h"
#include "engine/report/graph_bitmaps.h"
#include "support/recording_messages.h"
#include "support/temp_home.h"
#include "ui/chart/chart_view.h"
#include "ui/chart/graph_windows.h"
#include "ui/chart/pie_slices.h"
#include "ui/chart/tform_graphic.h"
#include "ui/model/port_graph_data.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QPieSeries>
#include <QPieSlice>
#include <QValueAxis>
#include <memory>

namespace zev7 {
namespace {

constexpr int kPort = 3;

class GraphWindowTest : public ::testing::Test {
protected:
    GraphWindowTest() { test::uiApp(); }

    std::unique_ptr<TForm_Graphic> window(int kind) {
        auto w =
            std::make_unique<TForm_Graphic>(kPort, kind, graphTitle(kind), data_, messages_, &ini_);
        w->restoreLayout();
        return w;
    }

    // Calls 1..n, each with an attenuation of 10 + its number and a dial tone of -20 dBm.
    void accountCalls(int n) {
        for (int call = 1; call <= n; ++call) {
            CallRefresh r;
            r.callNumber = call;
            r.pies.calls = {call, 0};
            r.points.attenuation = 10.0 + call;
            r.points.dialToneLevel = -20.0;
            data_.callAccounted(r);
        }
    }

    static void key(QWidget* w, int k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
    }

    test::TempHome home_{test::TempHome::WithFolders};
    IniFile ini_{home_.filePath("ZEV7.ini")};
    RecordingMessages messages_;
    PortGraphData data_;
};

// A cycle without a loss after one with losses: its loss pie is drawn empty, in the window and
// in the report's bitmap, as is the calls pie of a cycle before its first call.
TEST_F(GraphWindowTest, APieWithoutCountsIsDrawnEmpty) {
    auto picture = [this](TForm_Graphic& w, const QString& name) {
        const QString path = home_.filePath("Result/" + name + ".bmp");
        EXPECT_TRUE(w.saveReportBitmap(path));
        return QImage(path);
    };
    auto freshLosses = window(LossesPie);
    auto freshCalls = window(CallsPie);
    const QImage emptyLosses = picture(*freshLosses, "emptyLosses");
    const QImage emptyCalls = picture(*freshCalls, "emptyCalls");
    auto losses = window(LossesPie);
    auto calls = window(CallsPie);

    CallRefresh lost;
    lost.callNumber = 1;
    lost.pies.calls = {0, 1};
    lost.pies.losses[9] = 1;  // "Нет сигнала АО"
    data_.callAccounted(lost);
    EXPECT_NE(picture(*losses, "lost"), emptyLosses);
    EXPECT_NE(picture(*calls, "lostCall"), emptyCalls);

    data_.cycleStarted(CycleStartInfo{});
    EXPECT_EQ(picture(*calls, "beforeFirstCall"), emptyCalls);
    CallRefresh success;
    success.callNumber = 1;
    success.pies.calls = {1, 0};
    data_.callAccounted(success);
    EXPECT_EQ(picture(*losses, "noLoss"), emptyLosses);
}

// Shown percentages add up to 100: three equal losses read 33, 33 and 34 %, not 33 three times
// or 34 three times.
TEST_F(GraphWindowTest, PiePercentagesAddUpToAHundred) {
    EXPECT_EQ(percentShares({1, 1, 1}, 0), (QList<double>{34, 33, 33}));
    EXPECT_EQ(percentShares({2, 0, 1}, 1), (QList<double>{66.7, 0, 33.3}));
    EXPECT_EQ(percentShares({0, 0}, 0), (QList<double>{0, 0}));
    auto w = window(LossesPie);
    CallRefresh r;
    r.callNumber = 3;
    r.pies.calls = {0, 3};
    r.pies.losses[0] = r.pies.losses[6] = r.pies.losses[9] = 1;
    data_.callAccounted(r);
    w->refresh();
    double sum = 0;
    for (QPieSlice* s : qobject_cast<QPieSeries*>(w->series())->slices()) {
        sum += s->label().section(u' ', 0, 0).toDouble();
    }
    EXPECT_EQ(sum, 100.0);
}

TEST_F(GraphWindowTest, TwentyFiveBarsPageByTen) {
    auto w = window(AttenuationBars);
    EXPECT_EQ(w->windowTitle(), "Порт:3  Затухание");
    EXPECT_EQ(w->pageText(), "Стр. 1 из 1");
    accountCalls(25);
    w->refresh();
    EXPECT_EQ(w->pageText(), "Стр. 1 из 3");
    EXPECT_EQ(w->shownBars(), 10);
    w->nextPage();
    w->nextPage();
    EXPECT_EQ(w->pageText(), "Стр. 3 из 3");
    EXPECT_EQ(w->bottomWindow(), (AxisWindow{20.5, 30.5}));
    EXPECT_EQ(w->shownBars(), 5);  // calls 21..25
    w->nextPage();
    EXPECT_EQ(w->pageText(), "Стр. 3 из 3");
    w->previousPage();
    EXPECT_EQ(w->pageText(), "Стр. 2 из 3");
    // A new cycle empties the graph.
    data_.cycleStarted({});
    w->refresh();
    EXPECT_EQ(w->shownBars(), 0);
}

TEST_F(GraphWindowTest, ZoomAndScrollStayInsideTheLimits) {
    auto attenuation = window(AttenuationBars);
    EXPECT_EQ(attenuation->leftWindow(), (AxisWindow{0, 30}));
    // A mouse zoom into half a decibel is too narrow: the axis goes back to its window before.
    QValueAxis* left = chartAxis(attenuation->chart(), Qt::AlignLeft);
    left->setRange(10.0, 10.5);
    QApplication::processEvents();
    EXPECT_GE(attenuation->leftWindow().span(), 1.0);

    auto level = window(DialToneBars);
    for (int i = 0; i < 40; ++i) {
        level->wheel(-3);  // backward: the values go up
    }
    EXPECT_LE(level->leftWindow().max, 10.0);
    for (int i = 0; i < 80; ++i) {
        level->wheel(3);
    }
    EXPECT_GE(level->leftWindow().min, -50.0);
    level->zoomChart(ChartZoom::Up);
    EXPECT_LE(level->leftWindow().max, 10.0);
    level->zoomChart(ChartZoom::Restore);
    EXPECT_EQ(level->leftWindow(), (AxisWindow{-50, 10}));
    EXPECT_EQ(level->bottomWindow(), (AxisWindow{0.5, 10.5}));
}

TEST_F(GraphWindowTest, PieRadiusKeysAndRotation) {
    auto w = window(CallsPie);
    EXPECT_FALSE(w->zoomApplies());
    key(w->chartView(), Qt::Key_Right);
    EXPECT_EQ(w->horizontalRadius(), 25);
    key(w->chartView(), Qt::Key_Left);
    EXPECT_EQ(w->horizontalRadius(), 0);  // below 6: automatic again
    key(w->chartView(), Qt::Key_Down);
    key(w->chartView(), Qt::Key_Down);
    key(w->chartView(), Qt::Key_Up);
    EXPECT_EQ(w->verticalRadius(), 25);
    EXPECT_EQ(w->rotation(), 90);

    accountCalls(4);
    w->refresh();
    auto* pie = qobject_cast<QPieSeries*>(w->series());
    ASSERT_EQ(pie->count(), 2);
    EXPECT_EQ(pie->slices().at(0)->value(), 4);
    EXPECT_EQ(pie->slices().at(0)->label(), "100 %");
}

TEST_F(GraphWindowTest, MissingSectionGivesDefaultsAndStoredLookComesBack) {
    {
        auto losses = window(LossesPie);
        auto* pie = qobject_cast<QPieSeries*>(losses->series());
        ASSERT_EQ(pie->count(), 13);
        EXPECT_EQ(pie->slices().at(3)->brush().color(), QColor(0, 0, 255));
        EXPECT_EQ(pie->slices().at(12)->brush().color(), QColor(0, 0, 255));
        auto level = window(RingbackBars);
        EXPECT_EQ(level->axisSettings().maxl, 10.0);
        EXPECT_EQ(level->leftWindow(), (AxisWindow{-40, 0}));
        auto* bars = qobject_cast<QBarSeries*>(level->series());
        EXPECT_EQ(bars->barSets().first()->color(), QColor(0, 255, 0));
        EXPECT_TRUE(bars->isLabelsVisible());

        bars->barSets().first()->setColor(QColor(0, 0, 128));
        level->setBackgroundColour(QColor(255, 255, 192));
        level->zoomChart(ChartZoom::InY);
        level->close();
    }
    auto again = window(RingbackBars);
    auto* bars = qobject_cast<QBarSeries*>(again->series());
    EXPECT_EQ(bars->barSets().first()->color(), QColor(0, 0, 128));
    EXPECT_EQ(again->backgroundColour(), QColor(255, 255, 192));
    EXPECT_EQ(again->leftWindow(), (AxisWindow{-36, -4}));

    // A damaged section (crossed limits) gives the graph's own ranges.
    ini_.writeDouble(graphCaption(kPort, AttenuationBars), "minl", 80);
    EXPECT_EQ(window(AttenuationBars)->leftWindow(), (AxisWindow{0, 30}));
}

TEST_F(GraphWindowTest, OpenGraphWindowsGiveTheReportItsPictures) {
    GraphWindows graphs;
    TForm_Graphic* pie = graphs.open(kPort, CallsPie, data_, messages_, &ini_);
    TForm_Graphic* bars = graphs.open(kPort, DialToneBars, data_, messages_, &ini_);
    ASSERT_NE(pie, nullptr);
    EXPECT_EQ(graphs.open(kPort, CallsPie, data_, messages_, &ini_), pie);
    accountCalls(3);

    const int before = GraphCounter();
    const QStringList lines = SaveGraphBitmaps(kPort, &graphs);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "<p><align=center>Порт:3  Диаграмма вызовов");
    EXPECT_EQ(lines[2], "<p><align=center>Порт:3  Уровень ОС");
    const QString second = graphBitmapPath(kPort, before + 2);
    EXPECT_TRUE(lines[3].contains(graphBitmapFileName(kPort, before + 2)));
    EXPECT_FALSE(QImage(second).isNull());

    // Closing the port's window closes its graphs; the slots empty.
    graphs.closeAll(kPort);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(graphs.window(kPort, CallsPie), nullptr);
    EXPECT_TRUE(graphs.openGraphWindows(kPort).isEmpty());
    Q_UNUSED(bars);
}

TEST_F(GraphWindowTest, GraphsOpenAtProgramEndAreRememberedAsOpen) {
    GraphWindows graphs;
    graphs.open(kPort, LossesPie, data_, messages_, &ini_);
    EXPECT_TRUE(graphs.wasOpen(kPort, LossesPie));
    // At the program's end the graph windows close before their port window records them.
    graphs.freeze();
    graphs.closeAll(kPort);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(graphs.window(kPort, LossesPie), nullptr);
    EXPECT_TRUE(graphs.wasOpen(kPort, LossesPie));
    EXPECT_FALSE(graphs.wasOpen(kPort, CallsPie));
}

}  // namespace
}  // namespace zev7
