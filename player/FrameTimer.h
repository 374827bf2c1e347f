#pragma once

#include "player/RenderEventQueue.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace tolvex {

struct PlaybackState;

// The timer thread of a player with a picture: while playing it posts one refresh event to
// the render thread, waits for that display step to work out how long its picture stays up
// (the frame delay, at most 0.1 s) and posts the next refresh when that time is over.
//
// Threads: the owner's UI thread starts and stops it and switches the pending refresh off
// and on (Pause, Resume); the render thread reports each display step; the timer thread runs
// the loop. Everything here is guarded by the timer's own lock or atomic.
class FrameTimer {
public:
    static constexpr double kMaxFrameDelay = 0.1;

    FrameTimer(PlaybackState& playback, RenderEventQueue& events) : m_playback(playback), m_events(events) {}
    ~FrameTimer();
    FrameTimer(const FrameTimer&) = delete;
    FrameTimer& operator=(const FrameTimer&) = delete;

    void start();
    // Wakes and joins the timer thread; the quit signal must be set first.
    void stop();

    // A refresh is due (on) or held back (off, while paused).
    void setFramePending(bool pending);
    // The display step of the last refresh is done: its picture stays up `delay` seconds.
    void finishDisplayStep(double delay);
    // The delay the last display step worked out (clamped once the timer has used it).
    double frameDelay() const { return m_frameDelay.load(); }

private:
    void run();
    bool quitting() const;

    PlaybackState& m_playback;
    RenderEventQueue& m_events;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::atomic<bool> m_framePending{true};
    std::atomic<double> m_frameDelay{0.0};
    uint64_t m_displaySteps = 0;  // guarded by m_mutex
    std::thread m_thread;
};

}  // namespace tolvex
