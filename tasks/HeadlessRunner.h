#pragma once

// Runs jobs without a window: it is the engine's host, receives the task messages on the
// thread of its event loop, shows them as the window would (progress percentage, done,
// failed: the engine has decided and moved its queues already) and ends its loop when
// every page it started is idle again.
// Used by tolvex-cli's page commands, the tests and the benchmarks.
//
// Thread use: create and run on the thread that owns the QCoreApplication (or any thread
// with an event loop); the callbacks run on that thread.

#include "tasks/JobFactory.h"
#include "tasks/TaskEngine.h"
#include "tasks/TaskHost.h"

#include <QEventLoop>
#include <QObject>

#include <functional>
#include <set>
#include <string>

namespace tolvex {

class HeadlessRunner : public QObject, public TaskHost {
public:
    struct Callbacks {
        // Every progress message, with the percentage the page would show.
        std::function<void(const ProgressRecord&, int percent)> progress;
        std::function<void(const CompletionRecord&)> done;
        std::function<void(const FailureRecord&)> failed;
        // The output name reserved for a job, before it starts.
        std::function<void(const OutputNameRecord&)> output;
    };

    explicit HeadlessRunner(JobFactory& factory, QObject* parent = nullptr);
    ~HeadlessRunner() override;

    TaskEngine& engine() { return *m_engine; }
    void setCallbacks(Callbacks callbacks) { m_callbacks = std::move(callbacks); }
    // Progress lines ("<page> <id>: <percent>%") on standard error.
    void setPrintProgress(bool print) { m_printProgress = print; }
    // The merge job's total duration, for its percentage.
    void setMergeTotalSeconds(double seconds) { m_mergeTotalSeconds = seconds; }

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
    double m_mergeTotalSeconds = 0.0;
    std::set<PageKind> m_busyPages;
    QEventLoop* m_loop = nullptr;
    int m_doneCount = 0;
    int m_failedCount = 0;
};

// The page's name as the command line spells it: "convert", "split", "merge", ...
const char* PageName(PageKind page);

}  // namespace tolvex
