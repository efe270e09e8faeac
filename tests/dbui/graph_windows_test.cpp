// The statistical graph windows over a generated database: one window per kind, paging, the
// settings under the caption, and the windows following the cycle list.
#include "db/db_fixture.h"
#include "dbui/cycle_stat_windows.h"
#include "dbui/db_graph_windows.h"
#include "dbui/graph_param_button.h"
#include "dbui/stat_window_support.h"
#include "dbui/tform_bd_graph.h"
#include "ui/chart/chart_window.h"
#include "ui/chart/histogram_marks.h"
#include "ui/chart/port_chart_source.h"

#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QSignalSpy>
#include <QToolButton>
#include <cmath>

namespace zev7::testing {
namespace {

constexpr int kCycles = 36;
constexpr int kLossesByCycle = 18;

class GraphWindowsTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        test::loadDemoSelection(kCycles, 12, messages_);
        if (HasFatalFailure()) {
            return;
        }
        QSqlQuery q(DbConnection::main());
        q.exec(QStringLiteral("SELECT MIN(CYCLE_ID), MAX(CYCLE_ID) FROM TEMP_CYCLE"));
        ASSERT_TRUE(q.next());
        first_ = q.value(0).toInt();
        last_ = q.value(1).toInt();
        graphs_ = std::make_unique<DbGraphWindows>(&ini_, &messages_, mdi_->frame());
        graphs_->setCurrentCycle(first_);
    }

    void TearDown() override {
        graphs_.reset();
        mdi_.reset();
        DbTest::TearDown();
    }

    void closeWindow(TFormBD_Graph* w) {
        w->frameWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    int first_ = 0;
    int last_ = 0;
    IniFile ini_{home_.filePath(QStringLiteral("ZEV7.ini"))};
    std::unique_ptr<test::MdiFrame> mdi_ = std::make_unique<test::MdiFrame>();
    std::unique_ptr<DbGraphWindows> graphs_;
};

TEST_F(GraphWindowsTest, OneWindowPerKindAndAllCloseWithTheList) {
    for (int kind = 0; kind < kGraphKindCount; ++kind) {
        TFormBD_Graph* w = graphs_->open(kind);
        ASSERT_EQ(w != nullptr, graphKindUsed(kind)) << kind;
        if (w != nullptr) {
            EXPECT_EQ(w->windowTitle(), graphKindCaption(kind));
            EXPECT_EQ(graphs_->open(kind), w);  // shown again, not made twice
        }
    }
    EXPECT_EQ(mdi_->area.subWindowList().size(), 28);
    // Every kind drew something from the demo runs.
    EXPECT_EQ(graphs_->window(GraphCyclePie)->data().slices.size(), 2);
    EXPECT_GE(graphs_->window(GraphFirstHistogram)->data().measured, 2);
    EXPECT_EQ(graphs_->window(kLossesByCycle)->data().points.size(), kCycles);
    graphs_->closeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(mdi_->area.subWindowList().isEmpty());
}

TEST_F(GraphWindowsTest, PagesStayWithinTheFirstAndTheLast) {
    TFormBD_Graph* w = graphs_->open(kLossesByCycle);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->pageText(), QString::fromUtf8("Стр. 1 из 4"));
    EXPECT_DOUBLE_EQ(w->bottomMin(), -0.5);
    EXPECT_DOUBLE_EQ(w->bottomMax(), 9.5);
    w->previousPage();
    EXPECT_EQ(w->page(), 1);
    // Scrolled left from the first page, the axis stops at the first cycle.
    w->zoomChart(ChartZoom::Left);
    w->zoomChart(ChartZoom::Left);
    EXPECT_DOUBLE_EQ(w->bottomMin(), -0.5);
    EXPECT_DOUBLE_EQ(w->bottomMax(), 9.5);
    for (int i = 0; i < 5; ++i) {
        w->findChild<QToolButton*>(QStringLiteral("NextBitBtn"))->click();
    }
    EXPECT_EQ(w->page(), 4);
    EXPECT_DOUBLE_EQ(w->bottomMin(), 29.5);
    // The last page shows the six cycles left, time over date.
    const QStringList labels = w->bottomLabels();
    ASSERT_EQ(labels.size(), kCycles - 30);
    EXPECT_TRUE(labels.first().contains(QStringLiteral("<br>")));
    ASSERT_GE(w->normLine()->count(), 6);
    EXPECT_DOUBLE_EQ(w->normLine()->at(w->normLine()->count() - 1).y(), w->data().norms.last());

