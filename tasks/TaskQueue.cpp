#include "tasks/TaskQueue.h"

#include <algorithm>

namespace tolvex {

namespace {

// Removes the first entry with `id`, keeping the order of the rest.
bool EraseFirst(std::vector<TaskEntry>& list, TaskId id)
{
    const auto it = std::find(list.begin(), list.end(), TaskEntry{id});
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}

std::vector<TaskId> Ids(const std::vector<TaskEntry>& list)
{
    std::vector<TaskId> ids;
    ids.reserve(list.size());
    for (const auto& e : list)
        ids.push_back(e.task_id);
    return ids;
}

}  // namespace

size_t TaskQueue::enqueue(const std::vector<TaskId>& ids)
{
    size_t count;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        for (const TaskId id : ids) {
            if (std::find(m_idleTaskList.begin(), m_idleTaskList.end(), TaskEntry{id}) == m_idleTaskList.end())
                m_idleTaskList.push_back(TaskEntry{id});
        }
        count = m_idleTaskList.size();
    }
    m_wake.notify_all();
    return count;
}

TaskQueue::Removal TaskQueue::remove(TaskId id)
{
    Removal removal;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        EraseFirst(m_idleTaskList, id);
        EraseFirst(m_busyTaskList, id);
        const auto job = m_jobs.find(id);
        if (job != m_jobs.end()) {
            removal.job = std::move(job->second);
            m_jobs.erase(job);
        }
        removal.idleCount = m_idleTaskList.size();
        removal.busyCount = m_busyTaskList.size();
    }
    m_wake.notify_all();
    return removal;
}

std::vector<std::unique_ptr<RunningJob>> TaskQueue::clear()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_idleTaskList.clear();
    m_busyTaskList.clear();
    std::vector<std::unique_ptr<RunningJob>> jobs;
    for (auto& entry : m_jobs)
        jobs.push_back(std::move(entry.second));
    m_jobs.clear();
    return jobs;
}

std::vector<std::unique_ptr<RunningJob>> TaskQueue::takeJobs()
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::vector<std::unique_ptr<RunningJob>> jobs;
    for (auto& entry : m_jobs)
        jobs.push_back(std::move(entry.second));
    m_jobs.clear();
    return jobs;
}

void TaskQueue::shutdown()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_shutdown = true;
    }
    m_wake.notify_all();
}

std::vector<TaskId> TaskQueue::idleTaskIds() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return Ids(m_idleTaskList);
}

std::vector<TaskId> TaskQueue::busyTaskIds() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return Ids(m_busyTaskList);
}

size_t TaskQueue::idleCount() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_idleTaskList.size();
}

std::optional<pid_t> TaskQueue::processOf(TaskId id) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    const auto it = m_jobs.find(id);
    if (it == m_jobs.end())
        return std::nullopt;
    return it->second->pid();
}

std::optional<uint64_t> TaskQueue::jobSerialOf(TaskId id) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    const auto it = m_jobs.find(id);
    if (it == m_jobs.end())
        return std::nullopt;
    return it->second->serial();
}

bool TaskQueue::isRunning(TaskId id) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return std::find(m_busyTaskList.begin(), m_busyTaskList.end(), TaskEntry{id}) != m_busyTaskList.end();
}

std::optional<TaskId> TaskQueue::waitForNext()
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_wake.wait(lock, [this] { return m_shutdown || (m_busyTaskList.empty() && !m_idleTaskList.empty()); });
    if (m_shutdown)
        return std::nullopt;
    return m_idleTaskList.front().task_id;
}

TaskQueue::Claim TaskQueue::claimFront(TaskId id, const std::function<std::unique_ptr<RunningJob>()>& launch)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_shutdown)
        return Claim::Shutdown;
    if (m_idleTaskList.empty() || m_idleTaskList.front().task_id != id || !m_busyTaskList.empty())
        return Claim::Stale;
    if (launch) {
        if (auto job = launch())
            m_jobs[id] = std::move(job);
    }
    m_busyTaskList.push_back(TaskEntry{id});
    return Claim::Claimed;
}

}  // namespace tolvex
