#pragma once

// Starts one job: the first pass of its plan with its output in a pipe, and a reader
// thread (StderrReader) that starts the later passes, posts the job's progress to
// `receiver` and reports its end to the engine. Each job gets a serial number, carried by
// its end, so the engine can tell a late report of a stopped job from the current one.
// Thread use: call from a thread that lives as long as the program (a page worker, the UI
// thread): the first pass is killed when its spawning thread ends.

#include "tasks/CommandLine.h"
#include "tasks/JobOutputs.h"
#include "tasks/JobPlan.h"
#include "tasks/RunningJob.h"
#include "tasks/TaskTypes.h"

#include <QObject>

#include <chrono>
#include <memory>
#include <string>

namespace tolvex {

struct LaunchOptions {
    // A pass silent for this long is stopped and its job fails.
    std::chrono::milliseconds silenceLimit{120000};
    // The files the job writes; null: only the plan's scratch files are the job's own.
    std::shared_ptr<JobOutputs> outputs;
    // Where the job's end is reported (the task engine); null: to the receiver.
    QObject* engine = nullptr;
};

// Commands without a program run the ffmpeg found by FfmpegProgramPath(). Returns null and
// fills `error` when the pipe, the process or the reader thread cannot be made.
std::unique_ptr<RunningJob> LaunchJob(const JobPlan& plan, TaskId taskId, PageKind pageKind, QObject* receiver,
                                      const LaunchOptions& options, std::string& error);

// A page's job as the engine runs it: reserves the plan's output name, tells `receiver`
// the name, its scratch files and what the output leaves out (WM_TASK_OUTPUT), logs every
// pass and launches. Null and `error` when the name cannot be reserved or the launch fails
// (a reserved name is then deleted again).
std::unique_ptr<RunningJob> ReserveAndLaunch(JobPlan& plan, TaskId taskId, PageKind pageKind, QObject* receiver,
                                             LaunchOptions options, std::string& error);

// A single command with the default options.
std::unique_ptr<RunningJob> LaunchJob(const CommandLine& command, TaskId taskId, PageKind pageKind, QObject* receiver,
                                      std::string& error);

}  // namespace tolvex
