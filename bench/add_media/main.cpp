// bench-add-media: adds 300 short video files to the convert page of the real main window
// and measures the time until the last item shows and the longest stall of the UI event
// loop meanwhile, against the same probes and thumbnails run one after another. The
// serial run is split in two halves, one before and one after the window's run, so a
// machine whose speed drifts during the bench (a shared host) weighs on both sides alike.
// Runs with a display, or on the offscreen platform without one.
//
//   bench-add-media [files] [--window-only] [--no-journal] [--tree]
// `--window-only` skips the serial and the windowless runs (for profiling the window).
// `--tree` lays the files out in nested subfolders among 10,000 other entries (notes,
// pictures, hidden folders) and adds them as a person does: the folder button's scan of the
// top folder, the subfolder question answered "添加". The walk runs meanwhile, so the
// longest stall then also covers reading the tree.
// The window keeps its queue journal as the program does; `--no-journal` leaves it out, to
// see what keeping it costs.
// It also prints the program's peak resident memory and, from 200 files on, the UI
// thread's CPU time per item over the first and the last hundred items listed: a list
// whose cost per item grows with its length shows it there (try 1000 files).

#include "tasks/FfmpegLocator.h"
#include "tasks/MediaImport.h"
#include "tests/support/TestMedia.h"
#include "ui/common/MessageBoxDialog.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/SkinResources.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/MediaAdder.h"
#include "ui/main/QueueJournalKeeper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <sys/resource.h>
#include <time.h>

using namespace tolvex;

namespace {

constexpr int kDefaultFiles = 300;
// Items at each end of the list whose UI cost is compared.
constexpr int kCostSpan = 100;

// `part / whole`, with a whole of at least 1 ms.
double Ratio(double part, qint64 wholeMs)
{
    return part / static_cast<double>(std::max<qint64>(wholeMs, 1));
}

double Ms(const timeval& t)
{
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
}

// CPU time of the calling thread so far, in milliseconds: user and system.
struct ThreadCpu {
    double user = 0;
    double system = 0;
};
ThreadCpu ThreadCpuMs()
{
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    return {Ms(usage.ru_utime), Ms(usage.ru_stime)};
}

double ThreadCpuTotalMs()
{
    const ThreadCpu cpu = ThreadCpuMs();
    return cpu.user + cpu.system;
}

// The largest resident set of this program so far, in MiB.
double PeakRssMb()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// CPU time so far of this program (all its threads) and of its reaped children (the
// thumbnail runs), in milliseconds.
struct TreeCpu {
    double program = 0;
    double children = 0;
    double total() const { return program + children; }
    TreeCpu operator-(const TreeCpu& start) const { return {program - start.program, children - start.children}; }
};
TreeCpu ProcessTreeCpuMs()
{
    rusage self{};
    rusage children{};
    ::getrusage(RUSAGE_SELF, &self);
    ::getrusage(RUSAGE_CHILDREN, &children);
    return {Ms(self.ru_utime) + Ms(self.ru_stime), Ms(children.ru_utime) + Ms(children.ru_stime)};
}

void PrintCpu(const char* run, const TreeCpu& cpu, qint64 wallMs)
{
    std::printf("cpu ms %s: %.0f (program %.0f, ffmpeg %.0f; %.2f cores busy)\n", run, cpu.total(), cpu.program,
                cpu.children, Ratio(cpu.total(), wallMs));
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

// Probes and thumbnails `paths[from..to)` one after another on this thread; returns the
// milliseconds taken.
qint64 ImportSerially(const QStringList& paths, int from, int to, const QTemporaryDir& thumbnails)
{
    const std::string ffmpeg = FfmpegProgramPath();
    QElapsedTimer serial;
    serial.start();
    for (int i = from; i < to; ++i) {
        MediaImportResult result;
        result.request.page = PageKind::Convert;
        result.request.fullPath = paths[i];
        result.request.thumbnail = true;
        result.thumbnailPath = thumbnails.filePath(QStringLiteral("t%1.jpg").arg(i));
        MediaImport::import(result, ffmpeg);
    }
    return serial.elapsed();
}

// Entries of the `--tree` layout that are not videos: the walk reads them and passes over them.
constexpr int kTreeOtherEntries = 10000;

// Puts `first`'s copies in subfolders of `top` ("day 01/set 1/clip-0001.mp4", ...) beside
// other files, and returns the videos' paths.
QStringList MakeTree(const QString& top, const QString& first, int fileCount)
{
    QStringList paths;
    for (int i = 0; i < fileCount; ++i) {
        const QString folder =
            QStringLiteral("%1/day %2/set %3").arg(top).arg(i % 20 + 1, 2, 10, QLatin1Char('0')).arg(i % 3 + 1);
        QDir().mkpath(folder);
        const QString path = QStringLiteral("%1/clip-%2.mp4").arg(folder).arg(i, 4, 10, QLatin1Char('0'));
        QFile::copy(first, path);
        paths << path;
    }
    for (int i = 0; i < kTreeOtherEntries; ++i) {
        const QString folder = QStringLiteral("%1/%2 %3")
                                   .arg(top, i % 10 == 0 ? QStringLiteral(".cache") : QStringLiteral("notes"))
                                   .arg(i % 50);
        QDir().mkpath(folder);
        QFile note(QStringLiteral("%1/note-%2.txt").arg(folder).arg(i));
        note.open(QIODevice::WriteOnly);
    }
    return paths;
}

// Presses "添加" in the subfolder question once it shows.
void AnswerSubfolderQuestion()
{
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<MessageBoxDialog*>(widget);
            auto* confirm =
                box && box->isVisible() ? box->findChild<QAbstractButton*>(QStringLiteral("msgConfirm")) : nullptr;
            if (!confirm)
                continue;
            timer->stop();
            timer->deleteLater();
            confirm->click();
            return;
        }
    });
    timer->start();
}

}  // namespace

