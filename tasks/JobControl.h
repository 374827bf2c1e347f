#pragma once

// The gate between a job's reader and the window: a job posts at most one ending (done or
// failure), and nothing at all once the user stopped it (removed, cleared, program exit).
// Thread use: the reader posts through it; the UI thread stops it. Once stop() returned,
// no further message of the job is posted.

#include <atomic>
#include <mutex>

namespace tolvex {

class JobControl {
public:
    void stop()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_stopped = true;
    }
    bool stopped() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_stopped;
    }
    bool ended() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_ended;
    }

    // Runs `post` unless the job was stopped or has ended; `ending` marks the post as the
    // job's done or failure. Returns whether it posted.
    template <class Post>
    bool postIfLive(Post&& post, bool ending)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_stopped || m_ended)
            return false;
        post();
        if (ending)
            m_ended = true;
        return true;
    }

    void markReaderFinished() { m_readerFinished.store(true, std::memory_order_release); }
    bool readerFinished() const { return m_readerFinished.load(std::memory_order_acquire); }

private:
    mutable std::mutex m_lock;
    bool m_stopped = false;
    bool m_ended = false;
    std::atomic<bool> m_readerFinished{false};
};

}  // namespace tolvex
