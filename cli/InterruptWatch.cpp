#include "cli/InterruptWatch.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace tolvex::cli {

namespace {

// The write end of the pipe, for the handler. One watch at a time.
std::atomic<int> g_signalPipe{-1};
int g_readEnd = -1;

void OnSignal(int signal)
{
    const int saved = errno;
    const int fd = g_signalPipe.load(std::memory_order_relaxed);
    if (fd >= 0) {
        const unsigned char number = static_cast<unsigned char>(signal);
        [[maybe_unused]] const ssize_t written = ::write(fd, &number, 1);
    }
    errno = saved;
}

}  // namespace

InterruptWatch::InterruptWatch(std::function<void(int)> onSignal) : m_onSignal(std::move(onSignal))
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    g_readEnd = ends[0];
    g_signalPipe.store(ends[1], std::memory_order_relaxed);
    m_notifier = std::make_unique<QSocketNotifier>(g_readEnd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { onReadable(); });

    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &m_oldInt);
    ::sigaction(SIGTERM, &action, &m_oldTerm);
}

InterruptWatch::~InterruptWatch()
{
    if (!m_notifier)
        return;
    ::sigaction(SIGINT, &m_oldInt, nullptr);
    ::sigaction(SIGTERM, &m_oldTerm, nullptr);
    m_notifier.reset();
    ::close(g_signalPipe.exchange(-1));
    ::close(g_readEnd);
    g_readEnd = -1;
}

void InterruptWatch::onReadable()
{
    unsigned char number = 0;
    while (::read(g_readEnd, &number, 1) == 1) {
        if (m_signal)
            continue;  // the first signal decides; the jobs are being stopped already
        m_signal = number;
        if (m_onSignal)
            m_onSignal(m_signal);
    }
}

}  // namespace tolvex::cli
