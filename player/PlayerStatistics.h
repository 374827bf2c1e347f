#pragma once

#include <atomic>

namespace tolvex {

// What a player counts while it runs, for tests and benches: the pictures it handed to the
// renderer and the threads it started. Written by the player's threads, read from any
// thread.
struct PlayerStatistics {
    std::atomic<long> framesShown{0};
    std::atomic<int> timerThreadStarts{0};
    std::atomic<int> readThreadStarts{0};
    std::atomic<int> renderThreadStarts{0};
};

}  // namespace tolvex
