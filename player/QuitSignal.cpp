#include "player/QuitSignal.h"

#include <chrono>

namespace tolvex {

void QuitSignal::set()
{
    {
        // Set under the sleepers' lock, so one that has just found the signal clear is
        // already waiting when the wake-up comes.
        std::lock_guard lock(m_mutex);
        m_set = true;
    }
    m_wake.notify_all();
}

void QuitSignal::clear()
{
    std::lock_guard lock(m_mutex);
    m_set = false;
}

void QuitSignal::sleepFor(double seconds)
{
    if (seconds <= 0)
        return;
    std::unique_lock lock(m_mutex);
    m_wake.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return m_set.load(); });
}

}  // namespace tolvex
