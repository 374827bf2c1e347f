#include "program/CrashReport.h"

#include <glog/logging.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>

namespace tolvex {

namespace {

// Prepared before any crash: the signal handler may not allocate.
char g_reportPath[4096];
int g_reportFd = -1;

void WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written <= 0)
            return;
        data += written;
        size -= static_cast<size_t>(written);
    }
}

// glog calls this once per line of the failure dump.
void WriteCrashReport(const char* data, size_t size)
{
    if (g_reportFd < 0 && g_reportPath[0] != '\0')
        g_reportFd = ::open(g_reportPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (g_reportFd >= 0)
        WriteAll(g_reportFd, data, size);
    WriteAll(STDERR_FILENO, data, size);
}

}  // namespace

void CrashReport::install(const QString& reportPath)
{
    const QByteArray path = reportPath.toLocal8Bit();
    const size_t length = std::min(static_cast<size_t>(path.size()), sizeof(g_reportPath) - 1);
    std::memcpy(g_reportPath, path.constData(), length);
    g_reportPath[length] = '\0';

    google::InstallFailureSignalHandler();
    google::InstallFailureWriter(&WriteCrashReport);
    // A termination request is an ordinary end, not a crash: keep its default action.
    ::signal(SIGTERM, SIG_DFL);
}

}  // namespace tolvex
