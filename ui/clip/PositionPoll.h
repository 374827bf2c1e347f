#pragma once

// The position poll of a clip dialog: a thread that, every 100 ms until stopped, reads the
// player's position and duration and posts them to the dialog (WM_PLAYER_POSITION).
//
// Threads: Start and Stop run on the dialog's UI thread; the poll thread only reads the
// player (CurrentPosition and Duration may be called from any thread) and posts. Stop
// returns once the thread has ended, so the player may be closed right after it. The
// player must outlive the poll (Stop is also called by the destructor).

class QObject;

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tolvex {

class PreviewPlayer;

class PositionPoll {
public:
    static constexpr int kIntervalMs = 100;

    PositionPoll() = default;
    ~PositionPoll();
    PositionPoll(const PositionPoll&) = delete;
    PositionPoll& operator=(const PositionPoll&) = delete;

    void start(PreviewPlayer* player, QObject* dialog);
    void stop();
    bool running() const { return m_thread.joinable(); }
    // True once the thread has left its loop (also before it ever started).
    bool exited() const { return m_exited.load(); }

private:
    void run();

    PreviewPlayer* m_player = nullptr;
    QObject* m_target = nullptr;  // read by the poll thread; the dialog outlives the poll
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_exited{true};
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::thread m_thread;
};

}  // namespace tolvex
