#include "tasks/PageWorker.h"

#include "app/ConsoleLog.h"
#include "tasks/FfmpegLocator.h"
#include "tasks/JobEndRecord.h"
#include "tasks/LaunchJob.h"
#include "tasks/PageTexts.h"

namespace tolvex {

PageWorker::PageWorker(TaskQueue& queue, JobFactory& factory, const JobLimits& limits, QObject* receiver,
                       QObject* engine)
    : m_queue(queue), m_factory(factory), m_limits(limits), m_receiver(receiver), m_engine(engine)
{
    m_thread = std::thread(&PageWorker::run, this);
}

PageWorker::~PageWorker()
{
    if (m_thread.joinable())
        m_thread.join();
}

void PageWorker::run()
{
    const PageKind page = m_queue.page();
    while (const std::optional<TaskId> next = m_queue.waitForNext()) {
        const TaskId id = *next;
        JobPlan plan = m_factory.planJob(page, id);

        if (plan.action == JobPlan::Action::Run && LogsAppPath(page)) {
            std::string program = plan.command.program().empty() ? FfmpegProgramPath() : plan.command.program();
            const auto slash = program.rfind('/');
            ConsoleLog("appPath: %s\n", slash == std::string::npos ? "" : program.substr(0, slash).c_str());
        }

        std::string launchError;
        bool launched = false;
        std::function<std::unique_ptr<RunningJob>()> launch;
        if (plan.action == JobPlan::Action::Run) {
            launch = [&]() -> std::unique_ptr<RunningJob> {
                LaunchOptions options;
                options.silenceLimit = m_limits.silenceLimit();
                options.engine = m_engine;
                auto job = ReserveAndLaunch(plan, id, page, m_receiver, options, launchError);
                launched = job != nullptr;
                return job;
            };
        }

        const TaskQueue::Claim claim = m_queue.claimFront(id, launch);
        if (claim == TaskQueue::Claim::Shutdown)
            break;
        if (claim == TaskQueue::Claim::Stale)
            continue;

        switch (plan.action) {
        case JobPlan::Action::Run:
            if (!launched)
                PostFailureBeforeLaunch(m_engine, id, page, launchError);
            break;
        case JobPlan::Action::Fail:
            PostFailureBeforeLaunch(m_engine, id, page, plan.reason);
            break;
        case JobPlan::Action::Drop: {
            auto record = std::make_unique<FailureRecord>();
            record->taskId = id;
            record->pageKind = static_cast<int32_t>(page);
            PostMessageTo(m_engine, kTaskDroppedMessage, std::move(record));
            break;
        }
        }
    }
}

}  // namespace tolvex
