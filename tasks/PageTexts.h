#pragma once

// The fixed texts of each page that the task engine drives: the start button's name and
// its busy and idle texts, and the console lines logged when a task leaves the queue.

#include "tasks/TaskTypes.h"

namespace tolvex {

struct StartButtonTexts {
    const char* buttonName;  // control name of the page's start button
    const char* busyText;    // UTF-8, while queued work remains
    const char* idleText;    // UTF-8, when the page is idle again
};

StartButtonTexts StartButtonTextsFor(PageKind page);

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
