#include "engine/report/result_report.h"
#include "engine/report/result_report_finish.h"
#include "engine/report/result_report_lines.h"
#include "support/file_size_limit.h"
#include "support/recording_messages.h"

#include "result_report_support.h"
#include "scenario/ole_date.h"

#include "core/clocks.h"
#include "core/named_mutex.h"

#include <unistd.h>

#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace zev7 {
namespace {

using test::BatchMessages;
using test::FakeGraphs;
using test::knownCycle;
using test::knownHeader;
using test::readCp1251;
using test::u;

double cycleStart() {
    return toOleDate(QDateTime(QDate(2026, 12, 8), QTime(9, 5, 30)));
}

QString joined(const QStringList& lines) {
    QString s;
    for (const QString& line : lines) {
        s += line + QLatin1Char('\n');
    }
    return s;
}

QStringList expectedHead() {
    return {
        "<HTML>",
        "<HEAD>",
        R"(<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=windows-1251">)",
        "</HEAD>",
        "<BODY>",
        u("<p>Программно-аппаратный измерительный комплекс\nдля определения коэффициента потерь "
          "вызова\nTeliq ВЕРСА-ТЛ версия V2.08 от 04.03.2006"),
        u("<p>Исх.-/-/(495)/-/P123/P4567/-"),
    };
}

QStringList expectedSettingsTable() {
    const char* rowStart = "<tr><td align=left>";
    const char* cell = "</td><td align=center>";
    QStringList rows = {
        u("<h4 align=center><FONT COLOR=\"#0000FF\">Настройки цикла</FONT></h4>"),
        R"(<table align=center border="1" cellpadding="1" width="100%">)",
        u("<tr><td align=center>Наименование параметра</td><td align=center>Значение "
          "параметра</td>"),
    };
    const std::vector<std::pair<const char*, const char*>> settings = {
        {"Минимальное количество попыток вызова, шт", "5"},
        {"Максимальное количество попыток вызова, шт", "10"},
        {"Норма КПВ для минимального количества попыток вызова, %", "1.00"},
        {"Норма КПВ для максимального количества попыток вызова, %", "2.50"},
        {"Порог чувствительности сигнала ОС,\n\r\n'Занято на исходящей',\n\r\n'Перегрузка на "
         "исходящей', дБм",
         "-43.50"},
        {"Флаг распознавания СКПВ,\n\r\n'Занято на входящей',\n\r\n'Перегрузка на входящей', дБм",
         "вкл."},
        {"Порог чувствительности СКПВ,\n\r\n'Занято на входящей',\n\r\n'Перегрузка на входящей', "
         "дБм",
         "-40.00"},
        {"Порог чувствительности сигнала АО, дБм", "-35.25"},
        {"Порог по длительности сигнала АО, с", "от 0.50 до 3.00"},
        {"Флаг контроля затухания Исх->Вх", "выкл."},
        {"Порог чувствительности сигнала \"Занято, отбой\", дБм", "-40.00"},
        {nullptr, "Параметры вызываемого автоответчика"},
        {"Уровень сигнала АО, дБм", "-10.00"},
        {"Частота сигнала АО, Гц", "2100.00"},
        {"Количество активирующих звонков АО, шт", "1"},
        {"Задержка включения сигнала АО, с", "1.50"},
        {"Задержка отключения после сигнала АО, с", "2.00"},
        {nullptr, "Дополнительные настройки цикла"},
        {"Пауза после окончания попытки вызова, с", "5.00"},
        {"Интервал времени ожидания сигналов, с", "30.00"},
        {"Порог распознавания СКПВ по длительности, с", "1.20"},
        {"Период следования сигналов 'Занято на исходящей',\r\n'Занято на входящей','Занято, "
         "отбой', с",
         "от 0.30 до 0.60"},
        {"Период следования сигналов 'Перегрузка на исходящей',\r\n'Перегрузка на входящей', с",
         "от 0.25 до 0.30"},
        {"Длительность сигнала от исходящей, с", "2.00"},
    };
    for (const auto& [name, value] : settings) {
        if (name == nullptr) {
            rows << u("<tr><td COLSPAN=2 align=center><FONT COLOR=\"#006400\">") + u(value) +
                        "</FONT></td>";
        } else {
            rows << rowStart + u(name) + cell + u(value) + "</td>";
        }
    }
    rows << "</table>";
    return rows;
}

