#pragma once

// The split and gif clips confirmed in their dialogs become list items: each waiting clip
// of the process-wide hand-over list takes the next task id, gets its item in the page
// list and is kept, under that id, in the page's clip table that the jobs read. The
// hand-over list is left empty.
// UI thread only.

#include "tasks/ClipRecords.h"

namespace tolvex {

class CMainWnd;

// Both return the number of items listed.
int ListSplitClips(CMainWnd& window, SplitClipTable& table);
int ListGifClips(CMainWnd& window, GifClipTable& table);

}  // namespace tolvex
