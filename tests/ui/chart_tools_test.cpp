#include "core/strings.h"
#include "support/file_size_limit.h"
#include "support/recording_messages.h"
#include "support/temp_home.h"
#include "ui/chart/chart_axes.h"
#include "ui/chart/chart_output.h"
#include "ui/chart/tform_color.h"
#include "ui/frame/grid_fit.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QImage>
#include <QMessageBox>
#include <QPieSeries>
#include <QPieSlice>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <deque>

namespace zev7 {
namespace {

// The save dialog answers from a queue; the real dialogs come back after the test.
class ChartToolsTest : public ::testing::Test {
protected:
    ChartToolsTest() : saved_(ChartDialogs::instance()) {
        ChartDialogs::instance().saveName = [this](QWidget*, const QString& proposed,
                                                   const QString&) {
            proposals_.push_back(proposed);
            if (names_.empty()) {
                return QString();
            }
            const QString next = names_.front();
            names_.pop_front();
            return next;
        };
        chart_ = new QChart;
        view_.setChart(chart_);
        view_.resize(200, 150);
    }
    ~ChartToolsTest() override { ChartDialogs::instance() = saved_; }

    QApplication& app_ = test::uiApp();  // before the widgets below
    test::TempHome home_{test::TempHome::WithFolders};
    ChartDialogs saved_;
    std::deque<QString> names_;
    QStringList proposals_;
    RecordingMessages messages_;
    QChartView view_;
    QChart* chart_ = nullptr;
};

TEST(ChartAxesRules, LimitsAndLeastWindowKeepTheAxisInside) {
    // A level graph scrolled to 5..20 with limits -50..10 stops at 10.
    EXPECT_EQ(limitAxisWindow({5, 20}, -50, 10, 0.2, true), (AxisWindow{5, 10}));
    EXPECT_EQ(limitAxisWindow({-70, -60}, -50, 10, 0.2, true), (AxisWindow{-50, -49}));
    // The unbounded bottom axis keeps only its lower rules.
    EXPECT_EQ(limitAxisWindow({-3, 500}, 0, 0, 1, false), (AxisWindow{0, 500}));
    // A zoom inside 5 units goes back; a scroll keeps its top and opens the window below it.
    EXPECT_EQ(keepMinimumWindow({10, 10.5}, {0, 30}, 0.2), (AxisWindow{0, 30}));
    EXPECT_EQ(keepMinimumWindow({10.2, 10.6}, {10, 10.4}, 0.2).span(), 1.0);
    EXPECT_EQ(keepMinimumWindow({10, 10.5}, {0, 30}, 0), (AxisWindow{10, 10.5}));
}

TEST(ChartAxesRules, PagesOfBars) {
    EXPECT_EQ(barPages(25, 1, {0.5, 10.5}).pages, 3);
    EXPECT_EQ(barPages(25, 1, {0.5, 10.5}).page, 1);
    EXPECT_EQ(barPages(25, 1, {20.5, 30.5}).page, 3);
    EXPECT_EQ(barPages(10, 1, {0.5, 10.5}).pages, 1);
    EXPECT_EQ(barPages(0, 1, {0.5, 10.5}).pages, 1);
    EXPECT_EQ(pageWindow(2, 10, 1), (AxisWindow{10.5, 20.5}));
    EXPECT_EQ(pageWindow(2, 10, 7), (AxisWindow{17, 27}));
}

TEST_F(ChartToolsTest, DecliningToOverwriteAsksForAnotherName) {
    const QString taken = home_.filePath("Picture/graphic.bmp");
    QFile(taken).open(QIODevice::WriteOnly);
    const QString other = home_.filePath("Picture/other.png");
    names_ = {taken, other};
    messages_.queueAnswer(false);
    EXPECT_TRUE(SaveChartToFile(&view_, &view_, messages_));
    EXPECT_EQ(proposals_.size(), 2);
    EXPECT_EQ(proposals_.last(), taken);
    EXPECT_EQ(QFile(taken).size(), 0);  // kept as it was
    EXPECT_FALSE(QImage(other).isNull());
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_EQ(messages_.texts().first(), "Имя 'graphic.bmp' уже существует! Перезаписать?");
}

// Saving over a file that exists, through the real save dialog: the program's question is the
// only one.
TEST_F(ChartToolsTest, OverwritingAFileIsAskedOnce) {
    const QString taken = home_.filePath("Picture/graphic.bmp");
    QFile(taken).open(QIODevice::WriteOnly);
    ChartDialogs::instance().saveName = saved_.saveName;
    int dialogQuestions = 0;
    QObject answering;  // its timers go with it
    std::function<void()> answer = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            ++dialogQuestions;
            box->button(QMessageBox::Yes)->click();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            dialog->selectFile(taken);
            static_cast<QDialog*>(dialog)->accept();  // as its "Save" button
        }
        QTimer::singleShot(0, &answering, answer);
    };
    QTimer::singleShot(0, &answering, answer);
    messages_.queueAnswer(true);
    EXPECT_TRUE(SaveChartToFile(&view_, &view_, messages_));
    EXPECT_EQ(dialogQuestions, 0);
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_EQ(messages_.texts().first(), "Имя 'graphic.bmp' уже существует! Перезаписать?");
    EXPECT_GT(QFile(taken).size(), 0);
}

