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
    // Reading stops at a word where a port number belongs.
    EXPECT_EQ(parse("CLOSE 2 a.scn a.html end 4 b.scn b.html").items.size(), 1u);
    EXPECT_TRUE(parse("NOCLOSE").items.empty());
    // A port number first is lost as the close word; what follows is no port number.
    const BatchSchedule lost = parse("1 a.scn a.html");
    EXPECT_TRUE(lost.closeAtEnd);
    EXPECT_TRUE(lost.items.empty());
    EXPECT_FALSE(lost.malformed());
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
    EXPECT_EQ(parse(text).items.size(), static_cast<std::size_t>(kMaxBatchItems));
    EXPECT_TRUE(parse("CLOSE 99999999999 a.scn a.html").items.empty());
    const QString name = QStringLiteral("ночь.scn");
    EXPECT_EQ(parse("CLOSE 1 " + name.toUtf8() + " r.html").items[0].scenario, name);
    EXPECT_EQ(parse("CLOSE 1 " + toCp1251(name) + " r.html").items[0].scenario, name);
}

}  // namespace
}  // namespace zev7
