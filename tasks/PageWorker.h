#pragma once

// The worker of one queued page: an endless loop that waits until nothing runs and
// something is queued, asks the job factory for the front task's command, and launches it.
// Within one page exactly one job runs at a time, in queue order.
//
// Thread use: owns its thread. The factory is called on that thread without the queue lock;
// the launch happens under the lock, so the UI thread never sees a job half recorded.
// Before a launch the job's output name is reserved (and posted to the receiver as
// WM_TASK_OUTPUT). Failures of the plan, the reservation or the launch are reported to
// `engine` as the job's end; a dropped task is posted to `engine` as an internal message.

#include "tasks/JobFactory.h"
#include "tasks/JobLimits.h"
#include "tasks/TaskQueue.h"

#include <QObject>

#include <thread>

namespace tolvex {

class PageWorker {
public:
    // Number of the internal message by which a worker tells the engine that the front task
    // was dropped by the factory (the record is a FailureRecord with an empty reason).
    static constexpr int kTaskDroppedMessage = 1357;

    PageWorker(TaskQueue& queue, JobFactory& factory, const JobLimits& limits, QObject* receiver, QObject* engine);
    ~PageWorker();  // joins; shut the queue down first
    PageWorker(const PageWorker&) = delete;
    PageWorker& operator=(const PageWorker&) = delete;

private:
    void run();

    TaskQueue& m_queue;
    JobFactory& m_factory;
    const JobLimits& m_limits;
    QObject* m_receiver;
    QObject* m_engine;
    std::thread m_thread;
};

}  // namespace tolvex
