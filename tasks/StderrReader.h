#pragma once

// The reader of one job: reads ffmpeg's output pipe of each pass until it ends, posts the
// job's progress to the receiver, then reports its one ending (done or failure) to the
// task engine, which decides what happens next (without an engine, the ending goes to the
// receiver as WM_TASK_DONE / WM_TASK_FAILED).
//
// The job is done only when every pass exited with status 0 and the output file exists
// and is not empty; anything else is a failure with a reason the user can read ("ffmpeg
// exited with status 69: Conversion failed!", "ffmpeg stopped responding"). Nothing ffmpeg
// prints ends a job early or fills its bar (a file name may read "muxing overhead:"): a
// pass's share of the bar is full once the pass exited well.
// A pass that prints nothing for `silenceLimit` is killed and the job fails. When the job
// ends, its files are settled (kept on done, discarded otherwise) after its last process
// was reaped. At most one done or failure per job, and nothing once the job was stopped.
// Thread use: runs on its own thread; touches only its arguments.

#include "tasks/ChildProcess.h"
#include "tasks/JobControl.h"
#include "tasks/JobOutputs.h"
#include "tasks/JobProcess.h"
#include "tasks/TaskTypes.h"
#include "tasks/UniqueFd.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tolvex {

// How long a running ffmpeg may stay silent before its job is given up.
constexpr std::chrono::milliseconds kDefaultSilenceLimit{120000};

struct ReaderArgs {
    TaskId taskId = 0;
    UniqueFd readPipe;              // the first pass's output
    QObject* mainWindow = nullptr;  // receiver of the progress messages
    QObject* engine = nullptr;      // receiver of the job's end (JobEndRecord)
    uint64_t serial = 0;            // the job's serial, carried by its end
    PageKind pageKind = PageKind::Convert;
    std::shared_ptr<ChildProcess> process;              // the first pass
    std::shared_ptr<JobProcess> job;                    // starts the later passes
    std::vector<std::vector<std::string>> laterPasses;  // argv of each pass after the first
    // Asked before the last of the later passes starts (JobPlan::beforeLastPass).
    std::function<std::string(std::vector<std::string>& argv)> beforeLastPass;
    std::shared_ptr<JobOutputs> outputs;
    // The file that must exist and not be empty for the job to be done; empty: no check
    // (an output that is not a file, such as a device).
    std::string checkedOutput;
    // A done job's output may not be larger than this (0: no limit); the failure then says
    // `tooLargeReason`.
    int64_t outputLimit = 0;
    std::string tooLargeReason;
    std::chrono::milliseconds silenceLimit = kDefaultSilenceLimit;
    std::shared_ptr<JobControl> control;
};

// The thread routine.
void StderrReader(ReaderArgs args);

// CPU time used by every reader that has ended so far, in nanoseconds (for benchmarks).
int64_t TotalReaderCpuNanoseconds();

}  // namespace tolvex
