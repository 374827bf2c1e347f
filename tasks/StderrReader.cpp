#include "tasks/StderrReader.h"

#include "app/ConsoleLog.h"
#include "tasks/JobEndRecord.h"
#include "tasks/OutputTail.h"
#include "tasks/ProgressMath.h"
#include "tasks/ProgressParser.h"

#include <poll.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

namespace tolvex {

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<int64_t> g_readerCpuNanoseconds{0};

int64_t MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

int64_t ThreadCpuNanoseconds()
{
    timespec now{};
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
    copy->elapsedMs = progress.elapsedMs;
    return copy;
}

// Why a finished run did not leave a usable file; empty when it did.
std::string OutputProblem(const ReaderArgs& args, bool& tooLarge)
{
    const std::string& path = args.checkedOutput;
    if (path.empty())
        return {};
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return "ffmpeg wrote no output file";
    if (S_ISREG(info.st_mode) && info.st_size == 0)
        return "ffmpeg wrote an empty output file";
    if (args.outputLimit > 0 && info.st_size > args.outputLimit) {
        tooLarge = true;
        return args.tooLargeReason.empty() ? "the output file is too large" : args.tooLargeReason;
    }
    return {};
}

// One pass of the job: reads its pipe to the end (or until it stays silent too long) and
// posts the progress it finds.
class PassReader {
public:
    // `started`: when the job's first pass started (progress carries the time since then).
    PassReader(ReaderArgs& args, ProgressRecord& progress, size_t passIndex, size_t passCount,
               Clock::time_point started)
        : m_args(args), m_progress(progress), m_passIndex(passIndex), m_passCount(passCount), m_started(started)
    {
    }

    // Returns false when the pass stayed silent for the whole limit (it is killed then).
    bool read(int fd, ChildProcess& process)
    {
        ProgressParser parser([](std::string_view line) { ConsoleWrite(line); });
        std::vector<ParserEvent> events;
        char buffer[ProgressParser::kChunkSize + 1];
        Clock::time_point lastOutput = Clock::now();
        for (;;) {
            const auto waited = Clock::now() - lastOutput;
            if (waited >= m_args.silenceLimit) {
                process.kill();
                return false;
            }
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_args.silenceLimit - waited).count();
            pollfd ready{fd, POLLIN, 0};
            const int polled = ::poll(&ready, 1, static_cast<int>(std::min<int64_t>(left, INT_MAX)));
            if (polled < 0 && errno == EINTR)
                continue;
            if (polled == 0)
                continue;  // the limit is checked at the top
            if (polled < 0)
                return true;
            std::memset(buffer, 0, sizeof buffer);
            const ssize_t n = ::read(fd, buffer, ProgressParser::kChunkSize);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return true;
            lastOutput = Clock::now();
            const std::string_view chunk(buffer, static_cast<size_t>(n));
            m_tail.feed(chunk);
            events.clear();
            parser.feed(chunk, events);
            for (const auto& event : events) {
                switch (event.kind) {
                case ParserEvent::Kind::Duration:
                    m_durationMs = event.value;
                    setProgress(0, m_durationMs);
                    break;
                case ParserEvent::Kind::Position:
                    postProgress(event.value, m_durationMs);
                    break;
                case ParserEvent::Kind::Done:
                    // Only the pass's exit says it has written everything (a file name
                    // may hold these words too): see passEnded().
                    break;
                }
            }
        }
    }

    std::string lastLine() const { return m_tail.lastLine(); }

    // The pass exited well: its share of the bar is full.
    void passEnded() { postProgress(m_durationMs, m_durationMs); }

private:
    void setProgress(int32_t positionMs, int32_t durationMs)
    {
        const JobProgress job = PassProgress(m_passIndex, m_passCount, positionMs, durationMs);
        m_progress.positionMs = job.positionMs;
        m_progress.durationMs = job.durationMs;
    }

