#include "player/RenderEventQueue.h"

namespace tolvex {

void RenderEventQueue::post(Event event)
{
    {
        std::lock_guard lock(m_mutex);
        m_events.push_back(event);
    }
    m_cv.notify_one();
}

bool RenderEventQueue::wait(Event& event)
{
    std::unique_lock lock(m_mutex);
    m_cv.wait(lock, [this] { return m_interrupted || m_woken || !m_events.empty(); });
    m_woken = false;
    if (m_interrupted || m_events.empty())
        return false;
    event = m_events.front();
    m_events.pop_front();
    return true;
}

void RenderEventQueue::wake()
{
    {
        std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_cv.notify_one();
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
