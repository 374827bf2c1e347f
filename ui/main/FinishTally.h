#pragma once

// Counts, per page, the jobs that ended since the page's queue last started, and says when
// a queue has run empty after doing work. Pure bookkeeping, no window.
// Thread use: one thread (the UI thread in the program).

#include "tasks/TaskTypes.h"

#include <array>
#include <optional>

namespace tolvex {

class FinishTally {
public:
    struct Count {
        int done = 0;
        int failed = 0;
    };

    // The page's queue started (or took more work while running).
    void pageBusy(PageKind page);
    void jobEnded(PageKind page, bool failed);
    // The page's queue ran empty: what it did since it started, or nothing when no job
    // ended meanwhile (the queue was cleared, or was idle already).
    std::optional<Count> pageIdle(PageKind page);

private:
    struct PageState {
        bool busy = false;
        Count count;
    };
    static size_t index(PageKind page) { return static_cast<size_t>(page); }
    static bool valid(PageKind page) { return index(page) < static_cast<size_t>(kPageCount); }

    std::array<PageState, kPageCount> m_pages{};
};

}  // namespace tolvex
