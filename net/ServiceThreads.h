#pragma once

// The threads of the online services (start-up update check, account loader, address
// query, a user's update check): each runs one piece of work and ends. They share one abort
// flag, which the requests watch, so StopAll ends them within about a second.
//
// Thread use: Start, RunningCount and StopAll are called on one thread (the UI thread); the
// work runs on its own thread and must not touch widgets (it posts its results).

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <thread>

namespace tolvex {

class ServiceThreads {
public:
    using Work = std::function<void(const std::atomic<bool>& abort)>;

    ServiceThreads() = default;
    ~ServiceThreads();
    ServiceThreads(const ServiceThreads&) = delete;
    ServiceThreads& operator=(const ServiceThreads&) = delete;

    // Runs `work` on a new thread; false when the thread could not be started or the
    // threads were stopped.
    bool start(Work work);
    // Threads started and not yet finished.
    int runningCount();
    // Sets the abort flag and joins every thread; later Starts are refused.
    void stopAll();

private:
    struct Entry {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    void joinFinished();

    std::atomic<bool> m_abort{false};
    std::list<Entry> m_threads;
};

}  // namespace tolvex
