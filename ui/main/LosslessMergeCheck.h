#pragma once

// The merge page's check before a lossless join: the factory probes every selected file and
// compares their tracks (PageJobFactory::planLosslessMerge) on a thread of this object's
// own, so the window never waits for a probe; the plan comes back to the UI thread.
//
// Thread use: start, stop and the destructor on the UI thread; the callback runs there.
// The check's thread only calls the factory (thread-safe for this) and posts its answer
// to this object. stop() ends the probes at their next read and joins the thread; an
// answer that has not been delivered by then is dropped.

#include "tasks/PageJobFactory.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace tolvex {

class LosslessMergeCheck : public QObject {
public:
    using Done = std::function<void(PageJobFactory::LosslessMergePlan plan)>;

    LosslessMergeCheck() = default;
    ~LosslessMergeCheck() override;

    // Checks the items and calls `done` with the plan. A check under way is stopped first.
    void start(PageJobFactory& factory, std::vector<TaskId> ids, MergeSettings settings, Done done);
    bool running() const { return m_running; }
    void stop();

private:
    std::atomic<bool> m_abort{false};
    bool m_running = false;
    std::thread m_thread;
};

}  // namespace tolvex
