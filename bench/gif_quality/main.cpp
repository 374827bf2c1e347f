// How much the GIF page's GIFs look like the video: on generated clips (motion, colours that
// cycle, a fractal zoom, slow gradients) the described command and the best picture
// ("画质优先") are run on the same three seconds, and each GIF is measured against the
// source's frames at the GIF's size and rate (SSIM) and by its size. The last line gives
// the best picture on the motion clip against its goal.
//
// usage: bench-gif-quality

#include "app/ConsoleLog.h"
#include "tasks/ClipCommands.h"
#include "tasks/FfmpegLocator.h"
#include "tests/support/GifLikeness.h"
#include "tests/support/TestMedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace tolvex;
using Clock = std::chrono::steady_clock;

struct Content {
    const char* name;
    const char* source;  // a lavfi source of 5 seconds at 480x270, 25 frames a second
};

const Content kContents[] = {
    {"motion", "testsrc2=size=480x270:rate=25:duration=5"},
    {"colour cycling", "testsrc2=size=480x270:rate=25:duration=5,format=rgb24,hue=H=2*PI*t/2.5:s=0.6"},
    {"fractal", "mandelbrot=size=480x270:rate=25,trim=duration=5"},
    {"gradients", "gradients=s=480x270:r=25:d=5:speed=0.05:n=4:seed=1"},
};

struct Measure {
    bool ok = false;
    double ssim = 0.0;
    int64_t bytes = 0;
    double seconds = 0.0;
};

Measure MakeGif(const std::string& input, const QString& folder, const std::string& name, bool bestPicture)
{
    GifClip clip;
    clip.sourcePath = input;
    clip.outputName = name;
    clip.startText = "00:00:01";
    clip.endText = "00:00:04";
    clip.bestPicture = bestPicture;
    const std::vector<std::string> argv =
        BuildGifCommand(JobContext{FfmpegProgramPath(), folder, QTime::currentTime()}, clip).argv();
    Measure measure;
    const auto start = Clock::now();
    std::vector<std::string> args(argv.begin() + 1, argv.end());
    if (!test::RunFfmpeg(args))
        return measure;
    measure.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const QString gif = QDir(folder).filePath(QString::fromStdString(name));
    const auto ssim = test::GifSsim(gif, QString::fromStdString(input), 1.0, 4.0);
    measure.bytes = test::ReadGifFacts(gif).bytes;
    measure.ok = ssim.has_value() && measure.bytes > 0;
    measure.ssim = ssim.value_or(0.0);
    return measure;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SetConsoleTarget(ConsoleTarget::Silent);
    QTemporaryDir dir;
    std::printf("ffmpeg: %s\n", FfmpegProgramPath().c_str());
    std::printf("%-15s %-9s %-9s %-11s %-11s %-9s %s\n", "clip", "ssim", "ssim", "bytes", "bytes", "size", "seconds");
    std::printf("%-15s %-9s %-9s %-11s %-11s %-9s %s\n", "", "described", "best", "described", "best", "ratio",
                "described / best");
    int failures = 0;
    Measure motionPlain;
    Measure motionBest;
    for (const Content& content : kContents) {
        const std::string input = dir.filePath(QStringLiteral("%1.mp4").arg(content.name)).toStdString();
        if (!test::RunFfmpeg(
                {"-f", "lavfi", "-i", content.source, "-c:v", "libx264", "-pix_fmt", "yuv420p", "-b:v", "2M", input})) {
            ++failures;
            continue;
        }
        const Measure plain = MakeGif(input, dir.path(), std::string(content.name) + "-plain.gif", false);
        const Measure best = MakeGif(input, dir.path(), std::string(content.name) + "-best.gif", true);
        if (!plain.ok || !best.ok) {
            ++failures;
            continue;
        }
        std::printf("%-15s %-9.4f %-9.4f %-11lld %-11lld %-9.2f %.2f / %.2f\n", content.name, plain.ssim, best.ssim,
                    static_cast<long long>(plain.bytes), static_cast<long long>(best.bytes),
                    static_cast<double>(best.bytes) / static_cast<double>(plain.bytes), plain.seconds, best.seconds);
        if (std::string(content.name) == "motion") {
            motionPlain = plain;
            motionBest = best;
        }
    }
    if (!motionBest.ok) {
        std::printf("gif best picture: failed\n");
        return 1;
    }
    std::printf("gif best picture on motion: ssim %.4f (described %.4f; goal >= 0.99), size ratio %.2f (goal <= 1.5)\n",
                motionBest.ssim, motionPlain.ssim,
                static_cast<double>(motionBest.bytes) / static_cast<double>(motionPlain.bytes));
    return failures == 0 ? 0 : 1;
}