    // The calls of one cycle page the same way, from call 1.
    TFormBD_Graph* calls = graphs_->open(GraphFirstPerCall);
    EXPECT_EQ(calls->pageText(), QString::fromUtf8("Стр. 1 из 2"));
    EXPECT_DOUBLE_EQ(calls->bottomMin(), 0.5);
    // The line runs on past the page's edge; only the page's own points show their values.
    auto* line = qobject_cast<QXYSeries*>(calls->mainSeries());
    ASSERT_GT(line->at(line->count() - 1).x(), calls->bottomMax());
    for (int i = 0; i < line->count(); ++i) {
        const QVariant marked =
            line->pointConfiguration(i).value(QXYSeries::PointConfiguration::LabelVisibility, true);
        EXPECT_EQ(marked.toBool(), line->at(i).x() <= calls->bottomMax()) << i;
    }
    // A histogram has a single page: its points are its intervals.
    TFormBD_Graph* histogram = graphs_->open(GraphFirstHistogram);
    EXPECT_EQ(histogram->pageCount(), 1);
    EXPECT_EQ(histogram->bottomLabels().size(), 11);  // the edges of ten intervals
}

TEST_F(GraphWindowsTest, SettingsAreKeptUnderTheCaption) {
    TFormBD_Graph* w = graphs_->open(GraphFirstMean);
    w->setPointsPerPage(20);
    w->chart()->setBackgroundBrush(QColor(200, 220, 240));
    closeWindow(w);
    TFormBD_Graph* pie = graphs_->open(GraphSelectionLossPie);
    auto* series = qobject_cast<QPieSeries*>(pie->mainSeries());
    series->slices().at(4)->setBrush(QColor(10, 20, 30));
    closeWindow(pie);
    // A damaged number of intervals gives the default.
    const QString histogram = graphKindCaption(GraphFirstHistogram);
    ini_.writeString(histogram, QStringLiteral("DBChart1_MaxPointsPerPage"), QStringLiteral("500"));
    ini_.save();

    w = graphs_->open(GraphFirstMean);
    EXPECT_EQ(w->pointsPerPage(), 20);
    EXPECT_EQ(w->pageText(), QString::fromUtf8("Стр. 1 из 2"));
    EXPECT_EQ(w->backgroundColour(), QColor(200, 220, 240));
    pie = graphs_->open(GraphSelectionLossPie);
    series = qobject_cast<QPieSeries*>(pie->mainSeries());
    EXPECT_EQ(series->slices().at(4)->brush().color(), QColor(10, 20, 30));
    // A slice with calls keeps a dark edge, so a white one ("Занято на входящей") shows; an
    // empty slice draws no lone radius.
    for (const QPieSlice* slice : series->slices()) {
        EXPECT_EQ(slice->pen().style(), slice->value() > 0 ? Qt::SolidLine : Qt::NoPen);
        EXPECT_EQ(slice->pen().color(), QColor(Qt::black));
    }
    TFormBD_Graph* h = graphs_->open(GraphFirstHistogram);
    EXPECT_EQ(h->pointsPerPage(), 10);
    EXPECT_EQ(h->data().points.size(), 20);  // two edges per interval
}

// The histogram's legend names the distribution once, also after a cycle without values.
TEST_F(GraphWindowsTest, TheHistogramLegendNamesTheDistributionOnce) {
    TFormBD_Graph* histogram = graphs_->open(GraphFirstHistogram);
    mdi_->area.show();  // the legend's entries are drawn items: hidden with a hidden window
    const auto entries = [histogram] {
        int n = 0;
        for (QLegendMarker* m : histogram->chart()->legend()->markers()) {
            n += m->isVisible() && m->label() == QStringLiteral("Характеристика распределения");
        }
        return n;
    };
    int drawn = first_;
    while (drawn < last_ && !histogram->data().histogramShown()) {
        graphs_->setCurrentCycle(++drawn);
    }
    ASSERT_TRUE(histogram->data().histogramShown());
    EXPECT_EQ(entries(), 1);
    graphs_->setCurrentCycle(last_ + 1000);  // no such cycle: nothing to draw
    EXPECT_EQ(entries(), 0);
    graphs_->setCurrentCycle(drawn);
    EXPECT_EQ(entries(), 1);
}

// The mean's value stands in a box beside its line; the bars' values never run into each
// other, the line or that box, in every cycle of the selection.
TEST_F(GraphWindowsTest, TheHistogramMarksStandApart) {
    TFormBD_Graph* histogram = graphs_->open(GraphFirstHistogram);
    mdi_->area.show();
    const HistogramMarks* marks = histogram->histogramMarks();
    ASSERT_NE(marks, nullptr);
    int drawn = 0;
    for (int cycle = first_; cycle <= last_; ++cycle) {
        graphs_->setCurrentCycle(cycle);
        if (!histogram->data().histogramShown()) {
            EXPECT_TRUE(marks->barMarks().isEmpty());
            EXPECT_TRUE(marks->meanMark().text.isEmpty());
            continue;
        }
        ++drawn;
        const double mean = histogram->data().mean;
        EXPECT_EQ(marks->meanMark().text, QString::number(std::round(mean * 100) / 100));
        EXPECT_FALSE(marks->meanMark().box.intersects(marks->meanBand()));
        EXPECT_FALSE(marks->barMarks().isEmpty());
        for (qsizetype i = 0; i < marks->barMarks().size(); ++i) {
            const QRectF box = marks->barMarks()[i].box;
            EXPECT_FALSE(box.intersects(marks->meanBand())) << cycle;
            EXPECT_FALSE(box.intersects(marks->meanMark().box)) << cycle;
            for (qsizetype j = 0; j < i; ++j) {
                EXPECT_FALSE(box.intersects(marks->barMarks()[j].box)) << cycle;
            }
        }
    }
    EXPECT_GT(drawn, 3);
    // Switched off in the series settings, the marks go.
    histogram->meanLine()->setPointLabelsVisible(false);
    EXPECT_TRUE(marks->meanMark().text.isEmpty());
}

