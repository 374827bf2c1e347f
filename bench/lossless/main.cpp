// What copying the tracks saves: the same 30 s cut out of a one-minute 1080p recording, and
// the same join of three 10 s parts, each run the described way (encoding again) and the
// lossless way, one after the other in one run, with the commands the jobs run. The goal
// is that the lossless job takes at most a tenth of the time.
//
// usage: bench-lossless [WIDTHxHEIGHT]   (default 1920x1080)

#include "app/Helpers.h"
#include "tasks/ChildProcess.h"
#include "tasks/ClipCommands.h"
#include "tasks/FfmpegLocator.h"
#include "tasks/LosslessCommands.h"
#include "tasks/MergeCommand.h"
#include "tests/support/TestMedia.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace tolvex;
using Clock = std::chrono::steady_clock;

// A recording as cameras write it: H.264 with a key frame every 2 s, AAC sound.
bool MakeRecording(const std::string& path, int seconds, const std::string& size, int hz)
{
    const std::string duration = std::to_string(seconds);
    return test::RunFfmpeg(
        {"-f",       "lavfi",
         "-i",       "testsrc2=size=" + size + ":rate=25:duration=" + duration,
         "-f",       "lavfi",
         "-i",       "sine=frequency=" + std::to_string(hz) + ":sample_rate=48000:duration=" + duration,
         "-c:v",     "libx264",
         "-preset",  "veryfast",
         "-g",       "50",
         "-pix_fmt", "yuv420p",
         "-c:a",     "aac",
         "-b:a",     "128k",
         path});
}

// Runs one command to its end, draining its output; the wall time in seconds, or -1 when
// it failed.
double Timed(const CommandLine& command)
{
    const auto start = Clock::now();
    UniqueFd pipe;
    std::string error;
    auto process = ChildProcess::spawn(command.argv(), pipe, error);
    if (!process)
        return -1.0;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(pipe.get(), buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
    }
    if (!process->waitForExit().success())
        return -1.0;
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool Write(const QString& path, const std::string& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
}

void Report(const char* what, double encoded, double lossless)
{
    std::printf("%s: encoding again %.2f s, lossless %.2f s, ratio %.3f (goal <= 0.1)\n", what, encoded, lossless,
                encoded > 0.0 ? lossless / encoded : -1.0);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::string size = argc > 1 ? argv[1] : "1920x1080";
    QTemporaryDir folder;
    const auto path = [&](const char* name) { return folder.filePath(QString::fromLatin1(name)).toStdString(); };
    const JobContext context{FfmpegProgramPath(), folder.path(), QTime(12, 0, 0)};
    std::printf("ffmpeg: %s, picture %s\n", FfmpegProgramPath().c_str(), size.c_str());

    // The cut: 10 s to 40 s of a minute.
    const std::string source = path("recording.mp4");
    if (!MakeRecording(source, 60, size, 440)) {
        std::fprintf(stderr, "cannot make the recording\n");
        return 1;
    }
    const auto sep = size.find('x');
    SplitClip clip;
    clip.sourcePath = source;
    clip.startText = "00:00:10";
    clip.endText = "00:00:40";
    clip.cropWidth = std::stoi(size.substr(0, sep));
    clip.cropHeight = std::stoi(size.substr(sep + 1));
    clip.outputName = "cut-encoded.mp4";
    const double cutEncoded = Timed(BuildSplitCommand(context, clip));
    clip.outputName = "cut-lossless.mp4";
    const double cutLossless = Timed(BuildLosslessSplitCommand(context, clip, 10.0));
    Report("cut 30 s", cutEncoded, cutLossless);

    // The join: three 10 s parts.
    std::vector<MergeSource> sources;
    std::vector<std::string> paths;
    for (int i = 1; i <= 3; ++i) {
        paths.push_back(path(("part" + std::to_string(i) + ".mp4").c_str()));
        if (!MakeRecording(paths.back(), 10, size, 220 * i)) {
            std::fprintf(stderr, "cannot make part %d\n", i);
            return 1;
        }
        sources.push_back(
            MergeSource{QString::fromStdString(paths.back()), clip.cropWidth, clip.cropHeight, 0, 10.0, true, 1});
    }
    MergeSettings settings{QStringLiteral("mp4"), QStringLiteral("自动")};
    const MergeJob encoded = BuildMergeJob(context, sources, settings);
    const double joinEncoded = Timed(encoded.command);
    const QString list = folder.filePath(QStringLiteral("list.txt"));
    const QString chapters = folder.filePath(QStringLiteral("chapters.txt"));
    if (!Write(list, ConcatListText(paths).value_or("")) || !Write(chapters, ChaptersText(MergeChapters(sources)))) {
        std::fprintf(stderr, "cannot write the join's list\n");
        return 1;
    }
    const JobContext later{context.ffmpegPath, context.outputFolder, QTime(12, 0, 1)};
    const MergeJob lossless =
        BuildLosslessMergeJob(later, sources, settings, list.toStdString(), chapters.toStdString());
    const double joinLossless = Timed(lossless.command);
    Report("join 3 x 10 s", joinEncoded, joinLossless);
    const bool failed = cutEncoded < 0 || cutLossless < 0 || joinEncoded < 0 || joinLossless < 0;
    if (failed)
        std::fprintf(stderr, "a job failed\n");
    return failed ? 1 : 0;
}