TEST_F(ChartToolsTest, EachFormatByItsExtensionAndAMessageForOthers) {
    const QString svg = home_.filePath("Picture/chart.svg");
    const QString bmp = home_.filePath("Picture/chart.bmp");
    EXPECT_TRUE(writeChartFile(&view_, svg, messages_));
    EXPECT_TRUE(writeChartFile(&view_, bmp, messages_));
    QFile svgFile(svg);
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svgFile.readAll().contains("<svg"));
    EXPECT_EQ(QImage(bmp).size(), view_.size());

    const QString emf = home_.filePath("Picture/chart.emf");
    EXPECT_FALSE(writeChartFile(&view_, emf, messages_));
    EXPECT_FALSE(QFile::exists(emf));
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_TRUE(messages_.texts().first().contains("chart.emf"));
}

// The pictures are drawn here; the child process (with its files limited) only writes them, as
// drawing there could wait for threads that fork left behind.
TEST_F(ChartToolsTest, AFullDiskKeepsThePreviousPictureAndSaysSo) {
    QImage small(4, 4, QImage::Format_RGB32);
    small.fill(Qt::white);
    const QImage large = small.scaled(64, 64);
    const QString report = home_.filePath("Result/g.bmp");
    const QString chart = home_.filePath("Picture/chart.png");
    ASSERT_TRUE(saveBitmap16(small, report));
    ASSERT_TRUE(writeChartFile(&view_, chart, messages_));
    const auto read = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray reportBefore = read(report);
    const QByteArray chartBefore = read(chart);
    const QByteArray larger = chartBefore + QByteArray(1000, 'x');

    const int result = test::runWithFileSizeLimit(reportBefore.size() + 10, [&] {
        RecordingMessages inChild;
        const bool bitmap = saveBitmap16(large, report);
        const bool picture = writePictureFile(chart, larger, inChild);
        return !bitmap && !picture && inChild.count() == 1 && inChild.texts()[0].contains(chart)
                   ? 0
                   : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(read(report), reportBefore);
    EXPECT_EQ(read(chart), chartBefore);
}

TEST_F(ChartToolsTest, PrintsHeaderAndPictureToPdf) {
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = home_.filePath("chart.pdf");
    printer.setOutputFileName(pdf);
    printPicture(printer, view_.grab().toImage(), "Порт:1  Затухание", PrintScale::Proportional);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(4) == "%PDF");
    EXPECT_GT(file.size(), 1000);
}

TEST_F(ChartToolsTest, ReportBitmapHasSixteenColours) {
    QImage picture(33, 7, QImage::Format_RGB32);
    picture.fill(QColor(0, 255, 0));
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    const QString path = home_.filePath("Result/g.bmp");
    ASSERT_TRUE(saveBitmap16(picture, path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray head = file.read(30);
    EXPECT_TRUE(head.startsWith("BM"));
    EXPECT_EQ(head.at(28), 4);  // bits per pixel
    const QImage back(path);
    ASSERT_EQ(back.size(), picture.size());
    EXPECT_EQ(back.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(back.pixelColor(32, 6), QColor(0, 255, 0));
}

TEST_F(ChartToolsTest, BarColourOfTheBackgroundHidesTheSeries) {
    auto* set = new QBarSet("Затухание");
    set->setColor(QColor(0, 255, 0));
    auto* bars = new QBarSeries;
    bars->setName("Затухание");
    bars->append(set);
    chart_->addSeries(bars);
    chart_->setBackgroundBrush(QColor(255, 255, 255));

    TForm_Color dialog(bars, chart_, 2, ChartOwner::LiveGraph);
    EXPECT_EQ(dialog.panel(), TForm_Color::Panel::Graph);
    EXPECT_EQ(dialog.setButton()->palette().color(QPalette::ButtonText), QColor(0, 128, 0));
    dialog.setShapeColour(0, QColor(255, 255, 255));
    EXPECT_EQ(dialog.setButton()->palette().color(QPalette::ButtonText), QColor(255, 255, 0));
    dialog.apply();
    EXPECT_FALSE(bars->isVisible());

    TForm_Color again(bars, chart_, 2, ChartOwner::LiveGraph);
    again.setShapeColour(0, QColor(0, 0, 255));
    again.apply();
    EXPECT_TRUE(bars->isVisible());
    EXPECT_EQ(set->color(), QColor(0, 0, 255));
}

TEST_F(ChartToolsTest, DatabaseKindsChooseTheirPanelAndCount) {
    auto* bars = new QBarSeries;
    bars->append(new QBarSet("x"));
    chart_->addSeries(bars);
    TForm_Color intervals(bars, chart_, 6, ChartOwner::DatabaseGraph);
    EXPECT_EQ(intervals.countPoints()->maximum(), 20);
    bool recomputed = false;
    intervals.recompute = [&recomputed] { recomputed = true; };
    intervals.countPoints()->setValue(4);
    intervals.apply();
    EXPECT_TRUE(recomputed);
    EXPECT_EQ(chartPointsPerPage(chart_), 4);
    TForm_Color lossPie(bars, chart_, 3, ChartOwner::DatabaseGraph);
    EXPECT_EQ(lossPie.panel(), TForm_Color::Panel::LossSlices);
    EXPECT_EQ(lossPie.shapeCount(), 13);
}

TEST_F(ChartToolsTest, PieColoursAndFillComeFromTheDialog) {
    auto* pie = new QPieSeries;
    pie->setName("Диаграмма вызовов");
    pie->append("a", 3)->setBrush(QColor(0, 128, 0));
    pie->append("b", 1)->setBrush(QColor(255, 0, 0));
    chart_->addSeries(pie);
    TForm_Color dialog(pie, chart_, 0, ChartOwner::LiveGraph);
    EXPECT_EQ(dialog.panel(), TForm_Color::Panel::TwoSlices);
    EXPECT_TRUE(dialog.fillPie()->isChecked());
    EXPECT_FALSE(dialog.changed());
    dialog.fillPie()->setChecked(false);
    EXPECT_TRUE(dialog.changed());
    dialog.setShapeColour(1, QColor(0, 0, 255));
    dialog.apply();
    EXPECT_EQ(pie->slices().at(1)->brush().color(), QColor(0, 0, 255));
    EXPECT_NE(pie->slices().at(0)->brush().style(), Qt::SolidPattern);
}

TEST_F(ChartToolsTest, ColumnFittersMeasureHeaderLinesOrWholeTexts) {
    QTableWidget grid(1, 1);
    grid.horizontalHeader()->setDefaultSectionSize(10);
    grid.setHorizontalHeaderItem(0, new QTableWidgetItem("Телефонный номер\nавтоответчика"));
    grid.setItem(0, 0, new QTableWidgetItem("12"));
    const QFontMetrics metrics(grid.font());
    FitGridColumn(&grid, 0, GridFit::HeaderLines);
    EXPECT_EQ(grid.columnWidth(0), metrics.horizontalAdvance("Телефонный номер") + 2 + 3);
    FitGridColumn(&grid, 0, GridFit::WholeCells);
    EXPECT_EQ(grid.columnWidth(0),
              metrics.horizontalAdvance("Телефонный номер\nавтоответчика") + 2 + 15);
}

}  // namespace
}  // namespace zev7
