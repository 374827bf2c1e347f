#pragma once

// One launched job: its ffmpeg process and the reader thread on its output. The owner
// (a page's queue, or the engine for the merge job and for stopped jobs) keeps it until
// the reader has finished.
// Thread use: created on the launching thread, then owned and stopped on the UI thread.
// stop() never waits; the destructor stops and joins (quick once the process is killed:
// the reader ends when the pipe closes).

#include "tasks/ChildProcess.h"
#include "tasks/JobControl.h"
#include "tasks/TaskTypes.h"

#include <memory>
#include <thread>

namespace tolvex {

class RunningJob {
public:
    RunningJob(TaskId taskId, PageKind page, std::shared_ptr<ChildProcess> process,
               std::shared_ptr<JobControl> control, std::thread reader);
    ~RunningJob();
    RunningJob(const RunningJob&) = delete;
    RunningJob& operator=(const RunningJob&) = delete;

    TaskId taskId() const { return m_taskId; }
    PageKind page() const { return m_page; }
    pid_t pid() const { return m_process->pid(); }

    // Nothing more is posted for the job, and its process is killed if it still runs.
    void stop();
    // The reader has ended (the process exited and was reaped).
    bool finished() const { return m_control->readerFinished(); }
    void join();

private:
    TaskId m_taskId;
    PageKind m_page;
    std::shared_ptr<ChildProcess> m_process;
    std::shared_ptr<JobControl> m_control;
    std::thread m_reader;
};

}  // namespace tolvex
