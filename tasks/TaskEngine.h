#pragma once

// The task engine: the eight page queues with their workers, the merge job, and the
// operations of the window on them (start, remove, complete, fail, clear, stop all). The
// desktop window and tolvex-cli drive the same engine; it knows no widget and reaches its
// owner only through TaskHost (messages to its receiver, the start button's busy state).
//
// Thread use: create, call and destroy on the UI thread (the thread of the receiver). The
// workers and readers post to the receiver; a worker that drops a task posts to the engine.
// Stopped jobs are kept until their reader has finished, so no reader outlives the engine.

#include "tasks/JobFactory.h"
#include "tasks/JobLimits.h"
#include "tasks/PageWorker.h"
#include "tasks/RunningJob.h"
#include "tasks/TaskHost.h"
#include "tasks/TaskQueue.h"

#include <QObject>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace tolvex {

class TaskEngine : public QObject {
public:
    TaskEngine(TaskHost& host, JobFactory& factory, QObject* parent = nullptr);
    ~TaskEngine() override;

    // Starts the page workers in order (convert, split, compress, rotate, gif, extract, mute,
    // music); when one cannot start, the later ones are not started. Returns how many run.
    int startWorkers();
    int workerCount() const;

    // Queues the page's items (their ids in list order; ids already queued are skipped),
    // marks the page busy and wakes its worker. False when `ids` is empty (nothing to start).
    bool StartPage(PageKind page, const std::vector<TaskId>& ids);
    // Kills the task's job if it runs, takes it off the queue, and frees the page when its
    // queue is empty. Removing a merge item touches no job.
    void RemoveTask(PageKind page, TaskId taskId);
    // The queue side of a job's completion; for the merge page, the end of the merge job.
    void CompleteTask(PageKind page, TaskId taskId);
    // The queue side of a job's failure (every page, merge included).
    void FailTask(PageKind page, TaskId taskId);
    // Empties the page's queue, kills its jobs and frees the page.
    void ClearPage(PageKind page);
    // Kills every job of every page and the merge job. Workers keep waiting.
    void StopAllJobs();

    // Launches the merge job (task id -1, page kind 2) directly and marks the merge page busy.
    // A launch that fails is reported as a failure message, like any job.
    void StartMerge(const CommandLine& command);

    // How long a running ffmpeg may print nothing before its job fails (120 s unless set).
    void setSilenceLimit(std::chrono::milliseconds limit) { m_limits.setSilenceLimit(limit); }

    bool isPageBusy(PageKind page) const;
    std::vector<TaskId> queuedTasks(PageKind page) const;
    std::optional<TaskId> runningTask(PageKind page) const;
    std::optional<pid_t> processOf(PageKind page, TaskId taskId) const;
    // Jobs stopped but whose reader has not finished yet.
    size_t retiredJobCount() const { return m_retired.size(); }

protected:
    bool event(QEvent* event) override;

private:
    TaskQueue* queueOf(PageKind page) const;
    // The queue a job that ended on its own leaves; null for the merge page (whose job is
    // stopped here) and for a page without a queue.
    TaskQueue* endingQueue(PageKind page);
    void finishTask(PageKind page, TaskId taskId);
    void retire(std::unique_ptr<RunningJob> job);
    void retire(std::vector<std::unique_ptr<RunningJob>> jobs);
    void sweepRetired();
    void stopMerge();

    TaskHost& m_host;
    JobFactory& m_factory;
    QObject* m_receiver;
    JobLimits m_limits;
    std::array<std::unique_ptr<TaskQueue>, kPageCount> m_queues;  // indexed by page kind; merge has none
    std::vector<std::unique_ptr<PageWorker>> m_workers;
    std::vector<std::unique_ptr<RunningJob>> m_mergeJobs;
    bool m_mergeBusy = false;
    std::vector<std::unique_ptr<RunningJob>> m_retired;
};

}  // namespace tolvex
