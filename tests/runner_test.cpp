// The runner and its time-left estimate, on a fake clock.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>
#include <stdexcept>
#include <thread>

#include "tests/fake_platform.h"
#include "ui/runner.h"

namespace {

TEST(TimeLeft, HiddenWhileUnknownAndNeverZeroWhileWorkRemains) {
    TimeLeftEstimator e;
    EXPECT_EQ(e.text(), QString());   // no samples
    e.add(0, -1);
    e.add(1000, -1);
    EXPECT_EQ(e.text(), QString());   // no fraction known
    // One percent a second: at 10 % after 10 s, 90 s remain.
    for (int s = 0; s <= 10; ++s) e.add(s * 1000, s / 100.0);
    EXPECT_EQ(e.text(), QStringLiteral("1:30"));
    // Close to the end the estimate is rounded up, never 0:00.
    TimeLeftEstimator end;
    for (int t = 0; t <= 40; ++t) end.add(t * 250, 0.99 + t * 0.00024);
    EXPECT_EQ(end.text(), QStringLiteral("0:01"));
    end.add(10250, 1.0);
    EXPECT_EQ(end.text(), QString());   // done: nothing left to show
}

TEST(TimeLeft, FollowsTheRecentRate) {
    TimeLeftEstimator e;
    // Slow for a minute (0.1 % a second), then ten times faster for 20 s.
    qint64 t = 0;
    double f = 0;
    for (; t < 60000; t += 250) e.add(t, f += 0.00025);
    for (qint64 end = t + 20000; t < end; t += 250) e.add(t, f += 0.0025);
    // About 16 s of history at the fast rate (1 % a second): the rest at that rate.
    const int expected = (int)std::ceil((1 - f) / 0.01);
    const QString text = e.text();
    ASSERT_FALSE(text.isEmpty());
    const QStringList parts = text.split(QLatin1Char(':'));
    EXPECT_NEAR(parts[0].toInt() * 60 + parts[1].toInt(), expected, 2) << text.toStdString();
}

class RunnerTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FakePlatform platform{dir.filePath(QStringLiteral("Setup.reg"))};
    Runner runner{platform};
    QWidget owner;
};

TEST_F(RunnerTest, TheWorksFailureReachesTheCallerAfterTheWorkerEnded) {
    std::atomic<bool> ended{false};
    EXPECT_THROW(runner.run(&owner, QStringLiteral("Failing"), [&](Progress&) {
        ended = true;
        throw std::runtime_error("disk full");
    }), std::runtime_error);
    EXPECT_TRUE(ended);
    EXPECT_FALSE(runner.busy());
    // The runner is usable again afterwards.
    EXPECT_TRUE(runner.run(&owner, QStringLiteral("Fine"), [](Progress&) {}));
}

TEST_F(RunnerTest, ShowsPhasePercentAndTimeLeftFromTheClock) {
    platform.manualClock = true;
    bool busyInside = false;
    const bool completed = runner.run(&owner, QStringLiteral("Counting"), [&](Progress& p) {
        busyInside = runner.busy();
        for (int i = 0; i <= 20; ++i) {
            p.report(i / 40.0, "Step " + std::to_string(i));
            platform.clockMs += 1000;   // one step a second
            // Let the user-interface thread tick twice, so it sees this step, however busy the machine.
            const int seen = platform.clockReads;
            for (int w = 0; w < 500 && platform.clockReads < seen + 2; ++w) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    EXPECT_TRUE(completed);
    EXPECT_TRUE(busyInside);
    ASSERT_FALSE(platform.progressUpdates.isEmpty());
    // Late in the run, half done at 2.5 % a second: 20 s left, with the phase and the percent.
    bool sawEstimate = false;
    for (const QString& u : platform.progressUpdates) {
        const QStringList f = u.split(QLatin1Char('|'));
        ASSERT_EQ(f.size(), 3);
        EXPECT_TRUE(f[0].startsWith(QStringLiteral("Step ")) || f[0].isEmpty()) << u.toStdString();
        if (f[0] == QStringLiteral("Step 20")) {
            EXPECT_EQ(f[1], QStringLiteral("50"));
            // (a tick may fall between a report and the clock's step: 19 to 21 s)
            EXPECT_TRUE(f[2] == "0:19" || f[2] == "0:20" || f[2] == "0:21") << u.toStdString();
            sawEstimate = true;
        }
    }
    EXPECT_TRUE(sawEstimate) << platform.progressUpdates.join(QLatin1Char(' ')).toStdString();
}

// Work that reports steadily shows the time left from the first moment the dialog shows.
TEST_F(RunnerTest, TheTimeLeftIsThereWhenTheDialogAppears) {
    platform.manualClock = true;
    platform.progressDelay = 2000;
    const bool completed = runner.run(&owner, QStringLiteral("Searching"), [&](Progress& p) {
        for (int i = 0; i <= 30; ++i) {
            p.report(i / 100.0, "Step");
            platform.clockMs += 100;   // one percent every 100 ms
            const int seen = platform.clockReads;
            for (int w = 0; w < 500 && platform.clockReads < seen + 2; ++w) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    EXPECT_TRUE(completed);
    ASSERT_FALSE(platform.progressUpdates.isEmpty());
    const QStringList first = platform.progressUpdates.first().split(QLatin1Char('|'));
    ASSERT_EQ(first.size(), 3);
    EXPECT_FALSE(first[2].isEmpty()) << platform.progressUpdates.first().toStdString();   // about 0:08 left at 20 %
}

}  // namespace
