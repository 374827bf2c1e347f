#pragma once

// One launched job: its ffmpeg process (one pass after another), the reader thread on its
// output, and the files it writes. The owner (a page's queue, or the engine for the merge
// job and for stopped jobs) keeps it until the reader has finished.
// Thread use: created on the launching thread, then owned and stopped on the UI thread.
// stop() never waits; the destructor stops and joins (quick once the process is killed:
// the reader ends when the pipe closes), then discards the files of a job that did not
// settle them itself.

#include "tasks/JobControl.h"
#include "tasks/JobOutputs.h"
#include "tasks/JobProcess.h"
#include "tasks/TaskTypes.h"

#include <memory>
#include <optional>
#include <thread>

namespace tolvex {

class RunningJob {
public:
    RunningJob(TaskId taskId, PageKind page, uint64_t serial, std::shared_ptr<JobProcess> process,
               std::shared_ptr<JobControl> control, std::shared_ptr<JobOutputs> outputs, std::thread reader);
    ~RunningJob();
    RunningJob(const RunningJob&) = delete;
    RunningJob& operator=(const RunningJob&) = delete;

    TaskId taskId() const { return m_taskId; }
    PageKind page() const { return m_page; }
    uint64_t serial() const { return m_serial; }
    const std::string& output() const { return m_outputs->output(); }
    // The pid of the pass that runs (or ran last).
    pid_t pid() const { return m_process->pid().value_or(0); }

    // Nothing more is posted for the job, no further pass starts, and the running one is
    // killed.
    void stop();
    // The reader has ended (the last process exited and was reaped).
    bool finished() const { return m_control->readerFinished(); }
    void join();

private:
    TaskId m_taskId;
    PageKind m_page;
    uint64_t m_serial;
    std::shared_ptr<JobProcess> m_process;
    std::shared_ptr<JobControl> m_control;
    std::shared_ptr<JobOutputs> m_outputs;
    std::thread m_reader;
};

}  // namespace tolvex
