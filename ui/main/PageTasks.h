#pragma once

// The task side of the main window: the per-task tables the jobs read (output parameters,
// split and gif clips; the media items stay with the window), the window's job input
// source and task host, the job factory and the task engine with its page workers, and the
// running merge's total duration.
//
// Destruction stops the engine first (every job killed, waiting workers released and
// joined), then the factory, the source and the tables go.
// Thread use: UI thread; the engine's workers reach the tables and the source on their own
// threads as those classes describe.

#include "media/OutputParamsTable.h"
#include "tasks/ClipRecords.h"
#include "tasks/PageJobFactory.h"
#include "tasks/TaskEngine.h"
#include "ui/main/WindowJobInputSource.h"
#include "ui/main/WindowTaskHost.h"

#include <memory>

namespace tolvex {

class CMainWnd;

class PageTasks {
public:
    explicit PageTasks(CMainWnd& window);
    ~PageTasks();
    PageTasks(const PageTasks&) = delete;
    PageTasks& operator=(const PageTasks&) = delete;

    // Starts the page workers in page order; each only if the one before it started.
    int startWorkers();
    // Kills every running job of every page and the merge job (the window is closing).
    void StopAllJobs();

    TaskEngine& engine() { return *m_engine; }
    PageJobFactory& factory() { return *m_factory; }
    OutputParamsTable& outputParams() { return m_outputParams; }
    SplitClipTable& splitClips() { return m_splitClips; }
    GifClipTable& gifClips() { return m_gifClips; }

    // The running merge's total duration in seconds (set when a merge starts).
    double mergeTotalDuration() const { return m_mergeTotalDuration; }
    void setMergeTotalDuration(double seconds) { m_mergeTotalDuration = seconds; }
    // The inputs of the running merge, to name the one a failure is about.
    const std::vector<MergeSource>& mergeSources() const { return m_mergeSources; }
    void setMergeSources(std::vector<MergeSource> sources) { m_mergeSources = std::move(sources); }

private:
    OutputParamsTable m_outputParams;
    SplitClipTable m_splitClips;
    GifClipTable m_gifClips;
    WindowJobInputSource m_source;
    WindowTaskHost m_host;
    std::unique_ptr<PageJobFactory> m_factory;
    std::unique_ptr<TaskEngine> m_engine;  // declared last: goes first
    double m_mergeTotalDuration = 0.0;
    std::vector<MergeSource> m_mergeSources;
};

}  // namespace tolvex
