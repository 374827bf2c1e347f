#include "tasks/ChildProcess.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tolvex {

namespace {

// Moves a descriptor above the standard ones, so that the child's dup2 onto 0, 1 and 2
// never overwrites a descriptor it still needs.
bool LiftAboveStdio(UniqueFd& fd)
{
    if (fd.get() > STDERR_FILENO)
        return true;
    const int lifted = ::fcntl(fd.get(), F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    if (lifted < 0)
        return false;
    fd.reset(lifted);
    return true;
}

// Closes every descriptor from `first` up to `last` (inclusive).
void CloseRange(unsigned first, unsigned last)
{
    if (first > last)
        return;
    if (::syscall(SYS_close_range, first, last, 0) != 0) {
        for (unsigned fd = first; fd <= last && fd < 65536; ++fd)
            ::close(static_cast<int>(fd));
    }
}

// The child side of Spawn. It runs in the parent's memory (vfork) until exec, so it only
// makes raw system calls, writes nothing but its own stack and never returns. `report` is
// a close-on-exec pipe: it closes silently when exec succeeds, and carries errno otherwise.
[[noreturn]] void RunChild(pid_t parent, int input, int output, int report, char* const* argv)
{
    int error = 0;
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent)
        error = ECHILD;
    if (!error &&
        (::dup2(input, STDIN_FILENO) < 0 || ::dup2(output, STDOUT_FILENO) < 0 || ::dup2(output, STDERR_FILENO) < 0))
        error = errno;
    if (!error) {
        // Nothing but the three standard descriptors (and the report pipe, closed by exec)
        // reaches the program.
        CloseRange(STDERR_FILENO + 1, static_cast<unsigned>(report) - 1);
        CloseRange(static_cast<unsigned>(report) + 1, ~0U);
        // Our handlers must never run here, in the parent's memory: every caught signal goes
        // back to its default while all are still blocked (ignored ones stay ignored, as
        // across exec), and SIGPIPE is at its default for the program.
        for (int signal = 1; signal < NSIG; ++signal) {
            struct sigaction current {};
            if (signal == SIGKILL || signal == SIGSTOP || ::sigaction(signal, nullptr, &current) != 0)
                continue;
            if (current.sa_handler == SIG_IGN && signal != SIGPIPE)
                continue;
            struct sigaction standard {};
            standard.sa_handler = SIG_DFL;
            ::sigaction(signal, &standard, nullptr);
        }
        // The program starts with no blocked signals.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execv(argv[0], argv);
        error = errno;
    }
    while (::write(report, &error, sizeof error) < 0 && errno == EINTR) {
    }
    ::_exit(127);
}

}  // namespace

std::string ExitStatus::describe() const
{
    if (exited)
        return "ffmpeg exited with status " + std::to_string(code);
    return "ffmpeg was ended by signal " + std::to_string(signal);
}

std::shared_ptr<ChildProcess> ChildProcess::spawn(const std::vector<std::string>& argv, UniqueFd& output,
                                                  std::string& error)
{
    if (argv.empty() || argv.front().empty()) {
        error = "no program to run";
        return nullptr;
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        error = std::string("cannot create the output pipe: ") + std::strerror(errno);
        return nullptr;
    }
    UniqueFd readEnd(ends[0]);
    UniqueFd writeEnd(ends[1]);
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        error = std::string("cannot create the start pipe: ") + std::strerror(errno);
        return nullptr;
    }
    UniqueFd reportRead(ends[0]);
    UniqueFd reportWrite(ends[1]);
    UniqueFd nullInput(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    if (!nullInput.valid() || !LiftAboveStdio(readEnd) || !LiftAboveStdio(writeEnd) || !LiftAboveStdio(nullInput) ||
        !LiftAboveStdio(reportWrite)) {
        error = std::string("cannot prepare the standard descriptors: ") + std::strerror(errno);
        return nullptr;
    }

    // Everything the child touches is made before it starts.
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    // vfork rather than fork: copying the page tables of a large, many-threaded process costs
    // milliseconds per start and makes every thread fault on its next writes. The child
    // borrows our memory until exec, and this thread waits until then. All signals are
    // blocked meanwhile so that no handler of ours runs in the child.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    const pid_t parent = ::getpid();
    const pid_t pid = ::vfork();
    if (pid == 0)
        RunChild(parent, nullInput.get(), writeEnd.get(), reportWrite.get(), args.data());
    const int forkError = errno;
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (pid < 0) {
        error = std::string("cannot start the process: ") + std::strerror(forkError);
        return nullptr;
    }

    // Our copy of the write end goes at once, so the read end ends when the child has exited.
    writeEnd.reset();
    reportWrite.reset();
    auto process = std::shared_ptr<ChildProcess>(new ChildProcess(pid));

    // Wait until the program runs (or could not): from then on it dies with this thread, and a
    // program that cannot be executed is reported here rather than as an odd exit status.
    int childError = 0;
    ssize_t n;
    while ((n = ::read(reportRead.get(), &childError, sizeof childError)) < 0 && errno == EINTR) {
    }
    if (n > 0) {
        process->waitForExit();
        error = "cannot run " + argv.front() + ": " + std::strerror(childError);
        return nullptr;
    }
    output = std::move(readEnd);
    return process;
}

ChildProcess::~ChildProcess()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_reaped)
        return;
    ::kill(m_pid, SIGKILL);
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
}

bool ChildProcess::kill()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_reaped)
        return false;
    return ::kill(m_pid, SIGKILL) == 0;
}

bool ChildProcess::reaped() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_reaped;
}

ExitStatus ChildProcess::waitForExit()
{
    // Wait without reaping: until it is reaped below, the pid stays ours, so kill() from
    // another thread can never reach a stranger.
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
    }
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_reaped)
        return m_status;
    int status = 0;
    pid_t result;
    while ((result = ::waitpid(m_pid, &status, 0)) < 0 && errno == EINTR) {
    }
    m_reaped = true;
    if (result == m_pid) {
        if (WIFEXITED(status)) {
            m_status.exited = true;
            m_status.code = WEXITSTATUS(status);
        } else if (WIFSIGNALED(status)) {
            m_status.signal = WTERMSIG(status);
        }
    }
    return m_status;
}

}  // namespace tolvex
