#pragma once

// The gate between a job's reader and the window: a job posts at most one ending (done or
// failure), and nothing at all once the user stopped it (removed, cleared, program exit).
//
// Keep or discard is decided under the same lock as the stop, so a stop either comes first
// (the files are discarded and nothing is posted) or finds the ending decided. A done that
// was posted but not yet taken by the engine is void once the job is stopped (the engine
// drops a report of a job it no longer runs): that stop withdraws the kept output, so a
// stopped job never leaves a whole file that no item reports as done.
//
// Thread use: the reader posts progress and its ending through it; the UI thread (the
// engine) stops it and takes its ending. Once stop() returned, no further message of the
// job is posted.

#include "tasks/JobOutputs.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace tolvex {

class JobControl {
public:
    // Closes the gate. A done the engine has not taken yet is void from now on: its output
    // is deleted.
    void stop()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_stopped = true;
        if (m_ending == Ending::DonePosted && m_outputs)
            m_outputs->withdraw();
    }
    bool stopped() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_stopped;
    }

    // Runs `post` (a progress message) unless the job was stopped or has ended. Returns
    // whether it posted.
    template <class Post>
    bool postIfLive(Post&& post)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_stopped || m_ending != Ending::None)
            return false;
        post();
        return true;
    }

    // The job's one ending. A stopped job's files are discarded and nothing is posted;
    // otherwise the files are kept (done) or discarded (failed) and `post` reports it.
    // `taken`: nobody can void the report (it goes straight to the front end), so a later
    // stop keeps the output. Returns whether it posted.
    template <class Post>
    bool end(bool done, const std::shared_ptr<JobOutputs>& outputs, Post&& post, bool taken)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_stopped || m_ending != Ending::None) {
            outputs->discard();
            return false;
        }
        if (done)
            outputs->keep();
        else
            outputs->discard();
        post();
        m_outputs = outputs;
        m_ending = done && !taken ? Ending::DonePosted : Ending::Taken;
        return true;
    }

    // The engine took the job's ending: a later stop (the queue moving on) leaves its
    // output where it is.
    void take()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_ending == Ending::DonePosted)
            m_ending = Ending::Taken;
    }

    void markReaderFinished() { m_readerFinished.store(true, std::memory_order_release); }
    bool readerFinished() const { return m_readerFinished.load(std::memory_order_acquire); }

private:
    enum class Ending { None, DonePosted, Taken };

    mutable std::mutex m_lock;
    bool m_stopped = false;
    Ending m_ending = Ending::None;
    std::shared_ptr<JobOutputs> m_outputs;  // the job's files, once its ending is decided
    std::atomic<bool> m_readerFinished{false};
};

}  // namespace tolvex