int main(int argc, char** argv)
{
    int fileCount = kDefaultFiles;
    bool windowOnly = false;
    bool withJournal = true;
    bool tree = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--window-only")
            windowOnly = true;
        else if (arg == "--no-journal")
            withJournal = false;
        else if (arg == "--tree")
            tree = true;
        else if (std::atoi(arg.c_str()) > 0)
            fileCount = std::atoi(arg.c_str());
    }
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
    const QString top = media.filePath(QStringLiteral("Camera card"));
    QStringList paths;
    if (tree) {
        paths = MakeTree(top, first, fileCount);
        QFile::remove(first);
    } else {
        paths << first;
        for (int i = 1; i < fileCount; ++i) {
            const QString path = media.filePath(QStringLiteral("clip-%1.mp4").arg(i, 3, 10, QLatin1Char('0')));
            QFile::copy(first, path);
            paths << path;
        }
    }

    SkinResources::setSkinFolder(QStringLiteral(TOLVEX_SKIN_DIR));
    QPointer<CMainWnd> window = new CMainWnd;
    if (!window->Create(nullptr, QStringLiteral("TOLVEX视频转换"), WS_OVERLAPPEDWINDOW)) {
        std::fprintf(stderr, "cannot create the main window\n");
        return 1;
    }
    window->ShowWindow();
    // The window keeps its journal as the program's does: every listed file is saved in it.
    QueueJournalKeeper* journal = withJournal ? StartQueueJournal(*window) : nullptr;
    RunUntil([] { return false; }, 300);
    MediaAdder* adder = window->handler<MediaAdder>();
    int failed = 0;
    adder->setFailureNotice([&failed](const QString&, const QStringList& names) { failed += names.size(); });

    // The event loop's heartbeat: the longest gap between two ticks is the longest stall.
    QElapsedTimer beat;
    qint64 lastBeat = 0;
    qint64 longestStall = 0;
    // The UI thread's CPU time when the list first held 0, kCostSpan, fileCount - kCostSpan
    // and fileCount items, read as the count passes each mark (listing goes a few items at
    // a time, so a mark is read at most one batch late).
    CListUI* list = window->pageList(PageKind::Convert);
    const int marks[] = {0, kCostSpan, fileCount - kCostSpan, fileCount};
    double cpuAtMark[4] = {-1, -1, -1, -1};
    int countAtMark[4] = {0, 0, 0, 0};
    const auto noteMarks = [&] {
        const int count = list->count();
        for (int i = 0; i < 4; ++i) {
            if (cpuAtMark[i] < 0 && count >= marks[i]) {
                cpuAtMark[i] = ThreadCpuTotalMs();
                countAtMark[i] = count;
            }
        }
    };
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(2);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = beat.elapsed();
        longestStall = std::max(longestStall, now - lastBeat);
        lastBeat = now;
        noteMarks();
    });

    // The first half of the same work, one file after another, on this thread.
    QTemporaryDir thumbnails;
    const qint64 serialFirstHalfMs = ImportSerially(paths, 0, windowOnly ? 0 : fileCount / 2, thumbnails);

    QElapsedTimer total;
    beat.start();
    heartbeat.start();
    total.start();
    const ThreadCpu uiCpuStart = ThreadCpuMs();
    const TreeCpu treeCpuStart = ProcessTreeCpuMs();
    noteMarks();
    if (tree) {
        AnswerSubfolderQuestion();
        adder->addFolder(PageKind::Convert, top);
        RunUntil([&] { return list->count() + failed >= fileCount && adder->pendingCount() == 0; }, 600000);
    } else {
        adder->addFiles(PageKind::Convert, paths);
        RunUntil([adder] { return adder->pendingCount() == 0; }, 600000);
    }
    noteMarks();
    const qint64 totalMs = total.elapsed();
    const ThreadCpu uiCpuEnd = ThreadCpuMs();
    const double uiUserMs = uiCpuEnd.user - uiCpuStart.user;
    const double uiSystemMs = uiCpuEnd.system - uiCpuStart.system;
    const double uiCpuMs = uiUserMs + uiSystemMs;
    const TreeCpu treeCpu = ProcessTreeCpuMs() - treeCpuStart;
    heartbeat.stop();
    const int items = list->count();
    const int journalWrites = journal ? journal->writeCount() : 0;
    window->Close();
    RunUntil([&window] { return window.isNull(); }, 5000);

    // The second half of the same work, one file after another.
    const int serialEnd = windowOnly ? fileCount / 2 : fileCount;
    const qint64 serialMs = serialFirstHalfMs + ImportSerially(paths, fileCount / 2, serialEnd, thumbnails);

    // The machine's own ceiling: the same work on the same number of import threads, with
    // no window taking results.
    QTemporaryDir bareFolder;
    QObject bareReceiver;
    qint64 bareMs = 0;
    TreeCpu bareCpu;
    int workers = 0;
    {
        MediaImport bare(&bareReceiver, FfmpegProgramPath(), bareFolder.path());
        workers = bare.workerCount();
        std::vector<MediaImportRequest> requests;
        for (const QString& path : paths) {
            MediaImportRequest request;
            request.page = PageKind::Convert;
            request.fullPath = path;
            request.thumbnail = true;
            requests.push_back(request);
        }
        QElapsedTimer timer;
        timer.start();
        const TreeCpu cpuStart = ProcessTreeCpuMs();
        if (!windowOnly)
            bare.submit(requests);
        RunUntil([&bare] { return bare.pending() == 0; }, 600000);
        bareMs = timer.elapsed();
        bareCpu = ProcessTreeCpuMs() - cpuStart;
    }

    const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
    std::printf("files: %d, items shown: %d, not added: %d, cores: %u, platform: %s\n", fileCount, items, failed, cores,
                qPrintable(QGuiApplication::platformName()));
    std::printf("total ms: %lld, serial ms: %lld\n", static_cast<long long>(totalMs), static_cast<long long>(serialMs));
    std::printf("the same without the window, %d import threads: %lld ms (serial / that: %.2f)\n", workers,
                static_cast<long long>(bareMs), Ratio(static_cast<double>(serialMs), bareMs));
    std::printf("UI thread cpu ms: %.0f (%.2f per item; user %.0f, system %.0f)\n", uiCpuMs, uiCpuMs / fileCount,
                uiUserMs, uiSystemMs);
    PrintCpu("during the window's run", treeCpu, totalMs);
    PrintCpu("without the window", bareCpu, bareMs);
    std::printf("peak rss mb: %.0f\n", PeakRssMb());
    std::printf("queue journal writes: %d\n", journalWrites);
    if (fileCount >= 2 * kCostSpan && items == fileCount) {
        const auto perItem = [&](int from, int to) {
            return (cpuAtMark[to] - cpuAtMark[from]) / std::max(1, countAtMark[to] - countAtMark[from]);
        };
        const double first = perItem(0, 1);
        const double last = perItem(2, 3);
        std::printf("ui cpu ms per item: first %d %.2f, last %d %.2f (last / first: %.2f)\n", kCostSpan, first,
                    kCostSpan, last, last / std::max(first, 0.001));
    }
    std::printf("serial / total: %.2f (goal: at least %u)\n", Ratio(static_cast<double>(serialMs), totalMs), cores);
    std::printf("longest stall ms: %lld\n", static_cast<long long>(longestStall));
    std::fflush(stdout);
    return items == fileCount ? 0 : 1;
}
