#pragma once

// The limits every job of one engine runs under. The silence limit is how long a running
// ffmpeg may print nothing before its job is given up (a real one prints its statistics
// about twice a second; a tiny limit lets a test provoke the case).
// Thread use: set on the UI thread, read by the page workers at each launch.

#include <atomic>
#include <chrono>

namespace tolvex {

class JobLimits {
public:
    void setSilenceLimit(std::chrono::milliseconds limit)
    {
        m_silenceMs.store(limit.count(), std::memory_order_relaxed);
    }
    std::chrono::milliseconds silenceLimit() const
    {
        return std::chrono::milliseconds(m_silenceMs.load(std::memory_order_relaxed));
    }

private:
    std::atomic<std::chrono::milliseconds::rep> m_silenceMs{120000};
};

}  // namespace tolvex
