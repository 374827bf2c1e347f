#include "tests/support/FileOpenWatch.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>

#include <cerrno>
#include <cstring>

namespace tolvex::test {

FileOpenWatch::FileOpenWatch(const QString& path) : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (m_fd >= 0)
        m_watch = ::inotify_add_watch(m_fd, QFile::encodeName(path).constData(), IN_OPEN | IN_CLOSE_NOWRITE);
}

FileOpenWatch::~FileOpenWatch()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void FileOpenWatch::collect(int timeoutMs)
{
    pollfd ready{m_fd, POLLIN, 0};
    if (::poll(&ready, 1, timeoutMs) <= 0)
        return;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            return;
        for (ssize_t at = 0; at < n;) {
            inotify_event event{};
            std::memcpy(&event, buffer + at, sizeof event);
            if (event.mask & IN_OPEN)
                ++m_opens;
            if (event.mask & IN_CLOSE_NOWRITE)
                ++m_reads;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
        }
    }
}

bool FileOpenWatch::waitUntil(const int& counter, int count, int timeoutMs)
{
    if (!isValid())
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    collect(0);
    while (counter < count && !deadline.hasExpired())
        collect(static_cast<int>(deadline.remainingTime()));
    return counter >= count;
}

bool FileOpenWatch::waitForOpens(int count, int timeoutMs)
{
    return waitUntil(m_opens, count, timeoutMs);
}

bool FileOpenWatch::waitForReads(int count, int timeoutMs)
{
    return waitUntil(m_reads, count, timeoutMs);
}

}  // namespace tolvex::test