    void postProgress(int32_t positionMs, int32_t durationMs)
    {
        setProgress(positionMs, durationMs);
        m_progress.elapsedMs = MillisecondsSince(m_started);
        QObject* receiver = m_args.mainWindow;
        m_args.control->postIfLive([&] { PostMessageTo(receiver, WM_TASK_PROGRESS, CopyProgress(m_progress)); });
    }

    ReaderArgs& m_args;
    ProgressRecord& m_progress;
    const size_t m_passIndex;
    const size_t m_passCount;
    const Clock::time_point m_started;
    int32_t m_durationMs = 0;
    OutputTail m_tail;
};

// Reports the job's end: to the engine, or without one straight to the receiver.
void PostEnding(const ReaderArgs& args, bool done, const std::string& failure, const ProgressRecord& progress)
{
    auto record = std::make_unique<JobEndRecord>();
    record->taskId = args.taskId;
    record->pageKind = static_cast<int32_t>(args.pageKind);
    record->jobSerial = args.serial;
    record->done = done;
    record->reason = failure;
    record->progress = CopyProgress(progress);
    record->control = args.control;
    if (args.engine) {
        PostMessageTo(args.engine, kJobEndedMessage, std::move(record));
        return;
    }
    EndMessage message = FrontEndMessage(*record);
    PostMessageTo(args.mainWindow, message.number, std::move(message.record));
}

}  // namespace

void StderrReader(ReaderArgs args)
{
    const Clock::time_point started = Clock::now();
    JobControl& control = *args.control;
    const int32_t pageKind = static_cast<int32_t>(args.pageKind);
    const size_t passCount = args.laterPasses.size() + 1;

    ProgressRecord progress;
    progress.taskId = args.taskId;
    progress.pageKind = pageKind;

    std::string failure;
    std::shared_ptr<ChildProcess> process = args.process;
    UniqueFd pipe = std::move(args.readPipe);
    for (size_t pass = 0; pass < passCount; ++pass) {
        if (pass > 0) {
            if (pass + 1 == passCount && args.beforeLastPass) {
                failure = args.beforeLastPass(args.laterPasses[pass - 1]);
                if (!failure.empty()) {
                    process = nullptr;
                    break;
                }
            }
            process = args.job->start(args.laterPasses[pass - 1], pipe, failure);
            if (!process)
                break;  // stopped, or the pass could not start (`failure` says why)
        }
        PassReader reader(args, progress, pass, passCount, started);
        const bool answered = reader.read(pipe.get(), *process);
        pipe.reset();
        const ExitStatus status = process->waitForExit();
        if (!answered) {
            failure = "ffmpeg stopped responding";
            break;
        }
        if (!status.success()) {
            failure = status.describe();
            if (const std::string line = reader.lastLine(); !line.empty())
                failure += ": " + line;
            break;
        }
        reader.passEnded();
    }

    // Every process of the job has been reaped: its files can be settled.
    if (!control.stopped() && failure.empty() && process) {
        bool tooLarge = false;
        failure = OutputProblem(args, tooLarge);
        // A file over its limit is not kept, even where the job's outputs do not own its
        // name: its ffmpeg, which overwrites nothing there, has just written it.
        if (tooLarge && args.outputs->output() != args.checkedOutput)
            ::unlink(args.checkedOutput.c_str());
    }
    // Keep or discard, and the report, under the control's lock: a stop that comes first
    // discards the files, one that comes later finds the ending decided. Without an
    // engine the report goes straight to the receiver, and nothing can void it.
    const bool done = failure.empty() && process;
    progress.elapsedMs = MillisecondsSince(started);
    control.end(
        done, args.outputs, [&] { PostEnding(args, done, failure, progress); }, args.engine == nullptr);
    g_readerCpuNanoseconds.fetch_add(ThreadCpuNanoseconds(), std::memory_order_relaxed);
    control.markReaderFinished();
}

int64_t TotalReaderCpuNanoseconds()
{
    return g_readerCpuNanoseconds.load(std::memory_order_relaxed);
}

}  // namespace tolvex
