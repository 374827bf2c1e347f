#pragma once

// The reader of one job: reads ffmpeg's output pipe until it ends and posts the job's
// progress, done and failure messages to the receiver.
//
// The end of a job is decided by ffmpeg itself: done as soon as "muxing overhead:" shows
// (ffmpeg prints it after writing the output), or when ffmpeg exits with status 0 without
// it; failed when it exits otherwise. At most one done or failure per job, and nothing once
// the job was stopped.
// Thread use: runs on its own thread; touches only its arguments.

#include "tasks/ChildProcess.h"
#include "tasks/JobControl.h"
#include "tasks/TaskTypes.h"
#include "tasks/UniqueFd.h"

#include <memory>

namespace tolvex {

struct ReaderArgs {
    TaskId taskId = 0;
    UniqueFd readPipe;
    QObject* mainWindow = nullptr;  // receiver of the messages
    PageKind pageKind = PageKind::Convert;
    std::shared_ptr<ChildProcess> process;
    std::shared_ptr<JobControl> control;
};

// The thread routine.
void StderrReader(ReaderArgs args);

// CPU time used by every reader that has ended so far, in nanoseconds (for benchmarks).
int64_t TotalReaderCpuNanoseconds();

}  // namespace tolvex
