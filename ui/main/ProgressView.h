#pragma once

// What the pages show while their jobs run: the handlers of the task messages.
//   WM_TASK_STARTED  the item's bar and label at 0 %, shown; its failure mark hidden
//   WM_TASK_PROGRESS the item's bar and "%d%" label (the merge page: its page bar)
//   WM_TASK_DONE     100 %
//   WM_TASK_FAILED   the item's bar and label hidden and its failure mark shown (the merge
//                    page: its label says so)
//   WM_TASK_OUTPUT   the item's output name follows the name reserved for its file
// The first failure for want of ffmpeg also tells the user so, once.
// The task engine has decided the end and moves its queue itself: this view only shows.
//   WM_OUTPUT_PARAMS the parameter dialog's record stored for its task
// A message for an item that is no longer listed changes no control.
// UI thread only.

#include "tasks/TaskTypes.h"
#include "ui/main/MainWndHandler.h"

#include <QString>

#include <map>

class QWidget;

namespace tolvex {

class PageTasks;

// The progress controls of one page's items.
struct ProgressControlNames {
    const char* list;   // the page list (null for merge: its controls are on the page)
    const char* bar;    // progress bar
    const char* label;  // percentage label
    const char* error;  // failure mark
};
ProgressControlNames ProgressControlsOf(PageKind page);

class ProgressView : public MainWndHandler {
public:
    explicit ProgressView(PageTasks& tasks);

    void attach(CMainWnd& window) override;
    bool onMessage(MessageEvent& message) override;

    // The list item of a task, or null when it is not (or no longer) listed.
    QWidget* itemOf(PageKind page, TaskId taskId) const;

private:
    void onStarted(PageKind page, TaskId taskId);
    void onProgress(PageKind page, TaskId taskId, int32_t positionMs, int32_t durationMs);
    void onDone(PageKind page, TaskId taskId);
    void onFailed(PageKind page, TaskId taskId, const QString& reason);
    void onOutput(PageKind page, TaskId taskId, const QString& outputPath);
    // Sets the bar and label of `container` (an item, or the merge page's window).
    void showPercent(QWidget* container, PageKind page, int percent);

    PageTasks& m_tasks;
    CMainWnd* m_window = nullptr;
    bool m_toldFfmpegMissing = false;
    // The file each compress job really writes (a taken name gets a number), for its result.
    std::map<TaskId, QString> m_compressOutputs;
};

}  // namespace tolvex
