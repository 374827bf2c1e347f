#include "ui/main/FinishTally.h"

namespace tolvex {

void FinishTally::PageBusy(PageKind page)
{
    if (!Valid(page))
        return;
    PageState& state = m_pages[Index(page)];
    // More work for a running queue adds to the same round.
    if (!state.busy)
        state.count = {};
    state.busy = true;
}

void FinishTally::JobEnded(PageKind page, bool failed)
{
    if (!Valid(page))
        return;
    Count& count = m_pages[Index(page)].count;
    if (failed)
        ++count.failed;
    else
        ++count.done;
}

std::optional<FinishTally::Count> FinishTally::PageIdle(PageKind page)
{
    if (!Valid(page))
        return std::nullopt;
    PageState& state = m_pages[Index(page)];
    const Count count = state.count;
    const bool wasBusy = state.busy;
    state = {};
    if (!wasBusy || count.done + count.failed == 0)
        return std::nullopt;
    return count;
}

}  // namespace tolvex
