// bench-add-media: adds 300 short video files to the convert page of the real main window
// and measures the time until the last item shows and the longest stall of the UI event
// loop meanwhile; then runs the same probes and thumbnails one after another for
// comparison. Runs with a display, or on the offscreen platform without one.

#include "tasks/FfmpegLocator.h"
#include "tasks/MediaImport.h"
#include "tests/support/TestMedia.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/SkinResources.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/MediaAdder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <thread>

#include <time.h>

using namespace tolvex;

namespace {

constexpr int kFiles = 300;

// CPU time of the calling thread so far, in milliseconds.
double ThreadCpuMs()
{
    timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Runs the event loop until `done` holds or `limitMs` passed. The loop sleeps between
// events as the program's own does: processEvents with a time limit never waits (it spins
// for the whole limit), which would take a core from the work being measured. A tick every
// few milliseconds bounds each wait so `done` and the limit are checked often.
void RunUntil(const std::function<bool()>& done, qint64 limitMs)
{
    QElapsedTimer timer;
    timer.start();
    QTimer tick;
    tick.start(5);
    while (!done() && timer.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window keeps its settings and thumbnails in a private home for the run.
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("Documents"));
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
    QApplication app(argc, argv);

    QTemporaryDir media;
    const QString first = media.filePath(QStringLiteral("clip-000.mp4"));
    if (!test::MakeVideo(first.toStdString(), 0.5, 320, 240)) {
        std::fprintf(stderr, "cannot make the test video\n");
        return 1;
    }
    QStringList paths{first};
    for (int i = 1; i < kFiles; ++i) {
        const QString path = media.filePath(QStringLiteral("clip-%1.mp4").arg(i, 3, 10, QLatin1Char('0')));
        QFile::copy(first, path);
        paths << path;
    }

    SkinResources::SetSkinFolder(QStringLiteral(TOLVEX_SKIN_DIR));
    QPointer<CMainWnd> window = new CMainWnd;
    if (!window->Create(nullptr, QStringLiteral("TOLVEX视频转换"), WS_OVERLAPPEDWINDOW)) {
        std::fprintf(stderr, "cannot create the main window\n");
        return 1;
    }
    window->ShowWindow();
    RunUntil([] { return false; }, 300);
    MediaAdder* adder = window->Handler<MediaAdder>();
    int failed = 0;
    adder->SetFailureNotice([&failed](const QStringList& names) { failed += names.size(); });

    // The event loop's heartbeat: the longest gap between two ticks is the longest stall.
    QElapsedTimer beat;
    qint64 lastBeat = 0;
    qint64 longestStall = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(2);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = beat.elapsed();
        longestStall = std::max(longestStall, now - lastBeat);
        lastBeat = now;
    });

    QElapsedTimer total;
    beat.start();
    heartbeat.start();
    total.start();
    const double uiCpuStart = ThreadCpuMs();
    adder->AddFiles(PageKind::Convert, paths);
    RunUntil([adder] { return adder->PendingCount() == 0; }, 600000);
    const qint64 totalMs = total.elapsed();
    const double uiCpuMs = ThreadCpuMs() - uiCpuStart;
    heartbeat.stop();
    const int items = window->PageList(PageKind::Convert)->count();
    window->Close();
    RunUntil([&window] { return window.isNull(); }, 5000);

    // The same work, one file after another, on this thread.
    QTemporaryDir thumbnails;
    const std::string ffmpeg = FfmpegProgramPath();
    QElapsedTimer serial;
    serial.start();
    for (int i = 0; i < kFiles; ++i) {
        MediaImportResult result;
        result.request.page = PageKind::Convert;
        result.request.fullPath = paths[i];
        result.request.thumbnail = true;
        result.thumbnailPath = thumbnails.filePath(QStringLiteral("t%1.jpg").arg(i));
        MediaImport::Import(result, ffmpeg);
    }
    const qint64 serialMs = serial.elapsed();

    const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
    std::printf("files: %d, items shown: %d, not added: %d, cores: %u, platform: %s\n", kFiles, items, failed, cores,
                qPrintable(QGuiApplication::platformName()));
    std::printf("total ms: %lld, serial ms: %lld\n", static_cast<long long>(totalMs), static_cast<long long>(serialMs));
    std::printf("longest stall ms: %lld\n", static_cast<long long>(longestStall));
    std::printf("UI thread cpu ms: %.0f (%.2f per item)\n", uiCpuMs, uiCpuMs / kFiles);
    std::fflush(stdout);
    return items == kFiles ? 0 : 1;
}
