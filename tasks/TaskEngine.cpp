#include "tasks/TaskEngine.h"

#include "app/ConsoleLog.h"
#include "tasks/LaunchJob.h"
#include "tasks/PageTexts.h"

#include <algorithm>
#include <system_error>

namespace tolvex {

TaskEngine::TaskEngine(TaskHost& host, JobFactory& factory, QObject* parent)
    : QObject(parent), m_host(host), m_factory(factory), m_receiver(host.messageReceiver())
{
    for (const PageKind page : kQueuedPages)
        m_queues[static_cast<size_t>(page)] = std::make_unique<TaskQueue>(page);
}

TaskEngine::~TaskEngine()
{
    StopAllJobs();
    for (auto& queue : m_queues) {
        if (queue)
            queue->shutdown();
    }
    m_factory.shutdown();
    m_workers.clear();  // joins
    // A worker may have launched a job between the first stop and its end.
    StopAllJobs();
    m_retired.clear();  // joins the readers
}

int TaskEngine::startWorkers()
{
    if (!m_workers.empty())
        return workerCount();
    for (const PageKind page : kQueuedPages) {
        try {
            m_workers.push_back(std::make_unique<PageWorker>(*queueOf(page), m_factory, m_limits, m_receiver, this));
        } catch (const std::system_error& e) {
            ConsoleError("cannot start the page worker %d: %s\n", static_cast<int>(page), e.what());
            break;
        }
    }
    return workerCount();
}

int TaskEngine::workerCount() const
{
    return static_cast<int>(m_workers.size());
}

TaskQueue* TaskEngine::queueOf(PageKind page) const
{
    const auto index = static_cast<size_t>(page);
    return index < m_queues.size() ? m_queues[index].get() : nullptr;
}

bool TaskEngine::StartPage(PageKind page, const std::vector<TaskId>& ids)
{
    sweepRetired();
    TaskQueue* queue = queueOf(page);
    if (!queue || ids.empty())
        return false;
    m_host.setPageBusy(page, true);
    queue->enqueue(ids);
    return true;
}

void TaskEngine::finishTask(PageKind page, TaskId taskId)
{
    TaskQueue::Removal removal = queueOf(page)->remove(taskId);
    const QueueLogLines lines = QueueLogLinesFor(page);
    ConsoleLog(lines.idleLine, taskId);
    ConsoleLog(lines.busyLine, taskId);
    ConsoleLog(kQueueSizeLine, static_cast<int>(removal.busyCount), static_cast<int>(removal.idleCount));
    release(page, std::move(removal));
}

void TaskEngine::release(PageKind page, TaskQueue::Removal removal)
{
    retire(std::move(removal.job));
    // The running task is always the front of the waiting list, so an empty waiting list
    // means that nothing runs either: the page is free.
    if (removal.idleCount == 0)
        m_host.setPageBusy(page, false);
}

void TaskEngine::RemoveTask(PageKind page, TaskId taskId)
{
    sweepRetired();
    if (!queueOf(page))
        return;
    finishTask(page, taskId);
}

void TaskEngine::CompleteTask(PageKind page, TaskId taskId)
{
    if (page == PageKind::Merge) {
        stopMerge();
        return;
    }
    if (queueOf(page))
        finishTask(page, taskId);
}

void TaskEngine::FailTask(PageKind page, TaskId taskId)
{
    if (page == PageKind::Merge) {
        stopMerge();
        return;
    }
    TaskQueue* queue = queueOf(page);
    if (!queue)
        return;
    ConsoleLog("idleTaskList.size: %d\n", static_cast<int>(queue->idleCount()));
    release(page, queue->remove(taskId));
}

bool TaskEngine::isCurrentJob(const JobEndRecord& record) const
{
    const auto page = static_cast<PageKind>(record.pageKind);
    if (page == PageKind::Merge) {
        if (record.jobSerial == 0)
            return m_mergeBusy && m_mergeJobs.empty();
        return !m_mergeJobs.empty() && m_mergeJobs.back()->serial() == record.jobSerial;
    }
    const TaskQueue* queue = queueOf(page);
    if (!queue)
        return false;
    const std::optional<uint64_t> serial = queue->jobSerialOf(record.taskId);
    if (record.jobSerial == 0)
        return !serial && queue->isRunning(record.taskId);
    return serial == record.jobSerial;
}

void TaskEngine::deliverEnd(const JobEndRecord& record)
{
    EndMessage message = FrontEndMessage(record);
    // Delivered at once, on this (the receiver's) thread: the page shows the end before
    // the queue moves on and the next job starts.
    MessageEvent event(message.number, std::move(message.record), 0, 0);
    AnnouncePostedMessage();
    if (m_receiver)
        QCoreApplication::sendEvent(m_receiver, &event);
}

void TaskEngine::onJobEnded(const JobEndRecord& record)
{
    sweepRetired();
    // A report that was under way while its job was removed, cleared or stopped is void
    // (that stop deleted the output of a done one).
    if (!isCurrentJob(record))
        return;
    if (record.control)
        record.control->take();
    if (!record.done && !record.reason.empty())
        ConsoleError("task %d of page %d failed: %s\n", record.taskId, record.pageKind, record.reason.c_str());
    deliverEnd(record);
    // The front end may have removed or cleared the task while showing its end.
    if (!isCurrentJob(record))
        return;
    const auto page = static_cast<PageKind>(record.pageKind);
    if (record.done)
        CompleteTask(page, record.taskId);
    else
        FailTask(page, record.taskId);
}

void TaskEngine::ClearPage(PageKind page)
{
    sweepRetired();
    if (page == PageKind::Merge) {
        stopMerge();
        return;
    }
    TaskQueue* queue = queueOf(page);
    if (!queue)
        return;
    retire(queue->clear());
    m_host.setPageBusy(page, false);
}

void TaskEngine::StopAllJobs()
{
    for (auto& queue : m_queues) {
        if (queue)
            retire(queue->takeJobs());
    }
    retire(std::move(m_mergeJobs));
    m_mergeJobs.clear();
}

void TaskEngine::startMerge(const CommandLine& command, const std::string& dropped,
                            const std::vector<std::string>& scratchFiles)
{
    sweepRetired();
    m_mergeBusy = true;
    m_host.setPageBusy(PageKind::Merge, true);
    JobPlan plan;
    plan.command = command;
    plan.dropped = dropped;
    plan.scratchFiles = scratchFiles;
    LaunchOptions options;
    options.silenceLimit = m_limits.silenceLimit();
    options.engine = this;
    std::string error;
    auto job = ReserveAndLaunch(plan, kMergeTaskId, PageKind::Merge, m_receiver, options, error);
    if (job) {
        m_mergeJobs.push_back(std::move(job));
        return;
    }
    PostFailureBeforeLaunch(this, kMergeTaskId, PageKind::Merge, error);
}

void TaskEngine::stopMerge()
{
    retire(std::move(m_mergeJobs));
    m_mergeJobs.clear();
    m_mergeBusy = false;
    m_host.setPageBusy(PageKind::Merge, false);
}

bool TaskEngine::isPageBusy(PageKind page) const
{
    if (page == PageKind::Merge)
        return m_mergeBusy;
    const TaskQueue* queue = queueOf(page);
    return queue && queue->idleCount() > 0;
}

std::vector<TaskId> TaskEngine::queuedTasks(PageKind page) const
{
    const TaskQueue* queue = queueOf(page);
    return queue ? queue->idleTaskIds() : std::vector<TaskId>{};
}

std::optional<TaskId> TaskEngine::runningTask(PageKind page) const
{
    const TaskQueue* queue = queueOf(page);
    if (!queue)
        return std::nullopt;
    const auto busy = queue->busyTaskIds();
    if (busy.empty())
        return std::nullopt;
    return busy.front();
}

std::optional<pid_t> TaskEngine::processOf(PageKind page, TaskId taskId) const
{
    if (page == PageKind::Merge) {
        if (m_mergeJobs.empty())
            return std::nullopt;
        return m_mergeJobs.back()->pid();
    }
    const TaskQueue* queue = queueOf(page);
    return queue ? queue->processOf(taskId) : std::nullopt;
}

void TaskEngine::retire(std::unique_ptr<RunningJob> job)
{
    if (!job)
        return;
    job->stop();
    m_retired.push_back(std::move(job));
}

void TaskEngine::retire(std::vector<std::unique_ptr<RunningJob>> jobs)
{
    for (auto& job : jobs)
        retire(std::move(job));
}

bool TaskEngine::stoppedJobsFinished() const
{
    return std::all_of(m_retired.begin(), m_retired.end(),
                       [](const std::unique_ptr<RunningJob>& job) { return job->finished(); });
}

void TaskEngine::sweepRetired()
{
    // A finished reader has returned from its routine: joining it does not wait.
    m_retired.erase(std::remove_if(m_retired.begin(), m_retired.end(),
                                   [](const std::unique_ptr<RunningJob>& job) { return job->finished(); }),
                    m_retired.end());
}

bool TaskEngine::event(QEvent* event)
{
    AcceptPostedMessage();
    if (event->type() == static_cast<QEvent::Type>(kJobEndedMessage)) {
        if (const auto* record = static_cast<MessageEvent*>(event)->recordAs<JobEndRecord>())
            onJobEnded(*record);
        return true;
    }
    if (event->type() == static_cast<QEvent::Type>(PageWorker::kTaskDroppedMessage)) {
        const auto* message = static_cast<MessageEvent*>(event);
        if (const auto* record = message->recordAs<FailureRecord>()) {
            sweepRetired();
            if (queueOf(static_cast<PageKind>(record->pageKind)))
                finishTask(static_cast<PageKind>(record->pageKind), record->taskId);
        }
        return true;
    }
    return QObject::event(event);
}

}  // namespace tolvex