TEST_F(GraphWindowsTest, WindowsFollowTheCurrentCycleAndTheSelection) {
    TFormBD_Graph* histogram = graphs_->open(GraphFirstHistogram);
    TFormBD_Graph* byCycle = graphs_->open(kLossesByCycle);
    TFormBD_Graph* pie = graphs_->open(GraphSelectionPie);
    const double attemptsBefore = pie->data().slices[0] + pie->data().slices[1];
    graphs_->setCurrentCycle(last_);
    EXPECT_EQ(histogram->scope().cycleId, last_);
    EXPECT_EQ(byCycle->data().points.size(), kCycles);  // a row change leaves the selection

    graphs_->recompute({first_}, {});
    EXPECT_EQ(byCycle->data().points.size(), kCycles - 1);
    EXPECT_LT(pie->data().slices[0] + pie->data().slices[1], attemptsBefore);

    // The test-call window's graph buttons reach the opener through the statistics windows.
    StatWindows stats(&ini_, &messages_, mdi_->frame());
    QObject::connect(&stats, &StatWindows::graphRequested, graphs_.get(),
                     [this](int kind) { graphs_->open(kind); });
    stats.openCycleCalls(last_);
    auto* button = stats.window(StatWindowKind::CycleCalls)
                       ->findChild<GraphParamButton*>(QStringLiteral("PerCall_Button"));
    ASSERT_NE(button, nullptr);
    button->choose(perCallKind(GraphLevel::Ringback));
    ASSERT_NE(graphs_->window(12), nullptr);
    EXPECT_EQ(graphs_->window(12)->scope().cycleId, last_);
}

// A pie without counts (a cycle without a loss, a cycle before its first call) is drawn empty,
// whether it shows the port's running cycle or a cycle of the database: no slice and no
// percentage left over from the last counts, every outcome still named in the legend.
TEST_F(GraphWindowsTest, EitherSourcesPieWithoutCountsIsDrawnEmpty) {
    PortGraphData live;
    ChartWindow port(std::make_unique<PortChartSource>(1, LossesPie, live), QStringLiteral("port"),
                     0, nullptr, &messages_);
    auto db = std::make_unique<DbChartSource>(GraphCycleLossPie, DbConnection::main(), &messages_);
    DbChartSource& dbSource = *db;
    ChartWindow database(std::move(db), QStringLiteral("database"), 0, nullptr, &messages_);
    const auto pie = [](const ChartWindow& w) { return qobject_cast<QPieSeries*>(w.mainSeries()); };
    port.show();  // the legend's entries are drawn items: hidden with a hidden window
    database.show();

    CallRefresh lost;
    lost.callNumber = 1;
    lost.pies.calls = {0, 1};
    lost.pies.losses[9] = 1;
    live.callAccounted(lost);
    port.refresh();
    for (int cycle = first_; cycle <= last_ && !pie(database)->isVisible(); ++cycle) {
        dbSource.read(GraphScope{cycle, {}, {}}, kDefaultPointsPerPage);
    }
    ASSERT_TRUE(pie(port)->isVisible());
    ASSERT_TRUE(pie(database)->isVisible());

    live.cycleStarted(CycleStartInfo{});
    port.refresh();
    dbSource.read(GraphScope{last_ + 1000, {}, {}}, kDefaultPointsPerPage);  // no such cycle
    for (const ChartWindow* w : {&port, &database}) {
        QPieSeries* slices = pie(*w);
        EXPECT_FALSE(slices->isVisible()) << w->windowTitle().toStdString();
        for (const QPieSlice* s : slices->slices()) {
            EXPECT_EQ(s->value(), 0.0);
            EXPECT_FALSE(s->isLabelVisible());
        }
        const QList<QLegendMarker*> legend = w->chart()->legend()->markers(slices);
        EXPECT_EQ(legend.size(), 13);
        for (const QLegendMarker* m : legend) {
            EXPECT_TRUE(m->isVisible());
            EXPECT_FALSE(m->label().isEmpty());
        }
    }
}

}  // namespace
}  // namespace zev7::testing
