#include "tasks/ThumbnailMaker.h"

#include "app/ConsoleLog.h"
#include "app/Helpers.h"
#include "tasks/ChildProcess.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace tolvex {

QString ThumbnailMaker::thumbnailPath(const QString& tempFolder, const QString& fileName, const QDateTime& time)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? fileName : fileName.left(dot);
    QString folder = tempFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const std::string tail = "-thumbnail-" + time.toString(QStringLiteral("yyyyMMddHHmmss")).toStdString() + ".jpg";
    return folder + QString::fromStdString(FittedName(ToNarrowUtf8(stem), tail, kMaxFileNameBytes - kNumberingRoom));
}

CommandLine ThumbnailMaker::command(const std::string& ffmpegPath, const QString& input, const QString& thumbnail)
{
    CommandLine command(ffmpegPath);
    command.add("-i").addQuoted(ToNarrowUtf8(input));
    command.add("-y").add("-f").add("image2").add("-t").add("0.001").add("-s").add("120x70");
    // One picture under exactly this name: without single-image mode the image writer
    // reads "%d" (or any "%") in the name as a frame-number pattern.
    command.add("-update").add("1");
    command.addQuoted(ToNarrowUtf8(thumbnail));
    return command;
}

ThumbnailResult ThumbnailMaker::run(const CommandLine& command, int timeLimitMs, const std::atomic<bool>* abort)
{
    ThumbnailResult result;
    UniqueFd output;
    std::shared_ptr<ChildProcess> process = ChildProcess::spawn(command.argv(), output, result.error);
    if (!process) {
        result.outcome = ThumbnailResult::Outcome::NotStarted;
        return result;
    }

    // The output is drained (and dropped) so ffmpeg never stalls on a full pipe; its end
    // means the process has gone.
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeLimitMs);
    bool ended = false;
    char buffer[4096];
    while (!ended) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || (abort && abort->load()))
            break;
        // Short slices, so an abort is seen quickly.
        pollfd watch{output.get(), POLLIN, 0};
        const int ready = ::poll(&watch, 1, static_cast<int>(std::min<long long>(left, 50)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            break;
        if (ready == 0)
            continue;
        const ssize_t n = ::read(output.get(), buffer, sizeof buffer);
        if (n == 0)
            ended = true;
        else if (n < 0 && errno != EINTR && errno != EAGAIN)
            ended = true;
    }

    if (!ended) {
        process->kill();
        process->waitForExit();
        result.outcome = ThumbnailResult::Outcome::Overran;
        if (!(abort && abort->load()))
            ConsoleLog("thumbnail overran %d ms: killed\n", static_cast<int>(timeLimitMs));
        return result;
    }
    const ExitStatus status = process->waitForExit();
    result.exitCode = status.exited ? status.code : -1;
    result.outcome = status.success() ? ThumbnailResult::Outcome::Made : ThumbnailResult::Outcome::Failed;
    return result;
}

}  // namespace tolvex