CallResult knownCall() {
    CallResult call;
    call.outcome = ResultCode::Success;
    call.answerLevel = -16.004;
    call.dialToneLevel = -10.02;
    call.startTime = toOleDate(QDateTime(QDate(2026, 12, 8), QTime(10, 0, 5)));
    call.close(toOleDate(QDateTime(QDate(2026, 12, 8), QTime(10, 0, 46))));
    return call;
}

const char kCallLine[] =
    "<tr><td align=center>7</td><td align=left>Вызов состоялся           </td><td "
    "align=center>6.00</td><td align=center>-10.02</td><td align=center>----</td><td "
    "align=center>00:00:41</td><td align=center>10:00:05</td><td align=center>10:00:46</td>";

// Two calls, a success and no dial tone: 50 % lost against a norm of 1 %.
ResultGrid lossyGrid() {
    CycleStatistics stats;
    stats.reset(cycleStart());
    stats.account(ResultCode::Success);
    stats.account(ResultCode::NoDialTone);
    return resultGrid(summaryTexts(stats, knownCycle(), 2));
}

QStringList expectedLossyResultTable() {
    QStringList lines = {
        "</table>",
        u("<h4 align=center><FONT COLOR=\"#0000FF\">Цикл</FONT></h4>"),
        R"(<table align=center border="1" cellpadding="1" width="100%">)",
        u("<tr><td align=left>&nbsp</td><td align=center>шт</td><td align=center >%</td>"),
        u("<tr><td align=left>Попыток вызова              </td><td align=center>2</td><td "
          "align=center >100.00</td>"),
        u("<tr><td align=left>Всего успешных вызовов      </td><td align=center>1</td><td "
          "align=center >50.00</td>"),
        u("<tr><td align=left>Всего потерь вызовов        </td><td align=center>1</td><td "
          "align=center >50.00</td>"),
        u("<tr><td align=left>Норма потерь вызовов        </td><td align=center>&nbsp</td><td "
          "align=center >1.00</td>"),
        u("<tr><td align=left>Отметка соответствия        </td><td align=center>&nbsp</td><td "
          "align=center bgcolor=\"lightpink\">Ненорма</td>"),
        R"(<tr><td align=center bgcolor="gainsboro">&nbsp</td><td align=center bgcolor="gainsboro">&nbsp</td><td align=center bgcolor="gainsboro">&nbsp</td>)",
        u("<tr><td align=left>Нет сигнала ОС              </td><td align=center>1</td><td "
          "align=center >50.00</td>"),
    };
    for (int i = 1; i < kLossCategoryCount; ++i) {
        lines << "<tr><td align=left>" + resultCodeText(kLossOutcomes[i]) +
                     "</td><td align=center>0</td><td align=center >0.00</td>";
    }
    lines << "</table>";
    return lines;
}

QString imageLines(int port, int number, const char* title) {
    return QStringLiteral("<p><align=center>Порт:%1  %2\n").arg(port).arg(u(title)) +
           QStringLiteral(
               "<p><IMG SRC=\".\\ResultComPort%1_Graphic%2.bmp\" align=\"center\"></P>\n")
               .arg(port)
               .arg(number);
}

TEST(ResultReportLines, SettingValuesWithFiveSignificantDigits) {
    EXPECT_EQ(settingRealText(2.5), "2.50");
    EXPECT_EQ(settingRealText(-43.5), "-43.50");
    EXPECT_EQ(settingRealText(2100), "2100.00");
    EXPECT_EQ(settingRealText(1234.567), "1234.60");  // 5 digits first, then 2 decimals
    EXPECT_EQ(settingRealText(0.123456), "0.12");
    EXPECT_EQ(settingRealText(-0.001), "0.00");
    EXPECT_EQ(settingRealText(123456.0), "1.2346E+05");
}

