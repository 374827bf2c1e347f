#pragma once

// Puts a journal's lists back on the window's pages: every item is listed again under a
// new task id with its input, its clip or its output parameters, the settings of its
// controls and the planned output name; the pages get their own settings back. How far
// each job got is shown the way the page shows it when a job ends (a finished item at
// 100 % with its file's name and the time it took, a failed item with its mark, reason and
// retry button); the merge page likewise.
// Items that come back waiting are not queued: the caller decides whether they go on.
// UI thread only.

#include "tasks/QueueJournal.h"

#include <array>
#include <vector>

namespace tolvex {

class CMainWnd;

struct RestoredWork {
    // The task ids that came back waiting, per page, in list order.
    std::array<std::vector<TaskId>, kPageCount> waiting;
    bool mergeWaiting = false;
    int listed = 0;  // items put back, all pages

    int count() const;
};

RestoredWork RestoreQueueLists(CMainWnd& window, const QueueJournal& lists);

}  // namespace tolvex
