#pragma once

// The task engine: the eight page queues with their workers, the merge job, and the
// operations of the window on them (start, remove, clear, stop all). The desktop window
// and tolvex-cli drive the same engine; it knows no widget and reaches its owner only
// through TaskHost (messages to its receiver, the start button's busy state).
//
// The engine alone decides how a job ended. A job's reader reports the end to the engine
// (done only when ffmpeg exited with status 0 and the output file is there and not
// empty); the engine hands WM_TASK_DONE or WM_TASK_FAILED to the receiver, which only
// shows it, and then moves the queue on. A job that fails, is removed, cleared or stopped
// leaves no file behind: its output was reserved for it and is deleted with it.
//
// Thread use: create, call and destroy on the UI thread (the thread of the receiver). The
// readers post progress to the receiver and their end to the engine; the workers post
// failures and dropped tasks to the engine. The end is delivered to the receiver at once
// (on the UI thread), before the queue moves on. Stopped jobs are kept until their reader
// has finished, so no reader outlives the engine.

#include "tasks/JobEndRecord.h"
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
    // Empties the page's queue, kills its jobs and frees the page.
    void ClearPage(PageKind page);
    // Kills every job of every page and the merge job. Workers keep waiting.
    void StopAllJobs();

    // Launches the merge job (task id -1, page kind 2) directly and marks the merge page busy.
    // Its output name is reserved like any job's. A launch that fails is reported as a
    // failure message, like any job.
    // `dropped` says what the merged file leaves out of its inputs (shown with the job);
    // `scratchFiles` are files written for the job, deleted when it ends.
    void startMerge(const CommandLine& command, const std::string& dropped = {},
                    const std::vector<std::string>& scratchFiles = {});

    // How long a running ffmpeg may print nothing before its job fails (120 s unless set).
    void setSilenceLimit(std::chrono::milliseconds limit) { m_limits.setSilenceLimit(limit); }

    bool isPageBusy(PageKind page) const;
    std::vector<TaskId> queuedTasks(PageKind page) const;
    std::optional<TaskId> runningTask(PageKind page) const;
    std::optional<pid_t> processOf(PageKind page, TaskId taskId) const;
    // True once the reader of every stopped job has returned: whatever it posted is then
    // waiting in the event queue, and nothing more will come from it.
    bool stoppedJobsFinished() const;

protected:
    bool event(QEvent* event) override;

private:
    TaskQueue* queueOf(PageKind page) const;
    // The queue side of a job's completion and failure. Completion, removal and a dropped
    // task log the task's queue lines (finishTask); a failure logs only the waiting count.
    void CompleteTask(PageKind page, TaskId taskId);
    void FailTask(PageKind page, TaskId taskId);
    void finishTask(PageKind page, TaskId taskId);
    // Retires the removed task's job and frees the page when nothing waits.
    void release(PageKind page, TaskQueue::Removal removal);
    // A job's end as its reader or worker reported it.
    void onJobEnded(const JobEndRecord& record);
    // The report is about the job the task has now (not one stopped since).
    bool isCurrentJob(const JobEndRecord& record) const;
    void deliverEnd(const JobEndRecord& record);
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