TEST(ResultReportLines, SettingsTableOfACycle) {
    QStringList lines;
    WriteCycleSettingsTable(knownCycle(), lines);
    EXPECT_EQ(lines, expectedSettingsTable());
    EXPECT_EQ(lines.size(), 3 + 24 + 1);
}

TEST(ResultReportLines, VerdictWithinTheNormIsAPlainCell) {
    CycleStatistics stats;
    stats.reset(cycleStart());
    stats.account(ResultCode::Success);
    const QStringList lines = cycleResultLines(resultGrid(summaryTexts(stats, knownCycle(), 1)));
    EXPECT_EQ(lines[3 + 5], u("<tr><td align=left>Отметка соответствия        </td><td "
                              "align=center>&nbsp</td><td align=center >Норма</td>"));
    EXPECT_FALSE(lines.join("").contains("lightpink"));

    // Empty cells anywhere are "&nbsp" cells of the same alignment.
    ResultGrid empty;
    const QStringList blank = cycleResultLines(empty);
    EXPECT_EQ(blank[3],
              "<tr><td align=left>&nbsp</td><td align=center>&nbsp</td><td "
              "align=center>&nbsp</td>");
    EXPECT_EQ(blank.size(), 3 + kResultGridRows + 1);
}

// Its minute of waiting for a mutex is over in a real millisecond.
class ImpatientClock : public ManualClock {
public:
    double scale() const override { return 1e9; }
};

class ResultReportTest : public test::ReportHome {
protected:
    QString working(int port) const { return readCp1251(workingReportPath(port)); }

    ManualClock clock_;
    ImpatientClock impatient_;
};

TEST_F(ResultReportTest, EachSectionAppendsExactlyItsLines) {
    RecordingMessages messages;
    NamedMutex mutex("hMutexNameStr_ZEV7");
    FakeGraphs graphs;
    graphs.open[3] = {{2, u("Порт:3  Затухание")}, {4, u("Порт:3  Уровень СКПВ")}};
    ResultReport report(3, messages, &mutex, clock_, &graphs);
    EXPECT_EQ(report.path(), home_.path() + "/Result/ResultComPort3.html");

    // Each section is in the file, whole, before the next one starts.
    QString expected = joined(expectedHead());
    ASSERT_TRUE(report.writeHead(knownHeader()));
    EXPECT_EQ(working(3), expected);

    ASSERT_TRUE(report.writeCycleHead(2, cycleStart(), knownCycle()));
    expected += u("<p>Цикл №2    08.12.26 09:05 Вх. -/-/(812)/-/T555/T1234/-\n") +
                joined(expectedSettingsTable());
    EXPECT_EQ(working(3), expected);

    ASSERT_TRUE(report.writeCallTableHead());
    expected += joined({
        u("<h4 align=center><FONT COLOR=\"#0000FF\">Вызовы</FONT></h4>"),
        R"(<table align=center border="1" cellpadding="1" width="100%">)",
        u("<tr><td align=center>№</td><td align=center>Вызов</td><td "
          "align=center>Затухание,дБ</td><td align=center>ОС,дБм</td><td "
          "align=center>СКПВ,дБм</td><td align=center>Длител.</td><td "
          "align=center>Начало</td><td align=center>Конец</td>"),
    });
    EXPECT_EQ(working(3), expected);

    ASSERT_TRUE(report.writeCallRow(callRowTexts(7, knownCall(), -10)));
    expected += u(kCallLine) + "\n";
    EXPECT_EQ(working(3), expected);

    const int before = GraphCounter();
    ASSERT_TRUE(report.writeCycleEnd(lossyGrid()));
    expected += joined(expectedLossyResultTable()) + imageLines(3, before + 1, "Затухание") +
                imageLines(3, before + 2, "Уровень СКПВ");
    EXPECT_EQ(working(3), expected);
    EXPECT_TRUE(
        QFile::exists(result(QStringLiteral("ResultComPort3_Graphic%1.bmp").arg(before + 2))));

    // Bytes on disk are Windows-1251, lines end in a bare line feed.
    QFile raw(report.path());
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    EXPECT_EQ(bytes, toCp1251(expected));
    EXPECT_TRUE(bytes.contains("\xc8\xf1\xf5."));  // "Исх."
    EXPECT_EQ(messages.count(), 0);
    EXPECT_TRUE(mutex.lock(clock_));  // released after every section
    mutex.unlock();
}

