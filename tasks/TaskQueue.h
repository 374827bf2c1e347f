#pragma once

// The queue of one page: the tasks waiting in start order (`idleTaskList`, whose front is
// running or next), the running task (`busyTaskList`, at most one), and the running job of
// each task (its ffmpeg process and reader). One lock guards all of it; the page's worker
// sleeps on the wake condition.
//
// Thread use: the UI thread (through TaskEngine) starts, removes, completes, fails and
// clears; the page's worker waits for the next task and claims it. Every method takes the
// lock itself; none calls out of the engine while holding it, except the launch callback of
// claimFront, which only spawns the process.

#include "tasks/RunningJob.h"
#include "tasks/TaskTypes.h"

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace tolvex {

struct TaskEntry {
    TaskId task_id = 0;
    bool operator==(const TaskEntry& other) const { return task_id == other.task_id; }
};

class TaskQueue {
public:
    explicit TaskQueue(PageKind page) : m_page(page) {}
    TaskQueue(const TaskQueue&) = delete;
    TaskQueue& operator=(const TaskQueue&) = delete;

    PageKind page() const { return m_page; }

    // --- UI thread ---

    // Appends each id that is not queued yet, in the given order, and wakes the worker.
    // Returns the number of queued tasks.
    size_t enqueue(const std::vector<TaskId>& ids);

    struct Removal {
        std::unique_ptr<RunningJob> job;  // the task's job, when it had one
        size_t idleCount = 0;             // after the removal
        size_t busyCount = 0;
    };
    // Takes the task out of both lists and its job out of the job table; wakes the worker.
    Removal remove(TaskId id);

    // Empties both lists and the job table; returns the jobs. The worker is not woken: with
    // nothing queued it has nothing to do.
    std::vector<std::unique_ptr<RunningJob>> clear();
    // Takes every job out of the table, leaving the lists alone.
    std::vector<std::unique_ptr<RunningJob>> takeJobs();

    // Ends the worker's waiting for good (the engine is stopping).
    void shutdown();

    std::vector<TaskId> idleTaskIds() const;
    std::vector<TaskId> busyTaskIds() const;
    size_t idleCount() const;
    // The pid of the running job of `id`, when it has one.
    std::optional<pid_t> processOf(TaskId id) const;
    // The serial of the job recorded for `id`, when it has one.
    std::optional<uint64_t> jobSerialOf(TaskId id) const;
    // `id` is the running task (with or without a job).
    bool isRunning(TaskId id) const;

    // --- worker thread ---

    // Blocks until a task may start (nothing running, something queued) and returns the
    // front id; nullopt once the queue was shut down.
    std::optional<TaskId> waitForNext();

    enum class Claim {
        Stale,    // the front changed while the job was planned (removed, cleared): plan again
        Claimed,  // `id` is now the running task
        Shutdown,
    };
    // If `id` is still the front and nothing runs, makes it the running task: calls `launch`
    // (when given) under the lock and records the job it returns. A task whose launch gave
    // no job is still marked running, so the worker waits for its failure to be handled.
    Claim claimFront(TaskId id, const std::function<std::unique_ptr<RunningJob>()>& launch);

private:
    const PageKind m_page;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::vector<TaskEntry> m_idleTaskList;
    std::vector<TaskEntry> m_busyTaskList;
    std::map<TaskId, std::unique_ptr<RunningJob>> m_jobs;
    bool m_shutdown = false;
};

}  // namespace tolvex
