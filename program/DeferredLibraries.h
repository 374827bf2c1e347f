#pragma once

#include <functional>
#include <thread>

namespace tolvex {

// The program is linked without FFmpeg, SDL and curl: each of their functions is a stub that
// opens its library on the first call (cmake/DeferredLibraries.cmake). This owns the thread
// that opens them all once the window is shown, so that the first probe or preview rarely
// waits for them. Built only into the program; its tests and tolvex-cli link the libraries.
class DeferredLibraries {
public:
    DeferredLibraries() = default;
    DeferredLibraries(const DeferredLibraries&) = delete;
    DeferredLibraries& operator=(const DeferredLibraries&) = delete;
    ~DeferredLibraries();

    // Starts opening every library on a thread of its own, which then runs `then`; later
    // calls do nothing.
    void openInBackground(std::function<void()> then = {});
    // Waits for the opening thread, if one runs: the process does not end in the middle of a
    // dlopen(), and the thread's log line comes while the log still takes lines.
    void wait();

private:
    bool m_started = false;
    std::thread m_opener;
};

}  // namespace tolvex
