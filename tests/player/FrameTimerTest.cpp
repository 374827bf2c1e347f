// The pacing of the pictures without a display: the timer thread's refresh events against a
// stand-in render thread, and the rule that corrects a picture's time on screen against the
// master clock.

#include "HeadlessMedia.h"

#include "player/FrameTimer.h"
#include "player/PlaybackState.h"
#include "player/VideoRefresh.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

namespace tolvex {
namespace {

using test::PollUntil;

// A timer with a render thread that answers each refresh with a display step of `delay`.
class FrameTimerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_timer.start();
        m_render = std::thread([this] {
            RenderEventQueue::Event event;
            while (!m_playback.quit.isSet()) {
                if (!m_events.wait(event))
                    continue;
                m_refreshes++;
                m_timer.setFramePending(true);
                m_timer.finishDisplayStep(m_delay);
            }
        });
    }
    void TearDown() override
    {
        m_playback.quit.set();
        m_timer.stop();
        m_events.interrupt();
        m_render.join();
    }

    PlaybackState m_playback;
    RenderEventQueue m_events;
    FrameTimer m_timer{m_playback, m_events};
    std::thread m_render;
    std::atomic<int> m_refreshes{0};
    std::atomic<double> m_delay{0.02};
};

TEST_F(FrameTimerTest, PausedNoRefreshComesAndResumedTheyGoOn)
{
    ASSERT_TRUE(PollUntil([&] { return m_refreshes.load() >= 5; }, 3000));

    // As Pause does it.
    m_playback.paused = true;
    m_timer.setFramePending(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const int held = m_refreshes;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(m_refreshes.load(), held);

    m_playback.paused = false;
    m_timer.setFramePending(true);
    ASSERT_TRUE(PollUntil([&] { return m_refreshes.load() >= held + 5; }, 3000));
}

TEST_F(FrameTimerTest, APictureStaysUpAtMostATenthOfASecond)
{
    ASSERT_TRUE(PollUntil([&] { return m_refreshes.load() >= 2; }, 3000));
    // A gap of five seconds between two time stamps must not freeze the picture.
    m_delay = 5.0;
    const int before = m_refreshes;
    ASSERT_TRUE(PollUntil([&] { return m_refreshes.load() >= before + 5; }, 2000));
    EXPECT_DOUBLE_EQ(m_timer.frameDelay(), FrameTimer::kMaxFrameDelay);
}

TEST_F(FrameTimerTest, StopEndsAPausedTimer)
{
    ASSERT_TRUE(PollUntil([&] { return m_refreshes.load() >= 2; }, 3000));
    // Paused, the timer waits for a pending refresh that never comes: stop must wake it.
    m_playback.paused = true;
    m_timer.setFramePending(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    const auto start = std::chrono::steady_clock::now();
    m_playback.quit.set();
    m_timer.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

TEST(FrameDelayCorrection, FollowsTheMasterClock)
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    // No master clock yet, or one too far off to be trusted: the stream's own delay.
    EXPECT_DOUBLE_EQ(VideoRefresh::correctedDelay(0.04, kNaN), 0.04);
    EXPECT_DOUBLE_EQ(VideoRefresh::correctedDelay(0.04, -4000.0), 0.04);
    // Within the threshold (the delay itself, between 0.04 and 0.1): no correction.
    EXPECT_DOUBLE_EQ(VideoRefresh::correctedDelay(0.04, 0.039), 0.04);
    EXPECT_DOUBLE_EQ(VideoRefresh::correctedDelay(0.04, -0.039), 0.04);
    EXPECT_DOUBLE_EQ(VideoRefresh::correctedDelay(0.2, -0.09), 0.2);
    // Late: the picture goes sooner, at once when a whole delay behind.
    EXPECT_NEAR(VideoRefresh::correctedDelay(0.2, -0.15), 0.05, 1e-12);
    EXPECT_DOUBLE_EQ(VideoRefresh::correctedDelay(0.04, -0.5), 0.0);
    // Early: a short picture stays twice as long, a long one until the clock catches up.
    EXPECT_DOUBLE_EQ(VideoRefresh::correctedDelay(0.04, 0.05), 0.08);
    EXPECT_NEAR(VideoRefresh::correctedDelay(0.2, 0.3), 0.5, 1e-12);
}

}  // namespace
}  // namespace tolvex
