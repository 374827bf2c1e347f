#pragma once

// The fixed texts of each page that the task engine logs: the console lines logged when a
// task leaves the queue, and which pages log the program folder.

#include "tasks/TaskTypes.h"

namespace tolvex {

struct QueueLogLines {
    const char* idleLine;  // printf format with the task id
    const char* busyLine;
};

// Log lines of the eight queued pages; the merge page has none (empty formats).
QueueLogLines QueueLogLinesFor(PageKind page);

// "队列数据,size: %d,%d\n" with the busy count and the idle count.
extern const char* const kQueueSizeLine;

// Pages whose jobs log "appPath: " and the program folder when they launch.
bool LogsAppPath(PageKind page);

}  // namespace tolvex
