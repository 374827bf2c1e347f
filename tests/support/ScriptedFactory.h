#pragma once

// A job factory for the engine's tests and benches: the plan of each task is set by the
// caller, and the order in which the workers asked for plans is kept in a journal (with the
// caller's own notes).
//
// Thread use: set() and note() from any thread; the page workers call planJob().

#include "tasks/JobFactory.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace tolvex::test {

inline JobPlan NotRun(JobPlan::Action action, const std::string& reason)
{
    JobPlan plan;
    plan.action = action;
    plan.reason = reason;
    return plan;
}

// Plans set per task; records the order in which the workers asked for them.
class ScriptedFactory : public JobFactory {
public:
    void set(PageKind page, TaskId id, JobPlan plan)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_plans[{page, id}] = std::move(plan);
    }
    JobPlan planJob(PageKind page, TaskId id) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_journal.push_back("plan " + std::to_string(id));
        const auto it = m_plans.find({page, id});
        if (it == m_plans.end())
            return NotRun(JobPlan::Action::Fail, "no plan");
        return it->second;
    }
    void note(const std::string& line)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_journal.push_back(line);
    }
    std::vector<std::string> journal() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_journal;
    }

private:
    mutable std::mutex m_lock;
    std::map<std::pair<PageKind, TaskId>, JobPlan> m_plans;
    std::vector<std::string> m_journal;
};

// A plan that runs `command`.
inline JobPlan CommandPlan(CommandLine command)
{
    JobPlan plan;
    plan.command = std::move(command);
    return plan;
}

// A plan that runs the engine's ffmpeg with these arguments.
inline JobPlan RunPlan(const std::vector<std::string>& args)
{
    CommandLine command;  // no program: the engine's ffmpeg
    command.add("-hide_banner").add("-nostdin");
    for (const auto& a : args)
        command.addQuoted(a);
    return CommandPlan(std::move(command));
}

}  // namespace tolvex::test
