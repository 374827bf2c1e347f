#include "tasks/TaskMessageDecoder.h"

#include "tasks/ProgressMath.h"

#include <cmath>

namespace tolvex {

namespace {

bool IsPage(int32_t kind)
{
    return kind >= 0 && kind < kPageCount;
}

template <class Record>
const Record* RecordOf(const MessageEvent& message)
{
    const auto* record = message.recordAs<Record>();
    return record && IsPage(record->pageKind) ? record : nullptr;
}

TaskUpdate UpdateOf(TaskUpdate::Kind kind, int32_t pageKind, TaskId taskId)
{
    TaskUpdate update;
    update.kind = kind;
    update.page = static_cast<PageKind>(pageKind);
    update.taskId = taskId;
    return update;
}

}  // namespace

std::optional<TaskUpdate> TaskMessageDecoder::decode(const MessageEvent& message)
{
    switch (message.number()) {
    case WM_TASK_STARTED:
        if (const auto* record = RecordOf<TaskStartRecord>(message)) {
            TaskUpdate update = UpdateOf(TaskUpdate::Kind::Started, record->pageKind, record->taskId);
            m_estimates.erase({update.page, update.taskId});
            return update;
        }
        return std::nullopt;
    case WM_TASK_PROGRESS:
        if (const auto* record = RecordOf<ProgressRecord>(message))
            return onProgress(*record);
        return std::nullopt;
    case WM_TASK_DONE:
        if (const auto* record = RecordOf<CompletionRecord>(message)) {
            TaskUpdate update = UpdateOf(TaskUpdate::Kind::Done, record->pageKind, record->taskId);
            update.percent = 100;
            if (record->progress)
                update.elapsedMs = record->progress->elapsedMs;
            m_estimates.erase({update.page, update.taskId});
            return update;
        }
        return std::nullopt;
    case WM_TASK_FAILED:
        if (const auto* record = RecordOf<FailureRecord>(message)) {
            TaskUpdate update = UpdateOf(TaskUpdate::Kind::Failed, record->pageKind, record->taskId);
            update.reason = record->reason;
            m_estimates.erase({update.page, update.taskId});
            return update;
        }
        return std::nullopt;
    case WM_TASK_OUTPUT:
        if (const auto* record = RecordOf<OutputNameRecord>(message)) {
            TaskUpdate update = UpdateOf(TaskUpdate::Kind::Output, record->pageKind, record->taskId);
            update.outputPath = record->outputPath;
            update.dropped = record->dropped;
            return update;
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

TaskUpdate TaskMessageDecoder::onProgress(const ProgressRecord& record)
{
    TaskUpdate update = UpdateOf(TaskUpdate::Kind::Progress, record.pageKind, record.taskId);
    update.elapsedMs = record.elapsedMs;
    update.positionMs = record.positionMs;
    update.durationMs = record.durationMs;
    int64_t durationMs = record.durationMs;
    if (update.page == PageKind::Merge) {
        update.percent = MergeProgressPercent(record.positionMs, m_mergeTotalSeconds);
        durationMs = m_mergeTotalSeconds > 0.0 ? std::llround(m_mergeTotalSeconds * 1000.0) : 0;
    } else {
        update.percent = ProgressPercent(record.positionMs, record.durationMs);
    }
    TimeLeftEstimate& estimate = m_estimates[{update.page, update.taskId}];
    estimate.addSample(record.elapsedMs, record.positionMs, durationMs);
    update.timeLeftMs = estimate.remainingMs();
    return update;
}

}  // namespace tolvex
