#include "player/FrameTimer.h"

#include "app/ConsoleLog.h"
#include "player/PlaybackState.h"

#include <chrono>

namespace tolvex {

namespace {

// The longest the timer thread waits for the display step of the refresh it sent.
constexpr double kDisplayStepWait = 0.2;

}  // namespace

FrameTimer::~FrameTimer()
{
    if (m_thread.joinable()) {
        m_playback.quit.set();
        stop();
    }
}

void FrameTimer::start()
{
    m_thread = std::thread(&FrameTimer::run, this);
}

void FrameTimer::stop()
{
    {
        // Taken so that a timer thread that has just found no quit request is already
        // waiting when the wake-up comes.
        std::lock_guard lock(m_mutex);
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void FrameTimer::setFramePending(bool pending)
{
    {
        std::lock_guard lock(m_mutex);
        m_framePending = pending;
    }
    if (pending)
        m_wake.notify_all();
}

void FrameTimer::finishDisplayStep(double delay)
{
    {
        std::lock_guard lock(m_mutex);
        m_frameDelay = delay;
        m_displaySteps++;
    }
    m_wake.notify_all();
}

bool FrameTimer::quitting() const
{
    return m_playback.quit.isSet();
}

void FrameTimer::run()
{
    std::unique_lock lock(m_mutex);
    while (!quitting()) {
        m_wake.wait(lock, [this] { return quitting() || m_framePending; });
        if (quitting())
            break;
        m_framePending = false;
        if (m_playback.paused)
            continue;
        const uint64_t step = m_displaySteps;
        const double pushed = PlaybackClock::now();
        m_events.post(RenderEventQueue::Refresh);
        // The wait before the next refresh is the delay the display step works out for the
        // frame it is showing now; waiting for that step keeps the pacing one frame behind
        // the clocks at most, so a correction is not applied twice and the sync settles
        // instead of swinging.
        m_wake.wait_for(lock, std::chrono::duration<double>(kDisplayStepWait),
                        [this, step] { return quitting() || m_displaySteps != step; });
        double delay = m_frameDelay;
        if (delay > 0) {
            if (delay > kMaxFrameDelay) {
                delay = kMaxFrameDelay;
                m_frameDelay = delay;
            }
            const double remaining = delay - (PlaybackClock::now() - pushed);
            if (remaining > 0)
                m_wake.wait_for(lock, std::chrono::duration<double>(remaining), [this] { return quitting(); });
        }
    }
    lock.unlock();
    ConsoleLog("init_thread exit....\n");
}

}  // namespace tolvex
