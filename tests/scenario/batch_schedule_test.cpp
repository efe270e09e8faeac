#include "scenario/batch_schedule.h"
#include "core/strings.h"
#include "core/text_codec.h"

#include <gtest/gtest.h>

namespace zev7 {
namespace {

BatchSchedule parse(const QByteArray& text) {
    return parseBatchSchedule(text);
}

TEST(BatchSchedule, ItemsSpreadOverLinesAndTheFirstWordIsAlwaysTheCloseWord) {
    const BatchSchedule s =
        parse("noClose\r\n1 night1.scn\tnight1.html\n\n 3\nnight3.scn n3.html\n");
    EXPECT_FALSE(s.closeAtEnd);
    ASSERT_EQ(s.items.size(), 2u);
    EXPECT_EQ(s.items[1].port, 3);
    EXPECT_EQ(s.items[1].scenario, QStringLiteral("night3.scn"));
    EXPECT_EQ(s.items[1].report, QStringLiteral("n3.html"));
    // A port number first is lost as the close word; what follows is no port number.
    const BatchSchedule lost = parse("1 a.scn a.html");
    EXPECT_TRUE(lost.closeAtEnd);
    EXPECT_EQ(lost.problem, txt(str::BatchItemBadPort).arg(1).arg(QStringLiteral("a.scn")));
}

// Schedules that used to run as a batch of nothing, reported "Успешно завершен.".
TEST(BatchSchedule, AScheduleThatWouldRunNothingIsMalformed) {
    EXPECT_EQ(parse("NOCLOSE").problem, txt(str::BatchNoItems));
    EXPECT_EQ(parse("CLOSE\r\n").problem, txt(str::BatchNoItems));
    EXPECT_EQ(parse("CLOSE l p1.scn r1.html").problem,
              txt(str::BatchItemBadPort).arg(1).arg(QStringLiteral("l")));
    EXPECT_EQ(parse("CLOSE COM1 p1.scn r1.html").problem,
              txt(str::BatchItemBadPort).arg(1).arg(QStringLiteral("COM1")));
    for (const char* port : {"99999999999", "0", "65", "-1"}) {
        EXPECT_TRUE(parse(QByteArray("CLOSE ") + port + " p1.scn r1.html").malformed()) << port;
    }
    // Nor does a damaged item after good ones end the reading quietly.
    EXPECT_EQ(parse("CLOSE 2 a.scn a.html end 4 b.scn b.html").problem,
              txt(str::BatchItemBadPort).arg(2).arg(QStringLiteral("end")));
    QByteArray noise;
    quint32 x = 2463534242u;
    for (int i = 0; i < 100 * 1024; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        noise += static_cast<char>(x & 0xff);
    }
    EXPECT_TRUE(parse(noise).malformed());
}

TEST(BatchSchedule, AScheduleSavedAsUtf16IsReadByItsByteOrderMark) {
    const QString text = QStringLiteral("CLOSE\r\n1 ночь.scn r1.html\r\n");
    QByteArray le("\xff\xfe");
    le.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    const BatchSchedule s = parse(le);
    EXPECT_FALSE(s.malformed()) << s.problem.toStdString();
    ASSERT_EQ(s.items.size(), 1u);
    EXPECT_EQ(s.items[0].port, 1);
    EXPECT_EQ(s.items[0].scenario, QStringLiteral("ночь.scn"));
    EXPECT_EQ(parse("\xef\xbb\xbf" + text.toUtf8()).items.size(), 1u);
}

TEST(BatchSchedule, MissingWordsAreMalformed) {
    EXPECT_EQ(parse(" \r\n").problem, txt(str::BatchNoCloseWord));
    EXPECT_EQ(parse("CLOSE 1 a.scn a.html 3").problem, txt(str::BatchItemNoScenario).arg(2).arg(3));
    // An item without its report name is counted all the same.
    const BatchSchedule noReport = parse("CLOSE 1 a.scn");
    EXPECT_EQ(noReport.problem, txt(str::BatchItemNoReport).arg(1).arg(1));
    EXPECT_EQ(noReport.items.size(), 1u);
}

TEST(BatchSchedule, NamesStayInTheirFoldersAndAPortRunsOneScenario) {
    EXPECT_EQ(parse("X 1 ../a.scn a.html").problem,
              txt(str::BatchNameOutside)
                  .arg(1)
                  .arg(1)
                  .arg(QStringLiteral("../a.scn"), QStringLiteral("Scenar")));
    EXPECT_TRUE(parse("X 1 a.scn ..\\..\\win.ini").malformed());
    EXPECT_TRUE(parse("X 1 a.scn /etc/passwd").malformed());
    EXPECT_TRUE(parse("X 1 a.scn C:report.html").malformed());
    EXPECT_FALSE(parse("X 1 night/a.scn night/a.html").malformed());
    EXPECT_TRUE(parse("X 1 " + QByteArray(256, 'a') + " r.html").malformed());
    EXPECT_EQ(parse("X 1 a.scn a.html 1 b.scn b.html").problem,
              txt(str::BatchDuplicatePort).arg(2).arg(1));
}

TEST(BatchSchedule, SixtyFourItemsAtMostAndNamesInEitherEncoding) {
    QByteArray text = "CLOSE";
    for (int port = 1; port <= 65; ++port) {
        text += " " + QByteArray::number(port) + " s.scn r.html";
    }
    EXPECT_EQ(parse(text).problem, txt(str::BatchTooManyItems).arg(kMaxBatchItems));
    text.truncate(text.lastIndexOf(" 65 "));
    EXPECT_EQ(parse(text).items.size(), static_cast<std::size_t>(kMaxBatchItems));
    const QString name = QStringLiteral("ночь.scn");
    EXPECT_EQ(parse("CLOSE 1 " + name.toUtf8() + " r.html").items[0].scenario, name);
    EXPECT_EQ(parse("CLOSE 1 " + toCp1251(name) + " r.html").items[0].scenario, name);
}

}  // namespace
}  // namespace zev7
