#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

namespace tolvex {

// The events one player's render thread waits for. SDL's own event queue is shared by the
// whole process, so a refresh meant for one player could be taken by another player's
// render thread; each player therefore keeps its own queue. Posted from the timer thread
// and the UI thread (Seek), taken by the render thread, which sleeps here until an event
// comes or it is woken for something else (a redraw, a resize of its area, the close).
class RenderEventQueue {
public:
    enum Event {
        Refresh = 1,  // show the next frame
        SeekRefresh,  // show the first frame after a seek made while paused
    };

    void post(Event event);
    // Waits for an event; false when woken without one (wake, interrupt).
    bool wait(Event& event);
    // Wakes the waiting render thread once without an event (any thread).
    void wake();
    // Wakes a waiting render thread for good (used when the player closes).
    void interrupt();

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<Event> m_events;
    bool m_woken = false;
    bool m_interrupted = false;
};

}  // namespace tolvex
