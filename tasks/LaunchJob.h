#pragma once

// Starts one job: ffmpeg with the job's argument vector, its output in a pipe, and a
// reader thread (StderrReader) that posts the job's messages to `receiver`.
// Thread use: call from a thread that lives as long as the program (a page worker, the UI
// thread): the child is killed when its spawning thread ends.

#include "tasks/CommandLine.h"
#include "tasks/RunningJob.h"
#include "tasks/TaskTypes.h"

#include <QObject>

#include <memory>
#include <string>

namespace tolvex {

// A command without a program runs the ffmpeg found by FfmpegProgramPath(). Returns null
// and fills `error` when the pipe, the process or the reader thread cannot be made.
std::unique_ptr<RunningJob> LaunchJob(const CommandLine& command, TaskId taskId, PageKind pageKind,
                                      QObject* receiver, std::string& error);

}  // namespace tolvex
