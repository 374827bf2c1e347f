#pragma once

// A task message as the front ends show it: which task of which page, and what changed.
// Made by TaskMessageDecoder from the records the engine, the page workers and the job
// readers post.

#include "tasks/TaskTypes.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tolvex {

struct TaskUpdate {
    enum class Kind {
        Started,   // WM_TASK_STARTED: the job is about to be launched
        Progress,  // WM_TASK_PROGRESS
        Done,      // WM_TASK_DONE
        Failed,    // WM_TASK_FAILED
        Output,    // WM_TASK_OUTPUT: the output name reserved for the job
    };
    Kind kind = Kind::Progress;
    PageKind page = PageKind::Convert;
    TaskId taskId = 0;
    // Progress: the percentage the page shows; Done: 100.
    int percent = 0;
    // Progress: the job's position and duration as its record carries them (ms).
    int32_t positionMs = 0;
    int32_t durationMs = 0;
    // Progress: the time the job still needs, once it can be told.
    std::optional<int64_t> timeLeftMs;
    // Progress and Done: the wall-clock time since the job started (Done: what it took).
    int64_t elapsedMs = 0;
    std::string reason;      // Failed: why, for the user (may be empty)
    std::string outputPath;  // Output
    std::string dropped;     // Output: what the output cannot hold of the input ("dropped: ..."), or empty
};

}  // namespace tolvex
