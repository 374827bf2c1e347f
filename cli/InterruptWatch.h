#pragma once

// Ctrl-C and termination while tolvex-cli runs jobs. While a watch lives, SIGINT and
// SIGTERM no longer end the process at once: the signal handler only writes the signal's
// number into a pipe, and the event loop calls `onSignal` with it, so the jobs can be
// stopped, their partial outputs deleted, and the program can end with 128 + the signal
// (130, 143). The previous handlers come back when the watch goes.
//
// Thread use: create, run and destroy on the thread of the event loop. The handler itself
// may run on any thread and only writes to the pipe.

#include <QSocketNotifier>

#include <signal.h>

#include <functional>
#include <memory>

namespace tolvex::cli {

class InterruptWatch {
public:
    explicit InterruptWatch(std::function<void(int signal)> onSignal);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // The first signal that came, or 0.
    int signal() const { return m_signal; }
    // The exit status for that signal (128 + its number), or `otherwise`.
    int exitStatus(int otherwise) const { return m_signal ? 128 + m_signal : otherwise; }

private:
    void onReadable();

    std::function<void(int)> m_onSignal;
    std::unique_ptr<QSocketNotifier> m_notifier;
    struct sigaction m_oldInt {};
    struct sigaction m_oldTerm {};
    int m_signal = 0;
};

}  // namespace tolvex::cli
