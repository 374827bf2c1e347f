#include "tasks/StderrReader.h"

#include "app/ConsoleLog.h"
#include "tasks/ProgressParser.h"

#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

namespace tolvex {

namespace {

std::atomic<int64_t> g_readerCpuNanoseconds{0};

int64_t ThreadCpuNanoseconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

std::unique_ptr<ProgressRecord> CopyProgress(const ProgressRecord& progress)
{
    auto copy = std::make_unique<ProgressRecord>();
    copy->taskId = progress.taskId;
    copy->durationMs = progress.durationMs;
    copy->positionMs = progress.positionMs;
    copy->pageKind = progress.pageKind;
    return copy;
}

}  // namespace

void StderrReader(ReaderArgs args)
{
    QObject* const receiver = args.mainWindow;
    JobControl& control = *args.control;
    const int32_t pageKind = static_cast<int32_t>(args.pageKind);

    ProgressRecord progress;
    progress.taskId = args.taskId;
    progress.pageKind = pageKind;

    auto postDone = [&] {
        control.postIfLive(
            [&] {
                auto record = std::make_unique<CompletionRecord>();
                record->taskId = args.taskId;
                record->progress = CopyProgress(progress);
                record->pageKind = pageKind;
                PostMessageTo(receiver, WM_TASK_DONE, std::move(record));
            },
            true);
    };

    ProgressParser parser([](std::string_view line) { ConsoleWrite(line); });
    std::vector<ParserEvent> events;
    char buffer[ProgressParser::kChunkSize + 1];
    for (;;) {
        std::memset(buffer, 0, sizeof buffer);
        const ssize_t n = ::read(args.readPipe.get(), buffer, ProgressParser::kChunkSize);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        events.clear();
        parser.feed(std::string_view(buffer, static_cast<size_t>(n)), events);
        for (const auto& event : events) {
            switch (event.kind) {
            case ParserEvent::Kind::Duration:
                progress.durationMs = event.value;
                break;
            case ParserEvent::Kind::Position:
                progress.positionMs = event.value;
                control.postIfLive([&] { PostMessageTo(receiver, WM_TASK_PROGRESS, CopyProgress(progress)); }, false);
                break;
            case ParserEvent::Kind::Done:
                postDone();
                break;
            }
        }
    }
    args.readPipe.reset();

    const ExitStatus status = args.process->waitForExit();
    if (status.success()) {
        postDone();
    } else {
        control.postIfLive(
            [&] {
                auto record = std::make_unique<FailureRecord>();
                record->taskId = args.taskId;
                record->pageKind = pageKind;
                record->reason = status.describe();
                PostMessageTo(receiver, WM_TASK_FAILED, std::move(record));
            },
            true);
    }
    g_readerCpuNanoseconds.fetch_add(ThreadCpuNanoseconds(), std::memory_order_relaxed);
    control.markReaderFinished();
}

int64_t TotalReaderCpuNanoseconds()
{
    return g_readerCpuNanoseconds.load(std::memory_order_relaxed);
}

}  // namespace tolvex
