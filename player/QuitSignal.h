#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace tolvex {

// A player's stop request. Set once by Close on the owner's UI thread; every player thread
// and SDL's audio callback look at it, and the threads that pause between steps sleep on it
// so that Close wakes them at once instead of waiting out their sleep.
class QuitSignal {
public:
    // Any thread. Wakes every sleeper.
    void set();
    // Before the player's threads start (Open).
    void clear();
    // Any thread.
    bool isSet() const { return m_set.load(); }
    // Sleeps up to `seconds`, returning early once the signal is set.
    void sleepFor(double seconds);

private:
    std::atomic<bool> m_set{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
};

}  // namespace tolvex
