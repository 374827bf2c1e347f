// bench-player: plays a 10-second 1080p H.264 file (made at run time) with the preview
// player into a video area, then the same file with `ffplay -autoexit` at the same window
// size, and compares the processor time each needed. Needs an X display (xvfb-run) and
// uses SDL's dummy audio driver for both.
//
// Output: frames shown against frames expected, the gap between the picture's and the
// sound's clock while playing (median and 95th percentile), the processor seconds of each,
// and as the last line "cpu ratio vs ffplay: R" (ours / ffplay's; lower is better).

#include "player/PreviewPlayer.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/TestMedia.h"
#include "ui/clip/CVideoArea.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

constexpr int kSeconds = 10;
constexpr int kFrameRate = 25;
constexpr int kAreaWidth = 960;
constexpr int kAreaHeight = 540;

double CpuSeconds(const rusage& usage)
{
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct ChildResult {
    int status = -1;
    double cpuSeconds = 0;
    double wallSeconds = 0;
};

// Runs a program (no shell) and returns its exit status and processor time.
ChildResult RunChild(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ChildResult result;
    QElapsedTimer wall;
    wall.start();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return result;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.cpuSeconds = CpuSeconds(usage);
    result.wallSeconds = wall.elapsed() / 1000.0;
    return result;
}

double SelfCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return CpuSeconds(usage);
}

using tolvex::test::Pump;

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "bench-player needs an X display: run it under xvfb-run\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const std::string file = dir.filePath("bench1080.mp4").toStdString();
    std::printf("making %d s of 1920x1080 H.264 at %d fps...\n", kSeconds, kFrameRate);
    std::fflush(stdout);
    const std::string duration = std::to_string(kSeconds);
    const bool made =
        tolvex::test::RunFfmpeg({"-v",        "error",
                                 "-f",        "lavfi",
                                 "-i",        "testsrc2=s=1920x1080:r=" + std::to_string(kFrameRate) + ":d=" + duration,
                                 "-f",        "lavfi",
                                 "-i",        "sine=f=440:r=44100:d=" + duration,
                                 "-ac",       "2",
                                 "-c:v",      "libx264",
                                 "-preset",   "veryfast",
                                 "-pix_fmt",  "yuv420p",
                                 "-c:a",      "aac",
                                 "-shortest", file});
    if (!made) {
        std::fprintf(stderr, "ffmpeg could not make the test file\n");
        return 1;
    }

    // Our player.
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* area = new tolvex::CVideoArea(&window);
    layout->addWidget(area);
    window.resize(kAreaWidth, kAreaHeight);
    window.show();
    Pump(300);

    std::atomic<bool> ended{false};
    tolvex::PreviewPlayer player(area);
    player.SetEndOfMediaCallback([&](void*) { ended = true; }, nullptr);
    player.setNotifyAtEnd(true);
    const double cpu0 = SelfCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    if (player.Open(file) != 0) {
        std::fprintf(stderr, "the preview player could not open the file\n");
        return 1;
    }
    qint64 nextReport = 1000;
    std::vector<double> gaps;
    while (!ended && wall.elapsed() < (kSeconds + 10) * 1000) {
        Pump(20);
        const double video = player.videoClock();
        const double audio = player.audioClock();
        if (player.CurrentPosition() > 0.5 && !std::isnan(video) && !std::isnan(audio))
            gaps.push_back(std::fabs(video - audio));
        if (wall.elapsed() >= nextReport) {
            std::printf("  %5.1f s: position %5.2f, %ld frames\n", wall.elapsed() / 1000.0, player.CurrentPosition(),
                        player.statistics().framesShown.load());
            nextReport += 1000;
        }
    }
    const double ourWall = wall.elapsed() / 1000.0;
    const long shown = player.statistics().framesShown.load();
    const std::string renderer = player.rendererName();
    player.Close();
    const double ourCpu = SelfCpuSeconds() - cpu0;
    window.hide();
    Pump(100);

    // ffplay on the same file and window size.
    const ChildResult ffplay = RunChild({"ffplay", "-autoexit", "-loglevel", "error", "-x", std::to_string(kAreaWidth),
                                         "-y", std::to_string(kAreaHeight), file});
    if (ffplay.status != 0)
        std::fprintf(stderr, "ffplay ended with status %d\n", ffplay.status);

    const int expected = kSeconds * kFrameRate;
    std::printf("renderer: %s\n", renderer.c_str());
    std::printf("frames shown: %ld of %d expected (%.1f%%)\n", shown, expected, 100.0 * shown / expected);
    std::sort(gaps.begin(), gaps.end());
    if (!gaps.empty())
        std::printf("A/V gap over %zu samples: median %.1f ms, 95%% %.1f ms\n", gaps.size(),
                    gaps[gaps.size() / 2] * 1000, gaps[gaps.size() * 95 / 100] * 1000);
    std::printf("preview player: %.2f s cpu over %.2f s\n", ourCpu, ourWall);
    std::printf("ffplay:         %.2f s cpu over %.2f s\n", ffplay.cpuSeconds, ffplay.wallSeconds);
    std::printf("cpu ratio vs ffplay: %.2f\n", ffplay.cpuSeconds > 0 ? ourCpu / ffplay.cpuSeconds : 0.0);
    return 0;
}
