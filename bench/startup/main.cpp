// bench-startup: the time from launching the program to its main window shown (first paint
// over, event loop waiting), against the floor: a bare Qt Widgets window with one label
// started the same way. Both write their pid to TOLVEX_READY_FILE at that moment; here that
// file is a FIFO, so the bench sleeps in poll() until the line comes instead of looking for
// a file. Needs an X display (xvfb-run); both run on xcb, with their own home and data
// folders, and are ended with SIGTERM after each start. The first start of each is a
// warm-up (disk cache, font cache) and is not counted; the others alternate.
//
// Output: the median and the fastest start of each, with the processor time each had used by
// then (all its threads; steadier than the wall clock on a busy machine), the time a second
// start of the program takes to hand over to the running one, and as the last line
// "start-up ratio vs bare window: R" (program / bare window, medians of the wall-clock
// times; lower is better).

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kCountedStarts = 9;
constexpr int kReadyTimeoutMs = 30000;

double NowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The bench's environment with these variables set (replacing any of the same name).
class Environment {
public:
    void set(const std::string& name, const std::string& value) { m_overrides.push_back(name + "=" + value); }

    std::vector<char*> block()
    {
        m_strings.clear();
        for (char** e = environ; *e; ++e) {
            const std::string entry(*e);
            const bool replaced = std::any_of(m_overrides.begin(), m_overrides.end(), [&](const std::string& o) {
                return entry.compare(0, o.find('=') + 1, o, 0, o.find('=') + 1) == 0;
            });
            if (!replaced)
                m_strings.push_back(entry);
        }
        m_strings.insert(m_strings.end(), m_overrides.begin(), m_overrides.end());
        std::vector<char*> pointers;
        for (std::string& s : m_strings)
            pointers.push_back(s.data());
        pointers.push_back(nullptr);
        return pointers;
    }

private:
    std::vector<std::string> m_overrides;
    std::vector<std::string> m_strings;
};

pid_t Spawn(const std::string& program, Environment& environment)
{
    std::string arg0 = program;
    char* argv[] = {arg0.data(), nullptr};
    std::vector<char*> env = environment.block();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, env.data()) != 0)
        return -1;
    return pid;
}

// Waits for the process to end; SIGKILL after `graceMs`. Its exit status, -1 when killed.
int Reap(pid_t pid, int graceMs)
{
    const double deadline = NowMs() + graceMs;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (NowMs() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        usleep(5000);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Milliseconds from the launch of `program` to its ready line in `fifo`; the program is left
// running in *pid. Negative when it did not get there.
double TimeStart(const std::string& program, Environment& environment, int fifo, pid_t* pid)
{
    const double start = NowMs();
    *pid = Spawn(program, environment);
    if (*pid < 0)
        return -1;
    pollfd ready{fifo, POLLIN, 0};
    if (poll(&ready, 1, kReadyTimeoutMs) != 1)
        return -1;
    const double took = NowMs() - start;
    char line[64];
    while (read(fifo, line, sizeof line) > 0) {
    }
    return took;
}

// Milliseconds of processor time the process has used so far, summed over its threads.
double CpuMs(pid_t pid)
{
    double total = 0;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks + QLatin1Char('/') + task + QStringLiteral("/schedstat"));
        if (stat.open(QIODevice::ReadOnly))
            total += stat.readAll().split(' ').value(0).toDouble() / 1e6;
    }
    return total;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Subject {
    const char* label;
    std::string program;
    std::vector<double> starts;
    std::vector<double> cpu;
};

}  // namespace

int main()
{
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "bench-startup needs an X display: run it under xvfb-run\n");
        return 2;
    }
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("Documents"));
    const std::string fifoPath = home.filePath(QStringLiteral("ready")).toStdString();
    if (mkfifo(fifoPath.c_str(), 0600) != 0) {
        std::fprintf(stderr, "mkfifo: %s\n", std::strerror(errno));
        return 1;
    }
    // Opened for reading and writing, so that it never reports an end while no program has
    // it open, and never blocks a program that opens it.
    const int fifo = open(fifoPath.c_str(), O_RDWR | O_NONBLOCK);
    if (fifo < 0) {
        std::fprintf(stderr, "open fifo: %s\n", std::strerror(errno));
        return 1;
    }

    Environment environment;
    environment.set("HOME", home.path().toStdString());
    environment.set("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toStdString());
    environment.set("QT_QPA_PLATFORM", "xcb");
    environment.set("TOLVEX_READY_FILE", fifoPath);

    Subject bare{"bare window", TOLVEX_BARE_WINDOW_PATH, {}, {}};
    Subject program{"program    ", TOLVEX_PROGRAM_PATH, {}, {}};
    double handOverMs = -1;
    int handOverStatus = -1;
    for (int round = 0; round <= kCountedStarts; ++round) {
        Subject* order[] = {&bare, &program};
        if (round % 2 == 1)
            std::swap(order[0], order[1]);
        for (Subject* subject : order) {
            pid_t pid = -1;
            const double took = TimeStart(subject->program, environment, fifo, &pid);
            if (took < 0) {
                std::fprintf(stderr, "%s did not show its window\n", subject->program.c_str());
                if (pid > 0)
                    Reap(pid, 0);
                return 1;
            }
            const double cpu = CpuMs(pid);
            if (subject == &program && round == kCountedStarts) {
                // A second start while this one runs: it hands over and ends.
                const double start = NowMs();
                const pid_t second = Spawn(program.program, environment);
                handOverStatus = second > 0 ? Reap(second, 10000) : -1;
                handOverMs = NowMs() - start;
            }
            kill(pid, SIGTERM);
            // The bare window just dies of the signal; the program quits cleanly.
            if (Reap(pid, 10000) != 0 && subject == &program)
                std::fprintf(stderr, "%s did not end cleanly on SIGTERM\n", subject->program.c_str());
            if (round > 0) {
                subject->starts.push_back(took);
                subject->cpu.push_back(cpu);
            }
        }
    }
    close(fifo);

    for (const Subject* subject : {&bare, &program}) {
        std::printf("%s: median %6.1f ms, fastest %6.1f ms over %zu starts; processor time %6.1f ms (median)\n",
                    subject->label, Median(subject->starts),
                    *std::min_element(subject->starts.begin(), subject->starts.end()), subject->starts.size(),
                    Median(subject->cpu));
    }
    std::printf("processor time ratio: %.2f\n", Median(program.cpu) / Median(bare.cpu));
    std::printf("second start hands over and ends: %.1f ms (exit status %d)\n", handOverMs, handOverStatus);
    std::printf("start-up ratio vs bare window: %.2f\n", Median(program.starts) / Median(bare.starts));
    return 0;
}
