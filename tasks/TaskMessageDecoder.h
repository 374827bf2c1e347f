#pragma once

// Reads the task messages a front end receives (started, progress, done, failed, output
// name) into TaskUpdate: the page's percentage (the merge job's against the merge's total
// duration), the smoothed time left of each running job, the time a finished job took.
// The window's progress view and the headless runner both show what it decodes.
// Thread use: the receiver's thread only (one decoder per receiver).

#include "app/PostedMessage.h"
#include "tasks/TaskUpdate.h"
#include "tasks/TimeLeftEstimate.h"

#include <map>
#include <optional>
#include <utility>

namespace tolvex {

class TaskMessageDecoder {
public:
    // The merge job's total duration, for its percentage and time left.
    void setMergeTotalSeconds(double seconds) { m_mergeTotalSeconds = seconds; }

    // The update a message carries; nothing for other messages, records of the wrong type
    // or pages out of range.
    std::optional<TaskUpdate> decode(const MessageEvent& message);

    // Jobs whose time left is being estimated (finished jobs are forgotten).
    size_t trackedJobs() const { return m_estimates.size(); }

private:
    TaskUpdate onProgress(const ProgressRecord& record);

    double m_mergeTotalSeconds = 0.0;
    std::map<std::pair<PageKind, TaskId>, TimeLeftEstimate> m_estimates;
};

}  // namespace tolvex
