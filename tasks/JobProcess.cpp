#include "tasks/JobProcess.h"

namespace tolvex {

std::shared_ptr<ChildProcess> JobProcess::start(const std::vector<std::string>& argv, UniqueFd& output,
                                                std::string& error)
{
    // The lock is held across the spawn, so a stop either comes before (nothing starts) or
    // after (it sees the new process and kills it).
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_stopped)
        return nullptr;
    std::shared_ptr<ChildProcess> process = ChildProcess::spawn(argv, output, error);
    if (process)
        m_current = process;
    return process;
}

void JobProcess::stop()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_stopped = true;
    if (m_current)
        m_current->kill();
}

std::optional<pid_t> JobProcess::pid() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_current)
        return std::nullopt;
    return m_current->pid();
}

}  // namespace tolvex
