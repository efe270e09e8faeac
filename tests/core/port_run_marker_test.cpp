// The marker of a running port, as zev7-run holds it and the database upkeep looks at it.
#include "core/port_run_marker.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QSysInfo>

namespace zev7 {
namespace {

struct PortRunMarkers : ::testing::Test {
    test::TempHome home{test::TempHome::WithFolders};
    void SetUp() override { ASSERT_TRUE(home.isValid()); }
};

TEST_F(PortRunMarkers, HeldWhileThePortRunsAndGoneAfter) {
    EXPECT_TRUE(PortRunMarker::runningPorts().isEmpty());
    {
        PortRunMarker three(3);
        PortRunMarker twelve(12);
        ASSERT_TRUE(three.acquire());
        ASSERT_TRUE(twelve.acquire());
        EXPECT_EQ(PortRunMarker::runningPorts(), (QList<int>{3, 12}));

        // A second holder of the same port is refused, and looking does not disturb it.
        PortRunMarker again(3);
        EXPECT_FALSE(again.acquire());
        twelve.release();
        EXPECT_EQ(PortRunMarker::runningPorts(), QList<int>{3});
        EXPECT_TRUE(three.held());
    }
    EXPECT_TRUE(PortRunMarker::runningPorts().isEmpty());
    EXPECT_FALSE(QFile::exists(PortRunMarker::path(3)));
}

// A marker left by a process that died (a power cut, a crash) does not count and is taken over.
TEST_F(PortRunMarkers, StaleMarkerOfADeadProcessIsTakenOver) {
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());

    const auto leaveStaleMarker = [pid] {
        QFile stale(PortRunMarker::path(5));
        return stale.open(QIODevice::WriteOnly) && stale.write(QStringLiteral("%1\nzev7-run\n%2\n")
                                                                   .arg(pid)
                                                                   .arg(QSysInfo::machineHostName())
                                                                   .toUtf8()) > 0;
    };
    ASSERT_TRUE(leaveStaleMarker());

    PortRunMarker five(5);
    EXPECT_TRUE(five.acquire());
    five.release();

    ASSERT_TRUE(leaveStaleMarker());
    EXPECT_TRUE(PortRunMarker::runningPorts().isEmpty());
    EXPECT_FALSE(QFile::exists(PortRunMarker::path(5)));
}

}  // namespace
}  // namespace zev7
