#pragma once

// A job factory for engine tests: the plan of each task is set by the test, and the order
// in which the workers asked for plans is kept in a journal (with the test's own notes).

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

inline JobPlan RunPlan(const std::vector<std::string>& args)
{
    JobPlan plan;
    CommandLine command;  // no program: the engine's ffmpeg
    command.add("-hide_banner").add("-nostdin");
    for (const auto& a : args)
        command.addQuoted(a);
    plan.command = command;
    return plan;
}

}  // namespace tolvex::test
