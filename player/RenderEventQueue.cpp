#include "player/RenderEventQueue.h"

#include <chrono>

namespace tolvex {

void RenderEventQueue::post(Event event)
{
    {
        std::lock_guard lock(m_mutex);
        m_events.push_back(event);
    }
    m_cv.notify_one();
}

bool RenderEventQueue::wait(int timeoutMs, Event& event)
{
    std::unique_lock lock(m_mutex);
    m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_interrupted || !m_events.empty(); });
    if (m_interrupted || m_events.empty())
        return false;
    event = m_events.front();
    m_events.pop_front();
    return true;
}

void RenderEventQueue::interrupt()
{
    {
        std::lock_guard lock(m_mutex);
        m_interrupted = true;
    }
    m_cv.notify_all();
}

}  // namespace tolvex
