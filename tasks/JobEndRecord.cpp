#include "tasks/JobEndRecord.h"

#include "app/PostedMessage.h"

namespace tolvex {

EndMessage FrontEndMessage(const JobEndRecord& end)
{
    EndMessage message;
    if (end.done) {
        auto done = std::make_unique<CompletionRecord>();
        done->taskId = end.taskId;
        done->pageKind = end.pageKind;
        if (end.progress)
            done->progress = std::make_unique<ProgressRecord>(*end.progress);
        message.number = WM_TASK_DONE;
        message.record = std::move(done);
    } else {
        auto failed = std::make_unique<FailureRecord>();
        failed->taskId = end.taskId;
        failed->pageKind = end.pageKind;
        failed->reason = end.reason;
        message.number = WM_TASK_FAILED;
        message.record = std::move(failed);
    }
    return message;
}

void PostFailureBeforeLaunch(QObject* engine, TaskId taskId, PageKind page, std::string reason)
{
    auto record = std::make_unique<JobEndRecord>();
    record->taskId = taskId;
    record->pageKind = static_cast<int32_t>(page);
    record->reason = std::move(reason);
    PostMessageTo(engine, kJobEndedMessage, std::move(record));
}

}  // namespace tolvex
