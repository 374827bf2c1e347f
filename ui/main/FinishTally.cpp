#include "ui/main/FinishTally.h"

namespace tolvex {

void FinishTally::pageBusy(PageKind page)
{
    if (!valid(page))
        return;
    PageState& state = m_pages[index(page)];
    // More work for a running queue adds to the same round.
    if (!state.busy)
        state.count = {};
    state.busy = true;
}

void FinishTally::jobEnded(PageKind page, bool failed)
{
    if (!valid(page))
        return;
    Count& count = m_pages[index(page)].count;
    if (failed)
        ++count.failed;
    else
        ++count.done;
}

std::optional<FinishTally::Count> FinishTally::pageIdle(PageKind page)
{
    if (!valid(page))
        return std::nullopt;
    PageState& state = m_pages[index(page)];
    const Count count = state.count;
    const bool wasBusy = state.busy;
    state = {};
    if (!wasBusy || count.done + count.failed == 0)
        return std::nullopt;
    return count;
}

}  // namespace tolvex
