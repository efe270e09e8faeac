// "debug.txt" starts afresh with the first line of a program run and grows after that.
#include "core/debug_log.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>
#include <QFile>

namespace zev7 {
namespace {

TEST(DebugLog, FirstWriteOfARunTruncatesLaterOnesAppend) {
    test::TempHome home;
    const QString path = home.filePath(QStringLiteral("debug.txt"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("from the last run\n");
    }

    DebugLog(QStringLiteral("Init SetCommState GetLastError()=31"));
    DebugLog(QStringLiteral("Порт 3"));

    QFile log(path);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), "Init SetCommState GetLastError()=31\n\xcf\xee\xf0\xf2 3\n");
}

}  // namespace
}  // namespace zev7
