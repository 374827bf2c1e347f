// The time-left estimate fed with progress samples at given wall-clock times, the way
// ffmpeg reports them (about two a second), and the clock texts it is shown with.

#include "tasks/ProgressMath.h"
#include "tasks/TimeLeftEstimate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace tolvex {
namespace {

constexpr int64_t kStepMs = 500;

// Feeds a job of `durationMs` made at `speeds[i]` (output ms per wall ms) during the i-th
// half second, and returns the estimate after each sample.
std::vector<std::optional<int64_t>> Feed(int64_t durationMs, const std::vector<double>& speeds)
{
    TimeLeftEstimate estimate;
    std::vector<std::optional<int64_t>> seen;
    double position = 0.0;
    int64_t elapsed = 700;  // ffmpeg's start-up before its first report
    estimate.addSample(elapsed, 0, durationMs);
    seen.push_back(estimate.remainingMs());
    for (const double speed : speeds) {
        elapsed += kStepMs;
        position = std::min(position + speed * kStepMs, static_cast<double>(durationMs));
        estimate.addSample(elapsed, std::llround(position), durationMs);
        seen.push_back(estimate.remainingMs());
    }
    return seen;
}

TEST(TimeLeftEstimate, ConvergesOnASteadySpeedAndCountsDown)
{
    // A 60 s input made at 2x: 30 s of work.
    const std::vector<std::optional<int64_t>> seen = Feed(60000, std::vector<double>(50, 2.0));
    // Nothing while the start settles (one second) and the rate warms up (one more).
    for (size_t i = 0; i < 4; ++i)
        EXPECT_FALSE(seen[i]) << i;
    ASSERT_TRUE(seen[4]);
    for (size_t i = 4; i < seen.size(); ++i) {
        ASSERT_TRUE(seen[i]) << i;
        // Exact at a steady speed: the input left divided by the speed.
        const int64_t expected = (60000 - static_cast<int64_t>(i) * kStepMs * 2) / 2;
        EXPECT_NEAR(static_cast<double>(*seen[i]), static_cast<double>(expected), 1.0) << i;
        if (i > 4) {
            EXPECT_LT(*seen[i], *seen[i - 1]) << i;
        }
    }
}

TEST(TimeLeftEstimate, AFastStartIsNotTakenForThePace)
{
    // ffmpeg's first second runs at 4x while the encoder fills its queue, then 1.7x: the
    // first figure already reflects 1.7x.
    std::vector<double> speeds(32, 1.7);
    speeds[0] = speeds[1] = 4.0;
    const std::vector<std::optional<int64_t>> seen = Feed(60000, speeds);
    size_t first = 0;
    while (first < seen.size() && !seen[first])
        ++first;
    ASSERT_LT(first, seen.size());
    const double position = 4.0 * 1000 + 1.7 * kStepMs * static_cast<double>(first - 2);
    EXPECT_NEAR(static_cast<double>(*seen[first]), (60000.0 - position) / 1.7, 500.0);
}

TEST(TimeLeftEstimate, StaysSmoothWhenTheSpeedWobbles)
{
    // Alternating half seconds at 1x and 3x (2x on average), then a one-second stall.
    std::vector<double> speeds(62, 2.0);
    for (size_t i = 0; i < 40; ++i)
        speeds[i] = i % 2 == 0 ? 1.0 : 3.0;
    speeds[40] = speeds[41] = 0.0;
    const std::vector<std::optional<int64_t>> seen = Feed(120000, speeds);
    for (size_t i = 5; i < seen.size(); ++i) {
        ASSERT_TRUE(seen[i] && seen[i - 1]) << i;
        const double step = static_cast<double>(*seen[i]) - static_cast<double>(*seen[i - 1]);
        // Half a second passed; the figure moves by little more than that, never by the
        // factor of three the raw speed jumps by. A stall makes it grow, gradually.
        const double bound = i <= 40 ? 0.05 : 0.25;
        EXPECT_LT(std::abs(step), bound * static_cast<double>(*seen[i - 1]) + kStepMs) << i;
    }
    // On average 2x: after 20 s, 80 s of input are left, some 40 s of work.
    ASSERT_TRUE(seen[40]);
    EXPECT_NEAR(static_cast<double>(*seen[40]), 40000.0, 6000.0);
}

TEST(TimeLeftEstimate, NoEstimateWithoutADurationOrProgress)
{
    // Unknown duration (images, streams, lavfi inputs).
    for (const std::optional<int64_t>& value : Feed(0, std::vector<double>(10, 2.0)))
        EXPECT_FALSE(value);
    for (const std::optional<int64_t>& value : Feed(-1, std::vector<double>(10, 2.0)))
        EXPECT_FALSE(value);
    // A job that has not moved yet: no figure at all rather than an endless one.
    for (const std::optional<int64_t>& value : Feed(60000, std::vector<double>(10, 0.0)))
        EXPECT_FALSE(value);
    // Crawling so slowly that the figure would run into days: not shown.
    const std::vector<std::optional<int64_t>> crawl = Feed(int64_t{3600} * 1000 * 1000, {0.001, 0.001, 0.001});
    EXPECT_FALSE(crawl.back());
}

TEST(TimeLeftEstimate, NeverNegativeAndZeroAtTheEnd)
{
    TimeLeftEstimate estimate;
    estimate.addSample(0, -80, 10000);  // ffmpeg's negative positions before the first frame
    for (int64_t t = 500; t <= 2500; t += 500) {
        estimate.addSample(t, t * 3, 10000);
        EXPECT_GE(estimate.remainingMs().value_or(0), 0);
    }
    ASSERT_TRUE(estimate.remainingMs());
    // ffmpeg's last position may pass the input's duration.
    estimate.addSample(3000, 10400, 10000);
    EXPECT_EQ(estimate.remainingMs(), 0);
}

TEST(TimeLeftEstimate, StartsOverWhenTheJobRunsAgain)
{
    TimeLeftEstimate estimate;
    for (int64_t t = 0; t <= 3000; t += kStepMs)
        estimate.addSample(t, t * 4, 60000);  // 4x
    ASSERT_TRUE(estimate.remainingMs());
    // The same task run again: its clock starts over; the old speed is forgotten and the
    // new run warms up first.
    estimate.addSample(400, 0, 60000);
    EXPECT_FALSE(estimate.remainingMs());
    for (int64_t t = 900; t <= 3400; t += kStepMs)
        estimate.addSample(t, (t - 400), 60000);  // 1x
    ASSERT_TRUE(estimate.remainingMs());
    EXPECT_NEAR(static_cast<double>(*estimate.remainingMs()), 57000.0, 10.0);
    // A position that goes back (the next pass reported alone) measures afresh too.
    estimate.addSample(3900, 100, 60000);
    EXPECT_FALSE(estimate.remainingMs());
    // Two samples in the same millisecond do not divide by zero.
    estimate.addSample(3900, 200, 60000);
    EXPECT_FALSE(estimate.remainingMs());
}

TEST(ShortClockText, MinutesAndSecondsWithHoursOnlyWhenThereAreSome)
{
    EXPECT_EQ(ShortClockText(0), "0:00");
    EXPECT_EQ(ShortClockText(42000), "0:42");
    EXPECT_EQ(ShortClockText(62000), "1:02");
    EXPECT_EQ(ShortClockText(3599000), "59:59");
    EXPECT_EQ(ShortClockText(3600000), "1:00:00");
    EXPECT_EQ(ShortClockText(3723000), "1:02:03");
    EXPECT_EQ(ShortClockText(int64_t{100} * 3600000), "100:00:00");
    // Rounded to the nearest second, or up for time left: a running job never shows 0:00.
    EXPECT_EQ(ShortClockText(41499), "0:41");
    EXPECT_EQ(ShortClockText(41500), "0:42");
    EXPECT_EQ(ShortClockText(300, ClockRounding::Up), "0:01");
    EXPECT_EQ(ShortClockText(42000, ClockRounding::Up), "0:42");
    EXPECT_EQ(ShortClockText(-5000), "0:00");
}

}  // namespace
}  // namespace tolvex
