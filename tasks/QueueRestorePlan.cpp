#include "tasks/QueueRestorePlan.h"

#include <QFile>

#include <set>

namespace tolvex {

namespace {

// A job that ran comes back waiting; what it had written so far goes.
void TakeBackRunning(JournalJob& job, std::vector<QString>& stale)
{
    if (job.state != JournalState::Running)
        return;
    if (!job.output.isEmpty())
        stale.push_back(job.output);
    stale.insert(stale.end(), job.scratch.begin(), job.scratch.end());
    job = JournalJob{};
    job.state = JournalState::Waiting;
}

void FailForMissingSource(JournalJob& job)
{
    job = JournalJob{};
    job.state = JournalState::Failed;
    job.reason = QString::fromUtf8(kSourceMissingReason);
}

bool IsMergeInput(const JournalItem& item)
{
    const auto tick = item.controls.find(QString::fromLatin1(kMergeTickControl));
    return tick != item.controls.end() && tick->second == QLatin1String("1");
}

}  // namespace

QueueRestorePlan PlanQueueRestore(const QueueJournal& journal, const FileExists& exists)
{
    QueueRestorePlan plan;
    plan.lists = journal;
    plan.lists.closedCleanly = false;
    std::vector<QString> stale;
    std::set<QString> finishedOutputs;

    for (size_t index = 0; index < plan.lists.pages.size(); ++index) {
        // The merge page's rows are the inputs of its one job, which comes below.
        if (static_cast<PageKind>(index) == PageKind::Merge)
            continue;
        for (JournalItem& item : plan.lists.pages[index].items) {
            JournalJob& job = item.job;
            if (job.state == JournalState::Done) {
                finishedOutputs.insert(job.output);
                continue;
            }
            TakeBackRunning(job, stale);
            if (!exists(item.inputPath()))
                FailForMissingSource(job);
            if (job.state == JournalState::Waiting)
                ++plan.unfinished;
        }
    }

    JournalPage& merge = plan.lists.page(PageKind::Merge);
    if (merge.mergeJob.state == JournalState::Done)
        finishedOutputs.insert(merge.mergeJob.output);
    TakeBackRunning(merge.mergeJob, stale);
    if (merge.mergeJob.state == JournalState::Waiting) {
        for (const JournalItem& item : merge.items) {
            if (IsMergeInput(item) && !exists(item.inputPath())) {
                FailForMissingSource(merge.mergeJob);
                break;
            }
        }
    }
    if (merge.mergeJob.state == JournalState::Waiting)
        ++plan.unfinished;

    // A finished file is never taken for a half one, whatever else the journal says.
    for (const QString& file : stale) {
        if (!file.isEmpty() && finishedOutputs.count(file) == 0)
            plan.staleFiles.push_back(file);
    }
    return plan;
}

int RemoveStaleFiles(const std::vector<QString>& files)
{
    int removed = 0;
    for (const QString& file : files) {
        if (QFile::remove(file))
            ++removed;
    }
    return removed;
}

}  // namespace tolvex
