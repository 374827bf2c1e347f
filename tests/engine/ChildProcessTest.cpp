// Spawning programs without a shell: arguments arrive unchanged, standard input is
// /dev/null, output and errors share one pipe, nothing else leaks, every child is reaped.

#include "tasks/ChildProcess.h"
#include "tasks/FfmpegLocator.h"
#include "tests/support/TestMedia.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <thread>

namespace tolvex {
namespace {

struct Spawned {
    std::string output;
    ExitStatus status;
};

Spawned RunToEnd(const std::vector<std::string>& argv)
{
    Spawned run;
    UniqueFd pipe;
    std::string error;
    auto process = ChildProcess::spawn(argv, pipe, error);
    EXPECT_TRUE(process) << error;
    if (!process)
        return run;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(pipe.get(), buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0)
            run.output.append(buffer, static_cast<size_t>(n));
    }
    run.status = process->waitForExit();
    return run;
}

TEST(ChildProcess, ArgumentsReachTheProgramUnchanged)
{
    const std::vector<std::string> hostile = {"-leading dash", "two  spaces", "\"double\"",    "'single'", "$HOME",
                                              "`id`",          "a;b|c&d",     "中文 名字.mp4", "*",        ""};
    std::vector<std::string> argv = {"/usr/bin/printf", "[%s]\n"};
    argv.insert(argv.end(), hostile.begin(), hostile.end());
    const Spawned run = RunToEnd(argv);
    std::string expected;
    for (const auto& arg : hostile)
        expected += "[" + arg + "]\n";
    EXPECT_EQ(run.output, expected);
    EXPECT_TRUE(run.status.success());
    EXPECT_TRUE(test::NoChildProcesses());
}

TEST(ChildProcess, StandardInputIsEmptyAndErrorsShareThePipe)
{
    // cat ends at once: its input is /dev/null, not ours.
    const Spawned cat = RunToEnd({"/bin/cat"});
    EXPECT_EQ(cat.output, "");
    EXPECT_TRUE(cat.status.success());

    const Spawned ls = RunToEnd({"/bin/ls", "/no/such/folder"});
    EXPECT_NE(ls.output.find("/no/such/folder"), std::string::npos) << "standard error goes into the pipe";
    EXPECT_TRUE(ls.status.exited);
    EXPECT_NE(ls.status.code, 0);
}

TEST(ChildProcess, NoOtherDescriptorIsInherited)
{
    // A descriptor opened without close-on-exec, as a library might.
    const int leaky = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(leaky, 0);
    const Spawned run = RunToEnd({"/bin/ls", "/proc/self/fd"});
    ::close(leaky);
    // ls itself holds one descriptor on the folder it lists (3).
    EXPECT_EQ(run.output, "0\n1\n2\n3\n");
}

TEST(ChildProcess, ProgramThatCannotRunIsReportedBySpawn)
{
    UniqueFd pipe;
    std::string error;
    EXPECT_FALSE(ChildProcess::spawn({"/no/such/program", "-i", "x"}, pipe, error));
    EXPECT_EQ(error, "cannot run /no/such/program: No such file or directory");
    EXPECT_FALSE(pipe.valid());
    EXPECT_TRUE(test::NoChildProcesses());
}

TEST(ChildProcess, KillEndsAndReapsTheProcess)
{
    UniqueFd pipe;
    std::string error;
    auto process = ChildProcess::spawn({"/bin/sleep", "30"}, pipe, error);
    ASSERT_TRUE(process) << error;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(process->kill());
    const ExitStatus status = process->waitForExit();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(status.exited);
    EXPECT_EQ(status.signal, SIGKILL);
    EXPECT_TRUE(process->reaped());
    EXPECT_FALSE(process->kill()) << "a reaped pid is never signalled";
    EXPECT_TRUE(test::NoChildProcesses());
}

TEST(ChildProcess, DroppingARunningProcessKillsAndReapsIt)
{
    UniqueFd pipe;
    std::string error;
    auto process = ChildProcess::spawn({"/bin/sleep", "30"}, pipe, error);
    ASSERT_TRUE(process);
    const pid_t pid = process->pid();
    process.reset();
    EXPECT_TRUE(test::ProcessGone(pid));
    EXPECT_TRUE(test::NoChildProcesses());
}

TEST(ChildProcess, DiesWithTheThreadThatSpawnedIt)
{
    std::shared_ptr<ChildProcess> process;
    UniqueFd pipe;
    std::thread spawner([&] {
        std::string error;
        process = ChildProcess::spawn({"/bin/sleep", "30"}, pipe, error);
    });
    spawner.join();
    ASSERT_TRUE(process);
    const auto start = std::chrono::steady_clock::now();
    const ExitStatus status = process->waitForExit();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(status.signal, SIGKILL);
}

// Reads one of the hexadecimal signal masks (SigBlk, SigIgn, SigCgt) of a /proc status text.
unsigned long long SignalMask(const std::string& status, const std::string& name)
{
    const size_t at = status.find(name + ":");
    return at == std::string::npos ? ~0ULL : std::stoull(status.substr(at + name.size() + 1), nullptr, 16);
}

void NoteSignal(int) {}

TEST(ChildProcess, ProgramStartsWithDefaultSignalsAndNothingBlocked)
{
    // Our caught, ignored and blocked signals around the start: only ignoring survives, as
    // across exec, except for SIGPIPE, which the program gets at its default.
    struct sigaction caught {};
    caught.sa_handler = NoteSignal;
    struct sigaction ignored {};
    ignored.sa_handler = SIG_IGN;
    struct sigaction oldUsr1 {
    }, oldUsr2{}, oldPipe{};
    ::sigaction(SIGUSR1, &caught, &oldUsr1);
    ::sigaction(SIGUSR2, &ignored, &oldUsr2);
    ::sigaction(SIGPIPE, &ignored, &oldPipe);
    sigset_t blocked, previous;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    ::pthread_sigmask(SIG_BLOCK, &blocked, &previous);

    const Spawned run = RunToEnd({"/bin/grep", "^Sig", "/proc/self/status"});

    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    ::sigaction(SIGUSR1, &oldUsr1, nullptr);
    ::sigaction(SIGUSR2, &oldUsr2, nullptr);
    ::sigaction(SIGPIPE, &oldPipe, nullptr);

    const auto bit = [](int signal) { return 1ULL << (signal - 1); };
    EXPECT_EQ(SignalMask(run.output, "SigBlk"), 0ULL) << run.output;
    EXPECT_EQ(SignalMask(run.output, "SigCgt") & bit(SIGUSR1), 0ULL) << run.output;
    EXPECT_NE(SignalMask(run.output, "SigIgn") & bit(SIGUSR2), 0ULL) << run.output;
    EXPECT_EQ(SignalMask(run.output, "SigIgn") & bit(SIGPIPE), 0ULL) << run.output;
}

TEST(FfmpegLocator, BesideTheExecutableFirstThenPath)
{
    QTemporaryDir beside;
    QTemporaryDir onPath;
    const std::string besideDir = beside.path().toStdString();
    const std::string pathDir = onPath.path().toStdString();
    auto makeProgram = [](const std::string& path, mode_t mode) {
        std::ofstream(path) << "#!/bin/true\n";
        ::chmod(path.c_str(), mode);
    };

    EXPECT_EQ(FindFfmpegProgram(besideDir, pathDir), "") << "nothing found";
    makeProgram(pathDir + "/ffmpeg", 0755);
    EXPECT_EQ(FindFfmpegProgram(besideDir, "/no/such:" + pathDir), pathDir + "/ffmpeg");
    makeProgram(besideDir + "/ffmpeg", 0644);
    EXPECT_EQ(FindFfmpegProgram(besideDir, pathDir), pathDir + "/ffmpeg") << "not executable: skipped";
    ::chmod((besideDir + "/ffmpeg").c_str(), 0755);
    EXPECT_EQ(FindFfmpegProgram(besideDir, pathDir), besideDir + "/ffmpeg");
    EXPECT_NE(FfmpegProgramPath().find('/'), std::string::npos) << "the installed ffmpeg is found";
}

TEST(FfmpegLocator, RelativePlacesAreNeverSearched)
{
    // An ffmpeg in the current folder, reachable by an empty, "." or relative PATH entry.
    QTemporaryDir here;
    const std::string hereDir = here.path().toStdString();
    std::ofstream(hereDir + "/ffmpeg") << "#!/bin/true\n";
    ::chmod((hereDir + "/ffmpeg").c_str(), 0755);
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(here.path()));
    EXPECT_EQ(FindFfmpegProgram("", ":.:./:ffmpeg-dir:/no/such"), "");
    EXPECT_EQ(FindFfmpegProgram(".", "/no/such"), "") << "a relative executable folder";
    QDir::setCurrent(previous);
}

}  // namespace
}  // namespace tolvex
