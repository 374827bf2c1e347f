#include "app/ConsoleLog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace tolvex {

namespace {

std::atomic<ConsoleTarget> g_target{ConsoleTarget::StandardOutput};
std::atomic<bool> g_quiet{false};

FILE* TargetStream()
{
    switch (g_target.load(std::memory_order_relaxed)) {
    case ConsoleTarget::StandardOutput:
        return stdout;
    case ConsoleTarget::StandardError:
        return stderr;
    case ConsoleTarget::Silent:
        break;
    }
    return nullptr;
}

void WriteLine(FILE* stream, const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (size > 0) {
        std::string line(static_cast<size_t>(size) + 1, '\0');
        std::vsnprintf(line.data(), line.size(), format, args);
        line.resize(static_cast<size_t>(size));
        // One fwrite per line: stdio's stream lock keeps lines of different threads apart.
        std::fwrite(line.data(), 1, line.size(), stream);
        std::fflush(stream);
    }
}

}  // namespace

void SetConsoleQuiet(bool quiet)
{
    g_quiet.store(quiet, std::memory_order_relaxed);
}

void SetConsoleTarget(ConsoleTarget target)
{
    g_target.store(target, std::memory_order_relaxed);
}

ConsoleTarget CurrentConsoleTarget()
{
    return g_target.load(std::memory_order_relaxed);
}

void ConsoleLog(const char* format, ...)
{
    FILE* stream = TargetStream();
    if (!stream || g_quiet.load(std::memory_order_relaxed))
        return;
    va_list args;
    va_start(args, format);
    WriteLine(stream, format, args);
    va_end(args);
}

void ConsoleError(const char* format, ...)
{
    FILE* stream = TargetStream();
    if (!stream)
        return;
    va_list args;
    va_start(args, format);
    WriteLine(stream, format, args);
    va_end(args);
}

void ConsoleWrite(std::string_view text)
{
    FILE* stream = TargetStream();
    if (!stream || text.empty() || g_quiet.load(std::memory_order_relaxed))
        return;
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

}  // namespace tolvex
