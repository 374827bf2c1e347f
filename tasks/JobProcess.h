#pragma once

// The ffmpeg process of one job, which may run several passes one after another: the
// launcher starts the first pass, the job's reader starts each later one when the pass
// before it has ended well. Stopping the job kills the pass that runs and keeps any later
// pass from starting, whichever thread gets there first.
//
// Thread use: start() on the launching thread (first pass) and on the job's reader (later
// passes); stop() and pid() on any thread. A later pass dies with the reader that started
// it (PR_SET_PDEATHSIG follows the spawning thread), and the reader lives until that pass
// has been reaped, so no pass outlives its job.

#include "tasks/ChildProcess.h"
#include "tasks/UniqueFd.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tolvex {

class JobProcess {
public:
    // Starts `argv` as the job's current process, unless the job was stopped (then null and
    // `error` is empty). Null with `error` filled when the program cannot be started.
    std::shared_ptr<ChildProcess> start(const std::vector<std::string>& argv, UniqueFd& output, std::string& error);
    // No further pass starts, and the current one is killed if it still runs.
    void stop();
    // The pid of the current pass (the last one started).
    std::optional<pid_t> pid() const;

private:
    mutable std::mutex m_lock;
    std::shared_ptr<ChildProcess> m_current;
    bool m_stopped = false;
};

}  // namespace tolvex
