// The page's percentage arithmetic, and the fixed texts of the pages.

#include "tasks/PageTexts.h"
#include "tasks/ProgressMath.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace tolvex {
namespace {

TEST(ProgressPercent, SinglePrecisionTruncatedAndHeldToTheBar)
{
    EXPECT_EQ(ProgressPercent(31250, 62500), 50);
    EXPECT_EQ(ProgressPercent(999, 1000), 99);  // truncation, not rounding
    EXPECT_EQ(ProgressPercent(1000, 1000), 100);
    EXPECT_EQ(ProgressPercent(1020, 1000), 100);  // ffmpeg's last position passes the input's end
    EXPECT_EQ(ProgressPercent(1500, 1000), 100);
    EXPECT_EQ(ProgressPercent(-20, 1000), 0);  // negative positions before the first frame
    // Single precision: 2^24 + 1 is not representable and reads as 2^24.
    EXPECT_EQ(ProgressPercent(16777217, 16777216), 100);
}

TEST(ProgressPercent, ZeroOrNegativeDurationShowsZero)
{
    EXPECT_EQ(ProgressPercent(0, 0), 0);
    EXPECT_EQ(ProgressPercent(5000, 0), 0);
    EXPECT_EQ(ProgressPercent(5000, -1), 0);
    EXPECT_EQ(ProgressPercent(INT_MAX, 1), 100);  // huge ratios stay defined
    EXPECT_EQ(ProgressPercent(INT_MIN, 1), 0);
}

TEST(MergeProgressPercent, UsesTheTotalDurationInSeconds)
{
    EXPECT_EQ(MergeProgressPercent(30000, 60.0), 50);
    EXPECT_EQ(MergeProgressPercent(59999, 60.0), 99);
    EXPECT_EQ(MergeProgressPercent(90000, 60.0), 100);
    EXPECT_EQ(MergeProgressPercent(-500, 60.0), 0);
    EXPECT_EQ(MergeProgressPercent(1000, 0.0), 0);
    EXPECT_EQ(MergeProgressPercent(1000, -3.0), 0);
}

TEST(PageTexts, QueueLinesAndAppPathPages)
{
    for (const PageKind page : kQueuedPages)
        EXPECT_NE(std::string(QueueLogLinesFor(page).idleLine).find("task_id: %d\n"), std::string::npos);
    EXPECT_STREQ(QueueLogLinesFor(PageKind::Gif).busyLine, "gifBusyTaskList task_id: %d\n");
    EXPECT_FALSE(LogsAppPath(PageKind::Convert));
    EXPECT_TRUE(LogsAppPath(PageKind::Music));
}

TEST(PassProgress, EachPassFillsItsShareOfTheBar)
{
    // A single pass is reported as it is, past-the-end positions included.
    EXPECT_EQ(PassProgress(0, 1, 1500, 1000).positionMs, 1500);
    EXPECT_EQ(PassProgress(0, 1, 1500, 1000).durationMs, 1000);

    const auto percent = [](size_t pass, size_t passes, int32_t position, int32_t duration) {
        const JobProgress p = PassProgress(pass, passes, position, duration);
        return ProgressPercent(p.positionMs, p.durationMs);
    };
    EXPECT_EQ(percent(0, 2, 0, 10000), 0);
    EXPECT_EQ(percent(0, 2, 5000, 10000), 25);
    EXPECT_EQ(percent(0, 2, 10000, 10000), 50);
    EXPECT_EQ(percent(1, 2, 0, 10000), 50);
    EXPECT_EQ(percent(1, 2, 10000, 10000), 100);
    EXPECT_EQ(percent(2, 3, 5000, 10000), 83);
    // A pass's position stays inside its share: past the end or negative.
    EXPECT_EQ(percent(0, 2, 15000, 10000), 50);
    EXPECT_EQ(percent(1, 2, -300, 10000), 50);
    // No duration known: nothing to show, whatever the pass.
    EXPECT_EQ(percent(1, 2, 5000, 0), 0);
    // Long inputs do not overflow.
    const JobProgress big = PassProgress(1, 2, INT32_MAX / 2, INT32_MAX / 2);
    EXPECT_GT(big.durationMs, 0);
    EXPECT_EQ(ProgressPercent(big.positionMs, big.durationMs), 100);
}

}  // namespace
}  // namespace tolvex
