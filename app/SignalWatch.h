#pragma once

// Signals that ask the program to end (SIGTERM at log-out or shut-down, SIGINT from Ctrl-C,
// SIGHUP when the terminal or the ssh session goes, SIGPIPE when the reader of standard
// output went away), turned into a call on the thread of the event loop so the program
// can end the normal way: jobs stopped, partial files and reserved names deleted, its temp
// files removed.
//
// While a watch lives, the watched signals no longer end the process: the handler only
// writes the signal's number into a pipe (write(2) is async-signal-safe), and a
// QSocketNotifier on the pipe calls `onSignal` once, with the first signal that came.
// Later signals are only counted, so a second Ctrl-C while the clean-up runs cannot cut it
// short. Keep the watch alive until the clean-up is over; the previous handlers come back
// when it goes.
//
// Thread use: create and destroy on the thread of the event loop; `onSignal` runs there.
// The handler itself may run on any thread. One watch at a time in a process.

#include <QSocketNotifier>

#include <signal.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

namespace tolvex {

class SignalWatch {
public:
    SignalWatch(std::initializer_list<int> watchedSignals, std::function<void(int signal)> onSignal);
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

    // False when the pipe could not be made (the signals then keep their handlers).
    bool isActive() const { return m_notifier != nullptr; }
    // The first signal that came, or 0.
    int signal() const { return m_signal; }
    // The exit status for that signal (128 + its number), or `otherwise`.
    int exitStatus(int otherwise) const { return m_signal ? 128 + m_signal : otherwise; }

private:
    void onReadable();

    std::function<void(int)> m_onSignal;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::vector<std::pair<int, struct sigaction>> m_previous;
    int m_signal = 0;
};

}  // namespace tolvex
