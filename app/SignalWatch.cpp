#include "app/SignalWatch.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace tolvex {

namespace {

// The pipe's ends: the handler writes, the notifier reads. One watch at a time.
std::atomic<int> g_writeEnd{-1};
int g_readEnd = -1;

void WriteSignalNumber(int signal)
{
    const int saved = errno;
    const int fd = g_writeEnd.load(std::memory_order_relaxed);
    if (fd >= 0) {
        const auto number = static_cast<unsigned char>(signal);
        // A full pipe drops the byte: the first signal is in it already.
        [[maybe_unused]] const ssize_t written = ::write(fd, &number, 1);
    }
    errno = saved;
}

}  // namespace

SignalWatch::SignalWatch(std::initializer_list<int> watchedSignals, std::function<void(int)> onSignal)
    : m_onSignal(std::move(onSignal))
{
    int ends[2];
    if (g_writeEnd.load() >= 0 || ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    g_readEnd = ends[0];
    g_writeEnd.store(ends[1], std::memory_order_relaxed);
    m_notifier = std::make_unique<QSocketNotifier>(g_readEnd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { onReadable(); });

    struct sigaction action {};
    action.sa_handler = &WriteSignalNumber;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int watched : watchedSignals) {
        struct sigaction previous {};
        if (::sigaction(watched, &action, &previous) == 0)
            m_previous.emplace_back(watched, previous);
    }
}

SignalWatch::~SignalWatch()
{
    if (!m_notifier)
        return;
    for (const auto& [watched, previous] : m_previous)
        ::sigaction(watched, &previous, nullptr);
    m_notifier.reset();
    ::close(g_writeEnd.exchange(-1));
    ::close(g_readEnd);
    g_readEnd = -1;
}

void SignalWatch::onReadable()
{
    unsigned char number = 0;
    while (::read(g_readEnd, &number, 1) == 1) {
        if (m_signal)
            continue;  // the first signal decides; the program is ending already
        m_signal = number;
        if (m_onSignal)
            m_onSignal(m_signal);
    }
}

}  // namespace tolvex
