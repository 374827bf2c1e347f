#pragma once

// One spawned program and its exit. The program runs without a shell, with standard
// input from /dev/null and standard output and error both written into one pipe whose
// read end the caller receives; no other descriptor of ours reaches it, and it is killed
// when the thread that spawned it ends (so spawn only from long-lived threads).
//
// Thread use: the reader waits for the exit (waitForExit) while the UI thread may kill
// the process (kill) at any time; a process is reaped exactly once, and a reaped pid is
// never signalled (it may belong to someone else by then). The owner that drops the
// last reference to a process that is still running kills and reaps it.

#include "tasks/UniqueFd.h"

#include <sys/types.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tolvex {

struct ExitStatus {
    bool exited = false;  // ended by itself with `code`
    int code = -1;
    int signal = 0;  // the signal that ended it, when not exited
    bool success() const { return exited && code == 0; }
    std::string describe() const;
};

class ChildProcess {
public:
    // Starts argv[0] (a path) with the given arguments. On success `output` receives the read
    // end of the pipe. Returns null and fills `error` when the pipe or the process cannot be
    // made or the program cannot be executed. It returns once the program runs.
    static std::shared_ptr<ChildProcess> spawn(const std::vector<std::string>& argv, UniqueFd& output,
                                               std::string& error);

    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return m_pid; }
    // Kills the process with SIGKILL unless it has been reaped already. Returns true when a
    // signal was sent.
    bool kill();
    // Blocks until the process has ended, reaps it and returns how it ended. Called once.
    ExitStatus waitForExit();
    bool reaped() const;

private:
    explicit ChildProcess(pid_t pid) : m_pid(pid) {}

    const pid_t m_pid;
    mutable std::mutex m_lock;
    bool m_reaped = false;
    ExitStatus m_status;
};

}  // namespace tolvex