TEST_F(ResultReportTest, GoesOnWhenTheMutexIsNotFreeInTime) {
    RecordingMessages messages;
    NamedMutex mutex("hMutexNameStr_ZEV7");
    ASSERT_TRUE(mutex.lock(clock_));  // another port hangs with it
    ResultReport report(6, messages, &mutex, impatient_);
    bool ran = false;
    EXPECT_TRUE(report.writeHead(knownHeader(), [&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_EQ(working(6), joined(expectedHead()));
    EXPECT_FALSE(mutex.lock(impatient_)) << "a mutex it never got is not released";
    mutex.unlock();
}

TEST_F(ResultReportTest, GraphNumbersRunOnAcrossPortsAndCycles) {
    RecordingMessages messages;
    FakeGraphs graphs;
    graphs.open[3] = {{0, u("Порт:3  Диаграмма вызовов")}, {2, u("Порт:3  Затухание")}};
    graphs.open[4] = {{3, u("Порт:4  Уровень ОС")}};
    ResultReport port3(3, messages, nullptr, clock_, &graphs);
    ResultReport port4(4, messages, nullptr, clock_, &graphs);
    const ResultGrid grid = lossyGrid();

    const int k = GraphCounter();
    ASSERT_TRUE(port3.writeCycleEnd(grid));
    ASSERT_TRUE(port4.writeCycleEnd(grid));
    ASSERT_TRUE(port3.writeCycleEnd(grid));  // the port's next cycle
    EXPECT_EQ(GraphCounter(), k + 5);
    EXPECT_EQ(graphs.savedPaths,
              QStringList({result(QStringLiteral("ResultComPort3_Graphic%1.bmp").arg(k + 1)),
                           result(QStringLiteral("ResultComPort3_Graphic%1.bmp").arg(k + 2)),
                           result(QStringLiteral("ResultComPort4_Graphic%1.bmp").arg(k + 3)),
                           result(QStringLiteral("ResultComPort3_Graphic%1.bmp").arg(k + 4)),
                           result(QStringLiteral("ResultComPort3_Graphic%1.bmp").arg(k + 5))}));
    EXPECT_TRUE(working(3).endsWith(imageLines(3, k + 4, "Диаграмма вызовов") +
                                    imageLines(3, k + 5, "Затухание")));
    EXPECT_TRUE(working(4).endsWith(imageLines(4, k + 3, "Уровень ОС")));

    // A picture that could not be saved keeps its number but is not shown.
    graphs.failSaves = true;
    const QString before = working(4);
    ASSERT_TRUE(port4.writeCycleEnd(grid));
    EXPECT_EQ(GraphCounter(), k + 6);
    EXPECT_EQ(working(4), before + joined(cycleResultLines(grid)));
}

TEST_F(ResultReportTest, ReportThatCannotBeOpenedIsReportedAndTheScenarioGoesOn) {
    // "Result" is a file here: the report cannot be created.
    ASSERT_TRUE(QDir(home_.path()).rmdir("Result"));
    test::writeFile(home_.path() + "/Result", "not a folder");
    RecordingMessages messages;
    ResultReport report(3, messages, nullptr, clock_);
    EXPECT_FALSE(report.writeHead(knownHeader()));
    EXPECT_FALSE(report.writeCallRow(callRowTexts(1, knownCall(), -10)));
    ASSERT_EQ(messages.count(), 2);
    EXPECT_EQ(messages.entries()[0].caption, u("Ошибка!"));
    EXPECT_EQ(messages.entries()[0].text, u("Порт3. Не могу открыть файл результатов"));

    BatchMessages batch;
    ResultReport batchReport(3, batch, nullptr, clock_);
    EXPECT_FALSE(batchReport.writeCallTableHead());
    EXPECT_EQ(batch.texts(), QStringList{u("Порт3. Не могу открыть файл результатов")});
    EXPECT_EQ(batch.abortCode, -5);
}

TEST_F(ResultReportTest, LinesThatCannotBeWrittenAreReportedOncePerSection) {
    if (!QFile::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full here";
    }
    // Every write to the report fails as on a full disk.
    ASSERT_TRUE(QFile::link("/dev/full", workingReportPath(3)));
    BatchMessages messages;
    ResultReport report(3, messages, nullptr, clock_);
    EXPECT_FALSE(report.writeCycleHead(1, cycleStart(), knownCycle()));  // 29 lines
    EXPECT_FALSE(report.writeCallRow(callRowTexts(1, knownCall(), -10)));
    ASSERT_EQ(messages.count(), 2);
    for (const QString& text : messages.texts()) {
        EXPECT_TRUE(
            text.startsWith(u("Невозможна запись в файл результатов!\n") + workingReportPath(3)))
            << text.toStdString();
    }
    EXPECT_EQ(messages.abortCode, -5);
}

// The disk fills during a run: a section that does not fit is taken back whole, the report
// keeps every earlier section, and the final report is not replaced by a cut copy.
TEST_F(ResultReportTest, AFullDiskKeepsTheReportWhole) {
    RecordingMessages messages;
    ResultReport report(3, messages, nullptr, clock_);
    ASSERT_TRUE(report.writeHead(knownHeader()));
    const QByteArray before = toCp1251(readCp1251(workingReportPath(3)));
    const QString finalPath = home_.path() + "/Result/final.html";
    test::writeFile(finalPath, "earlier report");
    const int section = test::runWithFileSizeLimit(before.size() + 100, [&] {
        RecordingMessages inChild;
        ResultReport full(3, inChild, nullptr, clock_);
        const bool written = full.writeCycleHead(1, cycleStart(), knownCycle());  // 29 lines
        const bool named =
            inChild.count() == 1 && inChild.texts()[0].contains(workingReportPath(3));
        return !written && named ? 0 : 1;
    });
    EXPECT_EQ(section, 0);
    const int finish = test::runWithFileSizeLimit(before.size() / 2, [&] {
        QString error;
        return copyReportWithBitmaps(workingReportPath(3), finalPath, &error) ? 1 : 0;
    });
    EXPECT_EQ(finish, 0);
    EXPECT_EQ(toCp1251(readCp1251(workingReportPath(3))), before);
    EXPECT_EQ(readCp1251(finalPath), u("earlier report"));
}

TEST_F(ResultReportTest, ReadOnlyResultFolder) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "the superuser writes into read-only folders";
    }
    QFile::setPermissions(home_.path() + "/Result", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    RecordingMessages messages;
    ResultReport report(3, messages, nullptr, clock_);
    EXPECT_FALSE(report.writeHead(knownHeader()));
    EXPECT_EQ(messages.texts(), QStringList{u("Порт3. Не могу открыть файл результатов")});
    QFile::setPermissions(home_.path() + "/Result",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(ResultReportTest, OldFilesAreDeletedUpToTheFirstMissingBitmap) {
    for (const char* name :
         {"ResultComPort3.html", "ResultComPort3_Graphic1.bmp", "ResultComPort3_Graphic2.bmp",
          "ResultComPort3_Graphic3.bmp", "ResultComPort3_Graphic5.bmp",
          "ResultComPort4_Graphic1.bmp", "ResultComPort4.html"}) {
        test::writeFile(result(name), "x");
    }
    removeOldResultFiles(3);
    const QStringList left = QDir(home_.path() + "/Result").entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(left, QStringList({"ResultComPort3_Graphic5.bmp", "ResultComPort4.html",
                                 "ResultComPort4_Graphic1.bmp"}));
    removeOldResultFiles(9);  // nothing of its own: nothing happens
    EXPECT_EQ(QDir(home_.path() + "/Result").entryList(QDir::Files).size(), 3);
}

}  // namespace
}  // namespace zev7
