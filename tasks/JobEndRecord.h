#pragma once

// How a job ended, as its reader (or its page worker, for a job that never launched)
// reports it to the task engine. The engine checks that the job is still the task's,
// tells the front end (WM_TASK_DONE / WM_TASK_FAILED) and moves the queue on.

#include "tasks/JobControl.h"
#include "tasks/TaskTypes.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <string>

namespace tolvex {

// Number of the internal message to the engine.
constexpr int kJobEndedMessage = 1361;

struct JobEndRecord : MessageRecord {
    TaskId taskId = 0;
    int32_t pageKind = 0;
    uint64_t jobSerial = 0;  // the job's serial; 0 for a job that never launched
    bool done = false;
    std::string reason;                        // why it failed
    std::unique_ptr<ProgressRecord> progress;  // the job's last progress (done)
    // The job's gate (null for a job that never launched): the engine takes the ending
    // through it, so a later stop no longer withdraws a done job's output.
    std::shared_ptr<JobControl> control;
};

// What the front end is told of an end: WM_TASK_DONE with a CompletionRecord (and the last
// progress), or WM_TASK_FAILED with a FailureRecord (and the reason).
struct EndMessage {
    int number = 0;
    std::unique_ptr<MessageRecord> record;
};
EndMessage FrontEndMessage(const JobEndRecord& end);

// Tells the engine that the task's job failed before it ran (it could not be planned,
// reserved or launched).
void PostFailureBeforeLaunch(QObject* engine, TaskId taskId, PageKind page, std::string reason);

}  // namespace tolvex
