#pragma once

// Runs jobs without a window: it is the engine's host, receives the task messages on the
// thread of its event loop, reads them as the window does (TaskMessageDecoder: progress
// percentage and time left, done and what it took, failed: the engine has decided and
// moved its queues already) and ends its loop when every page it started is idle again.
// Used by tolvex-cli's page commands, the tests and the benchmarks.
//
// Thread use: create and run on the thread that owns the QCoreApplication (or any thread
// with an event loop); the callbacks run on that thread.

#include "tasks/JobFactory.h"
#include "tasks/TaskEngine.h"
#include "tasks/TaskHost.h"
#include "tasks/TaskMessageDecoder.h"

#include <QEventLoop>
#include <QObject>

#include <functional>
#include <set>
#include <string>

namespace tolvex {

class HeadlessRunner : public QObject, public TaskHost {
public:
    struct Callbacks {
        // Every progress message: the percentage the page would show, the time left.
        std::function<void(const TaskUpdate&)> progress;
        // A job done (with the time it took) or failed (with its reason).
        std::function<void(const TaskUpdate&)> done;
        std::function<void(const TaskUpdate&)> failed;
        // The output name reserved for a job, before it starts.
        std::function<void(const TaskUpdate&)> output;
    };

    explicit HeadlessRunner(JobFactory& factory, QObject* parent = nullptr);
    ~HeadlessRunner() override;

    TaskEngine& engine() { return *m_engine; }
    void setCallbacks(Callbacks callbacks) { m_callbacks = std::move(callbacks); }
    // Progress lines ("<page> <id>: <percent>%", then ", <m:ss> left" once it can be told) on
    // standard error.
    void setPrintProgress(bool print) { m_printProgress = print; }
    // The merge job's total duration, for its percentage.
    void setMergeTotalSeconds(double seconds) { m_decoder.setMergeTotalSeconds(seconds); }

    // Runs the event loop until no page is busy (at once when none is). Returns the number of
    // jobs that failed while it ran.
    int run();

    int doneCount() const { return m_doneCount; }
    int failedCount() const { return m_failedCount; }
    bool anyPageBusy() const { return !m_busyPages.empty(); }

    // TaskHost
    QObject* messageReceiver() override { return this; }
    void setPageBusy(PageKind page, bool busy) override;

protected:
    bool event(QEvent* event) override;

private:
    std::unique_ptr<TaskEngine> m_engine;
    Callbacks m_callbacks;
    bool m_printProgress = false;
    TaskMessageDecoder m_decoder;
    std::set<PageKind> m_busyPages;
    QEventLoop* m_loop = nullptr;
    int m_doneCount = 0;
    int m_failedCount = 0;
};

// The page's name as the command line spells it: "convert", "split", "merge", ...
const char* PageName(PageKind page);

// What a progress line of the companion ends with: ", 0:42 left" (nothing while the time
// left cannot be told); a done line: ", took 0:12".
std::string TimeLeftSuffix(const TaskUpdate& update);
std::string TimeTakenSuffix(const TaskUpdate& update);
// ", dropped: ..." for a job's output that leaves something of its input out; empty else.
std::string DroppedSuffix(const std::string& dropped);

}  // namespace tolvex
