#include "program/DeferredLibraries.h"

#include "program/DeferredSymbols.h"

#include <glog/logging.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>
#include <vector>

#include <dlfcn.h>

namespace tolvex {

namespace {

// Without the library the program cannot go on: it says which one and why, and aborts (as
// the dynamic loader would have refused to start it, had the library been linked).
[[noreturn]] void CannotLoad(const char* what)
{
    const char* reason = dlerror();
    std::fprintf(stderr, "tolvex-video-converter: cannot load %s: %s\n", what, reason ? reason : "not found");
    std::abort();
}

// The handle of deferred library `library`, opened by the first thread that needs it.
void* OpenLibrary(unsigned library)
{
    static std::mutex opening;
    static std::vector<std::atomic<void*>> handles(tolvex_deferred_library_count);
    void* handle = handles[library].load(std::memory_order_acquire);
    if (handle)
        return handle;
    const std::lock_guard<std::mutex> lock(opening);
    handle = handles[library].load(std::memory_order_relaxed);
    if (!handle) {
        handle = dlopen(tolvex_deferred_libraries[library], RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            CannotLoad(tolvex_deferred_libraries[library]);
        handles[library].store(handle, std::memory_order_release);
    }
    return handle;
}

}  // namespace

DeferredLibraries::~DeferredLibraries()
{
    wait();
}

void DeferredLibraries::wait()
{
    if (m_opener.joinable())
        m_opener.join();
}

void DeferredLibraries::openInBackground(std::function<void()> then)
{
    if (m_started)
        return;
    m_started = true;
    m_opener = std::thread([then = std::move(then)] {
        const auto start = std::chrono::steady_clock::now();
        for (unsigned library = 0; library < tolvex_deferred_library_count; ++library)
            OpenLibrary(library);
        LOG(INFO)
            << "FFmpeg, SDL and curl opened in "
            << std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count()
            << " ms";
        if (then)
            then();
    });
}

}  // namespace tolvex

extern "C" void* tolvex_deferred_resolve(unsigned index) noexcept
{
    const TolvexDeferredSymbol& symbol = tolvex_deferred_symbols[index];
    void* handle = tolvex::OpenLibrary(symbol.library);
    dlerror();
    void* address = dlsym(handle, symbol.name);
    if (!address)
        tolvex::CannotLoad(symbol.name);
    // Another thread may be resolving the same function: both store the same address.
    __atomic_store_n(&tolvex_deferred_slots[index], address, __ATOMIC_RELEASE);
    return address;
}
